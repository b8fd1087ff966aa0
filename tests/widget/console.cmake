# SPDX-License-Identifier: MIT
varnok_test(tst_mainwindow_link SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow_link.cpp
            LIBS varnok_ui LABELS widget)
varnok_test(tst_mainwindow_commands SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow_commands.cpp
            LIBS varnok_ui LABELS widget)
varnok_test(tst_mainwindow_replies SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow_replies.cpp
            LIBS varnok_ui LABELS widget)
varnok_test(tst_pendingopen SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_pendingopen.cpp
            LIBS varnok_ui LABELS widget)
