# SPDX-License-Identifier: MIT
varnok_test(tst_form1_link SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_form1_link.cpp
            LIBS varnok_ui LABELS widget)
varnok_test(tst_form1_commands SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_form1_commands.cpp
            LIBS varnok_ui LABELS widget)
varnok_test(tst_form1_replies SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_form1_replies.cpp
            LIBS varnok_ui LABELS widget)
