# SPDX-License-Identifier: MIT
# Presets recalled from the window's menu against the varnok-sim binary.
varnok_test(tst_presets_sim
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_presets_sim.cpp ${CMAKE_CURRENT_LIST_DIR}/runfolder.h
  LIBS varnok_ui LABELS e2e presets)
target_compile_definitions(tst_presets_sim PRIVATE VARNOK_SIM_PATH="$<TARGET_FILE:varnok-sim>")
add_dependencies(tst_presets_sim varnok-sim)
