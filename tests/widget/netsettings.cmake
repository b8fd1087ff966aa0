# SPDX-License-Identifier: MIT
varnok_test(tst_ipbox SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ipbox.cpp
            LIBS varnok_ui LABELS widget netsettings)
varnok_test(tst_setipdialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_setipdialog.cpp
            LIBS varnok_ui LABELS widget netsettings)

# Renders the dialog for the documentation; a tool, not a test. Run it under a display server:
#   xvfb-run -a build/tests/widget/setip_screenshot docs
add_executable(setip_screenshot EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/setipscreenshot.cpp)
target_link_libraries(setip_screenshot PRIVATE varnok_ui varnok_testsupport Qt6::Test
                                               varnok_warnings)
