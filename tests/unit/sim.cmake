# SPDX-License-Identifier: MIT
# The simulated switch's protocol model.
varnok_test(tst_sim_model
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_sim_model.cpp
  LIBS varnok_sim_model)
