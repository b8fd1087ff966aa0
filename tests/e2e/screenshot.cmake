# SPDX-License-Identifier: MIT
# A real window on an X server (Xvfb): what the user sees, saved for a look by eye.
add_executable(tst_screenshot ${CMAKE_CURRENT_LIST_DIR}/tst_screenshot.cpp)
target_link_libraries(tst_screenshot PRIVATE varnok_ui varnok_testsupport Qt6::Test
                                             varnok_warnings)
add_test(NAME tst_screenshot
         COMMAND xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" $<TARGET_FILE:tst_screenshot>)
set_tests_properties(tst_screenshot PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;VARNOK_SCREENSHOT=${CMAKE_BINARY_DIR}/screenshots/mainwindow.png"
  LABELS e2e TIMEOUT 120)
