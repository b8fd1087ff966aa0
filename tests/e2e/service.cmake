# SPDX-License-Identifier: MIT
# varnokd sharing varnok-sim with the window and command lines on 127.0.0.1, and its --check.
varnok_test(tst_service
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_service.cpp ${CMAKE_CURRENT_LIST_DIR}/runfolder.h
  LIBS varnok_ui Qt6::Network LABELS e2e)
target_compile_definitions(tst_service PRIVATE VARNOK_SIM_PATH="$<TARGET_FILE:varnok-sim>"
                                               VARNOKD_PATH="$<TARGET_FILE:varnokd>"
                                               VARNOK_PATH="$<TARGET_FILE:varnok>")
add_dependencies(tst_service varnok-sim varnokd varnok)
