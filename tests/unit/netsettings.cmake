# SPDX-License-Identifier: MIT
varnok_test(tst_addresstext SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_addresstext.cpp
            LIBS varnok_protocol LABELS unit netsettings)
