# SPDX-License-Identifier: MIT
# The windows under a dark desktop palette and a doubled desktop font; PNGs of each for a look.
varnok_test(tst_desktoplook SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_desktoplook.cpp
            LIBS varnok_ui LABELS widget)
set_property(TEST tst_desktoplook APPEND PROPERTY ENVIRONMENT
             "VARNOK_SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots/look")
# The same under Simplified Chinese: the translated captions fit too (screenshots/zh_CN).
add_test(NAME tst_desktoplook_zh_CN COMMAND tst_desktoplook)
get_test_property(tst_desktoplook ENVIRONMENT environment)
list(REMOVE_ITEM environment LC_ALL=C.UTF-8 "VARNOK_SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots/look")
set_tests_properties(tst_desktoplook_zh_CN PROPERTIES LABELS widget TIMEOUT 300 ENVIRONMENT
  "${environment};LC_ALL=zh_CN.UTF-8;VARNOK_SCREENSHOT_DIR=${CMAKE_BINARY_DIR}/screenshots/zh_CN")

# Every text the console can show can be drawn with the installed fonts.
varnok_test(tst_glyphs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_glyphs.cpp
            LIBS varnok_ui LABELS widget)
