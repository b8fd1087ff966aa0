# SPDX-License-Identifier: MIT
# The MQTT bridge's options for Home Assistant, from every kind of input names.
varnok_test(tst_mqttoptions SOURCES tst_mqttoptions.cpp LIBS varnok_service LABELS unit service)
