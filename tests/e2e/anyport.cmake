# SPDX-License-Identifier: MIT
# Typed ports: a device path over a pseudo-terminal, junk refused, the choice kept, and raw TCP
# against varnok-sim --listen on 127.0.0.1, and varnokd's web panel address.
varnok_test(tst_anyport
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_anyport.cpp ${CMAKE_CURRENT_LIST_DIR}/ptypair.h
          ${CMAKE_CURRENT_LIST_DIR}/runfolder.h
  LIBS varnok_ui Qt6::Network LABELS e2e)
target_compile_definitions(tst_anyport PRIVATE VARNOK_SIM_PATH="$<TARGET_FILE:varnok-sim>"
                                               VARNOKD_PATH="$<TARGET_FILE:varnokd>"
                                               VARNOK_PATH="$<TARGET_FILE:varnok>")
add_dependencies(tst_anyport varnok-sim varnokd varnok)
