# SPDX-License-Identifier: MIT
# The routing panel's menu, names in its tooltips and presets recalled from the window.
varnok_test(tst_mainwindow_presets SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow_presets.cpp
            LIBS varnok_ui LABELS widget presets)
