# SPDX-License-Identifier: MIT
varnok_test(tst_utpdialog SOURCES tst_utpdialog.cpp LIBS varnok_ui LABELS widget utp)

# Renders the dialog for the documentation; a tool, not a test. Run it under a display server:
#   xvfb-run -a build/tests/widget/utp_screenshot docs/utp-dialog.png
add_executable(utp_screenshot EXCLUDE_FROM_ALL tst_utpscreenshot.cpp)
target_link_libraries(utp_screenshot PRIVATE varnok_ui varnok_testsupport varnok_warnings)
