# SPDX-License-Identifier: MIT
# The console when things go wrong: a COMPORT entry that is not what the console wrote.
varnok_test(tst_comportabuse SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_comportabuse.cpp
            LIBS varnok_ui LABELS widget reliability)
