# SPDX-License-Identifier: MIT
varnok_test(tst_console_pty SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_console_pty.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/ptypair.h ${CMAKE_CURRENT_LIST_DIR}/runfolder.h
            LIBS varnok_ui LABELS e2e)
