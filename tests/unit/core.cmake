# SPDX-License-Identifier: MIT
# Pure logic of the console and the reply handling: no widgets, no port.
varnok_test(tst_replyparser SOURCES tst_replyparser.cpp LIBS varnok_protocol LABELS unit replies)
varnok_test(tst_comportfile SOURCES tst_comportfile.cpp LIBS varnok_protocol LABELS unit console)
varnok_test(tst_commands SOURCES tst_commands.cpp LIBS varnok_protocol LABELS unit console)
varnok_test(tst_comdevice SOURCES tst_comdevice.cpp LIBS varnok_link LABELS unit platform)
