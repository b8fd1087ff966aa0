# SPDX-License-Identifier: MIT
# The web panel's messages: what a page's request becomes on the line, or why it is refused.
varnok_test(tst_webmessages SOURCES tst_webmessages.cpp LIBS varnok_service LABELS unit service web)
