# SPDX-License-Identifier: MIT
# Several sites and services on MQTT: bridged brokers, two sites on one broker, renames.
varnok_test(tst_mqtt_sites
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mqtt_sites.cpp LIBS varnok_service LABELS e2e service)
target_compile_definitions(tst_mqtt_sites PRIVATE VARNOK_SIM_PATH="$<TARGET_FILE:varnok-sim>"
                                                  VARNOKD_PATH="$<TARGET_FILE:varnokd>")
add_dependencies(tst_mqtt_sites varnok-sim varnokd)
