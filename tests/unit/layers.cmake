# SPDX-License-Identifier: MIT
# What each library's sources reach with #include: their own headers, never a higher layer's.
# Rows: library, a header it must reach, a higher layer's header it must not.
foreach(row IN ITEMS "protocol|protocol/commands.h|link/port.h" "link|link/port.h|ui/mainwindow.h"
                     "link|link/port.h|cli/commandline.h" "cli|cli/commandline.h|ui/mainwindow.h"
                     "artwork|ui/artwork.h|ui/mainwindow.h" "service|service/sharedline.h|ui/mainwindow.h"
                     "service|service/sharedline.h|cli/commandline.h")
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 layer)
  if(NOT layer IN_LIST generated)
    file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/layers/${layer}.rsp CONTENT
         "-I$<JOIN:$<TARGET_PROPERTY:varnok_${layer},INCLUDE_DIRECTORIES>,\n-I>\n")
    list(APPEND generated ${layer})
  endif()
  list(GET row 1 own)
  list(GET row 2 higher)
  string(MAKE_C_IDENTIFIER "layers_${layer}_${higher}" test)
  add_test(NAME ${test} COMMAND ${CMAKE_COMMAND} -DCXX=${CMAKE_CXX_COMPILER} -DOWN=${own} -DHIGHER=${higher}
           -DRSP=${CMAKE_CURRENT_BINARY_DIR}/layers/${layer}.rsp
           -DWORK=${CMAKE_CURRENT_BINARY_DIR}/layers/${test} -P ${CMAKE_CURRENT_SOURCE_DIR}/layers/probe.cmake)
  set_tests_properties(${test} PROPERTIES LABELS "unit;layers" TIMEOUT 120)
endforeach()
