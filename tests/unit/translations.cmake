# SPDX-License-Identifier: MIT
# Every text users see is in each translation catalogue, translated: lupdate over the sources
# finds no text a committed catalogue lacks or no longer needs, and no translation is left
# unfinished. Included, this file registers the test; run with -P, it is the test.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  string(REPLACE ";" "," catalogues "${VARNOK_TS_FILES}")
  add_test(NAME translations_complete
           COMMAND ${CMAKE_COMMAND} -DLUPDATE=${VARNOK_LUPDATE} -DSOURCE=${PROJECT_SOURCE_DIR}
                   -DCATALOGUES=${catalogues} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/catalogues
                   -P ${CMAKE_CURRENT_LIST_FILE})
  set_tests_properties(translations_complete PROPERTIES LABELS unit TIMEOUT 120)
  return()
endif()

string(REPLACE "," ";" catalogues "${CATALOGUES}")
foreach(committed IN LISTS catalogues)
  get_filename_component(name ${committed} NAME)
  configure_file(${committed} ${WORK}/${name} COPYONLY)
  execute_process(COMMAND ${CMAKE_COMMAND} -DLUPDATE=${LUPDATE} -DSOURCE=${SOURCE}
                          -DTS=${WORK}/${name} -P ${SOURCE}/translations/lupdate.cmake
                  COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${committed} before)
  file(READ ${WORK}/${name} after)
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "${name} does not match the texts in the sources: run `cmake --build "
                        "build --target update_translations` and translate.\n"
                        "diff ${committed} ${WORK}/${name}")
  endif()
  string(FIND "${after}" "type=\"unfinished\"" unfinished)
  string(FIND "${after}" "<translation></translation>" empty)
  if(unfinished GREATER -1 OR empty GREATER -1)
    message(FATAL_ERROR "${name}: a text is not translated yet")
  endif()
endforeach()
