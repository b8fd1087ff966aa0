# SPDX-License-Identifier: MIT
# varnokd's MQTT bridge against a real mosquitto broker and varnok-sim, all on 127.0.0.1.
varnok_test(tst_service_mqtt
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_service_mqtt.cpp LIBS varnok_service LABELS e2e service)
target_compile_definitions(tst_service_mqtt PRIVATE VARNOK_SIM_PATH="$<TARGET_FILE:varnok-sim>"
                                                    VARNOKD_PATH="$<TARGET_FILE:varnokd>")
add_dependencies(tst_service_mqtt varnok-sim varnokd)
