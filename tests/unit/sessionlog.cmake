# SPDX-License-Identifier: MIT
# The session log: its lines, escaping and rotation, in a temporary folder.
varnok_test(tst_sessionlog SOURCES tst_sessionlog.cpp LIBS varnok_link LABELS unit)
