# SPDX-License-Identifier: MIT
# scripts/run without a display, against this build tree.
add_test(NAME run_headless COMMAND ${CMAKE_CURRENT_LIST_DIR}/run_headless.sh)
set_tests_properties(run_headless PROPERTIES
  ENVIRONMENT "VARNOK_BUILD_DIR=${CMAKE_BINARY_DIR}" LABELS e2e TIMEOUT 300
  RESOURCE_LOCK varnok_build_tree) # runs the build, as package_build does: one at a time
