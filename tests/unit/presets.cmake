# SPDX-License-Identifier: MIT
# Names and presets kept in varnok.conf or told by a shared switch's service, and recalling a
# preset over a fake line.
varnok_test(tst_matrixsetup SOURCES tst_matrixsetup.cpp LIBS varnok_link LABELS unit presets)
varnok_test(tst_presetrecall SOURCES tst_presetrecall.cpp LIBS varnok_link LABELS unit presets)
varnok_test(tst_replydeadline SOURCES tst_replydeadline.cpp LIBS varnok_link LABELS unit presets)
varnok_test(tst_commandchannel SOURCES tst_commandchannel.cpp LIBS varnok_link LABELS unit)
varnok_test(tst_sharedswitch SOURCES tst_sharedswitch.cpp LIBS varnok_link LABELS unit presets)
