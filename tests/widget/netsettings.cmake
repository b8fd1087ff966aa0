# SPDX-License-Identifier: MIT
varnok_test(tst_ipaddressedit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ipaddressedit.cpp
            LIBS varnok_ui LABELS widget netsettings)
varnok_test(tst_networksettingsdialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_networksettingsdialog.cpp
            LIBS varnok_ui LABELS widget netsettings)

# Renders the dialog for the documentation; a tool, not a test. Run it under a display server:
#   xvfb-run -a build/tests/widget/networksettings_screenshot docs
add_executable(networksettings_screenshot EXCLUDE_FROM_ALL
               ${CMAKE_CURRENT_LIST_DIR}/networksettingsscreenshot.cpp)
target_link_libraries(networksettings_screenshot PRIVATE varnok_ui varnok_testsupport Qt6::Test
                                                         varnok_warnings)
