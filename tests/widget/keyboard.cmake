# SPDX-License-Identifier: MIT
# The three windows from the keyboard: Tab order, Enter on buttons, keys in the receive pane.
varnok_test(tst_keyboard SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_keyboard.cpp
            LIBS varnok_ui LABELS widget)
