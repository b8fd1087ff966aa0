# SPDX-License-Identifier: MIT
# The translations of every text users see, built into the link library, which the window and the
# command line both link: lrelease turns each translations/varnok_LANG.ts into a .qm at build
# time. After changing texts, `cmake --build build --target update_translations` runs lupdate
# over src/ and brings the .ts files up to date (translate what it marks unfinished).
find_program(VARNOK_LRELEASE lrelease HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}"
             /usr/lib/qt6/bin REQUIRED)
find_program(VARNOK_LUPDATE lupdate HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}"
             /usr/lib/qt6/bin REQUIRED)
set(VARNOK_TS_FILES ${PROJECT_SOURCE_DIR}/translations/varnok_zh_CN.ts)

set(qm_files)
foreach(ts IN LISTS VARNOK_TS_FILES)
  get_filename_component(name ${ts} NAME_WE)
  set(qm ${CMAKE_CURRENT_BINARY_DIR}/${name}.qm)
  add_custom_command(OUTPUT ${qm} COMMAND ${VARNOK_LRELEASE} -silent ${ts} -qm ${qm}
                     DEPENDS ${ts} COMMENT "Compiling ${name}.qm" VERBATIM)
  list(APPEND qm_files ${qm})
endforeach()
qt_add_resources(varnok_link varnok_translations PREFIX /i18n BASE ${CMAKE_CURRENT_BINARY_DIR}
                 FILES ${qm_files})

set(update)
foreach(ts IN LISTS VARNOK_TS_FILES)
  list(APPEND update COMMAND ${CMAKE_COMMAND} -DLUPDATE=${VARNOK_LUPDATE}
       -DSOURCE=${PROJECT_SOURCE_DIR} -DTS=${ts} -P ${PROJECT_SOURCE_DIR}/translations/lupdate.cmake)
endforeach()
add_custom_target(update_translations ${update} VERBATIM)
set(VARNOK_TS_FILES ${VARNOK_TS_FILES} CACHE INTERNAL "The translation catalogues")
