varnok_test(tst_ipbox SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_ipbox.cpp
            LIBS varnok_netsettings LABELS widget netsettings)
varnok_test(tst_setipdialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_setipdialog.cpp
            LIBS varnok_netsettings LABELS widget netsettings)
