# SPDX-License-Identifier: MIT
# Two Debian packages from one `cmake --build build --target package`: varnok, the console, and
# varnok-sim, the simulated switch for trying a set-up without hardware. Each installed file
# names its component; the package's Depends is what dpkg-shlibdeps finds plus
# CPACK_DEBIAN_PACKAGE_DEPENDS (the console) or nothing more (the simulator).
include(GNUInstallDirs)
find_program(VARNOK_GZIP gzip REQUIRED)

# varnok_gzip(TARGET SOURCE OUTPUT): OUTPUT is SOURCE compressed as Debian wants it (-9, and -n:
# no name or time stamp in the header, so the same source gives the same bytes).
function(varnok_gzip target source output)
  string(REGEX REPLACE "\\.gz$" "" plain ${output})
  add_custom_command(OUTPUT ${output}
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
                     COMMAND ${VARNOK_GZIP} -9nf ${plain}
                     DEPENDS ${source} VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

# varnok_install_manpage(SOURCE COMPONENT): section 1, gzipped.
function(varnok_install_manpage source component)
  get_filename_component(name ${source} NAME)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.gz)
  varnok_gzip(varnok_man_${name} ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
endfunction()

# Every package carries the licence and the changelog in its own documentation folder.
set(varnok_changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
varnok_gzip(varnok_changelog ${CMAKE_CURRENT_LIST_DIR}/changelog ${varnok_changelog_gz})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${varnok_changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/varnok COMPONENT console)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${varnok_changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/varnok-sim COMPONENT sim)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL console sim)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_CONSOLE_PACKAGE_NAME varnok)
set(CPACK_DEBIAN_CONSOLE_DESCRIPTION
    "control console for the VARNOK 4x4 HDMI matrix switch
A desktop window that drives a VARNOK 4 x 4 HDMI matrix switch over one RS-232
line (9600 baud, 8N1): a routing panel of input buttons per output, lamps that
show the routing the switch reports, a status request, a small terminal for
free commands and the switch's raw answers, the switch's network setting
(DHCP or a fixed IPv4 address) and the mode of its four UTP outputs.

COM1 to COM10 map to serial devices, USB serial adapters or a symbolic link in
the working directory, where the console also keeps its port choice.")

set(CPACK_DEBIAN_SIM_PACKAGE_NAME varnok-sim)
set(CPACK_DEBIAN_SIM_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_SIM_PACKAGE_DEPENDS "")
set(CPACK_DEBIAN_SIM_PACKAGE_SUGGESTS varnok)
set(CPACK_DEBIAN_SIM_DESCRIPTION
    "simulated VARNOK 4x4 HDMI matrix switch for the varnok console
A command-line program that plays a VARNOK 4 x 4 HDMI matrix switch on a
pseudo-terminal and links it where the console looks for a COM port, so that
a set-up can be tried without the hardware. It answers every command the
console sends, logs each command and answer, and can misbehave on request:
late, silent or byte-by-byte answers, line noise, a hang-up, and a person at
the switch's front panel changing routes.")
