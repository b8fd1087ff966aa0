# SPDX-License-Identifier: MIT
# The windows under a dark desktop palette and a doubled desktop font; PNGs of each for a look.
varnok_test(tst_desktoplook SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_desktoplook.cpp
            LIBS varnok_ui LABELS widget)
set_property(TEST tst_desktoplook APPEND PROPERTY ENVIRONMENT
             "VARNOK_SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots/look")

# Every text the console can show can be drawn with the installed fonts.
varnok_test(tst_glyphs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_glyphs.cpp
            LIBS varnok_ui LABELS widget)
