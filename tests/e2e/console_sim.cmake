# SPDX-License-Identifier: MIT
# The console end to end against the varnok-sim binary.
varnok_test(tst_console_sim
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_console_sim.cpp ${CMAKE_CURRENT_LIST_DIR}/runfolder.h
  LIBS varnok_ui LABELS e2e)
target_compile_definitions(tst_console_sim PRIVATE VARNOK_SIM_PATH="$<TARGET_FILE:varnok-sim>")
add_dependencies(tst_console_sim varnok-sim)
