# SPDX-License-Identifier: MIT
varnok_test(tst_utpmodedialog SOURCES tst_utpmodedialog.cpp LIBS varnok_ui LABELS widget utp)

# Renders the dialog for the documentation; a tool, not a test. Run it under a display server:
#   xvfb-run -a build/tests/widget/utpmode_screenshot docs/utp-dialog.png
add_executable(utpmode_screenshot EXCLUDE_FROM_ALL utpmodescreenshot.cpp)
target_link_libraries(utpmode_screenshot PRIVATE varnok_ui varnok_testsupport varnok_warnings)
