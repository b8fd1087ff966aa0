# SPDX-License-Identifier: MIT
# The varnok-sim binary on its pseudo-terminal.
varnok_test(tst_sim_line
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sim_line.cpp
  LIBS Qt6::Core)
target_compile_definitions(tst_sim_line PRIVATE VARNOK_SIM_PATH="$<TARGET_FILE:varnok-sim>")
add_dependencies(tst_sim_line varnok-sim)
