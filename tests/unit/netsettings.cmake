# SPDX-License-Identifier: MIT
varnok_test(tst_ipaddress SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ipaddress.cpp
            LIBS varnok_protocol LABELS unit netsettings)
