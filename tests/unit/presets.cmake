# SPDX-License-Identifier: MIT
# Names and presets kept in varnok.conf, and recalling a preset over a fake line.
varnok_test(tst_matrixsetup SOURCES tst_matrixsetup.cpp LIBS varnok_link LABELS unit presets)
varnok_test(tst_presetrecall SOURCES tst_presetrecall.cpp LIBS varnok_link LABELS unit presets)
varnok_test(tst_replydeadline SOURCES tst_replydeadline.cpp LIBS varnok_link LABELS unit presets)
varnok_test(tst_commandchannel SOURCES tst_commandchannel.cpp LIBS varnok_link LABELS unit)
