# SPDX-License-Identifier: MIT
# The varnok executable's command line against varnok-sim.
varnok_test(tst_commandline
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_commandline.cpp ${CMAKE_CURRENT_LIST_DIR}/runfolder.h
  LIBS Qt6::Core LABELS e2e)
target_compile_definitions(tst_commandline PRIVATE VARNOK_SIM_PATH="$<TARGET_FILE:varnok-sim>"
                                                   VARNOK_PATH="$<TARGET_FILE:varnok>")
add_dependencies(tst_commandline varnok-sim varnok)
