# SPDX-License-Identifier: MIT
# The scripts' shared build trees: each script's configure options are the ones in force.
add_test(NAME build_options COMMAND ${CMAKE_CURRENT_LIST_DIR}/build_options.sh)
set_tests_properties(build_options PROPERTIES LABELS e2e TIMEOUT 120)
