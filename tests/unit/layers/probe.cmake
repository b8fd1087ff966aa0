# SPDX-License-Identifier: MIT
# cmake -DCXX=... -DOWN=header -DHIGHER=header -DRSP=flags -DWORK=folder -P probe.cmake
# Preprocesses one #include with the layer's include path: its own header must be found, the
# higher layer's must not be.
foreach(header IN ITEMS ${OWN} ${HIGHER})
  file(WRITE ${WORK}/probe.cpp "#include \"${header}\"\n")
  execute_process(COMMAND ${CXX} -std=c++20 -E @${RSP} probe.cpp -o probe.i WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE failed ERROR_VARIABLE errors)
  if("${header}" STREQUAL "${OWN}" AND failed)
    message(FATAL_ERROR "${header} not found with the layer's include path:\n${errors}")
  elseif("${header}" STREQUAL "${HIGHER}" AND NOT errors MATCHES "${HIGHER}: No such file")
    message(FATAL_ERROR "${header}, a higher layer's header, is reachable:\n${errors}")
  endif()
endforeach()
