# SPDX-License-Identifier: MIT
# The console when things go wrong: the line lost under its feet, a hostile line.
varnok_test(tst_lostlink SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_lostlink.cpp
                                 ${CMAKE_CURRENT_LIST_DIR}/ptypair.h ${CMAKE_CURRENT_LIST_DIR}/runfolder.h
            LIBS varnok_ui LABELS e2e reliability)
varnok_test(tst_hostileline SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_hostileline.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/ptypair.h ${CMAKE_CURRENT_LIST_DIR}/runfolder.h
            LIBS varnok_ui LABELS e2e reliability)
varnok_test(tst_signals SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_signals.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/ptypair.h ${CMAKE_CURRENT_LIST_DIR}/runfolder.h
            LABELS e2e reliability)
target_compile_definitions(tst_signals PRIVATE VARNOK_EXECUTABLE="$<TARGET_FILE:varnok>"
                                               VARNOKD_EXECUTABLE="$<TARGET_FILE:varnokd>")
add_dependencies(tst_signals varnok varnokd)
