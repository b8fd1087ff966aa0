# SPDX-License-Identifier: MIT
varnok_test(tst_textpane SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_textpane.cpp
            LIBS varnok_ui LABELS widget)
