# SPDX-License-Identifier: MIT
# Three Debian packages from one `cmake --build build --target package`: varnok, the console;
# varnok-sim, the simulated switch for trying a set-up without hardware; and varnokd, the
# service that shares each switch's line. Each installed file names its component; the
# package's Depends is what dpkg-shlibdeps finds plus CPACK_DEBIAN_PACKAGE_DEPENDS (the
# console) or nothing more (the simulator, the service).
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

# varnok_install_manpage(SOURCE COMPONENT): gzipped, in the section its name ends in
# (varnok.1 in man1, varnokd.8 in man8).
function(varnok_install_manpage source component)
  get_filename_component(name ${source} NAME)
  if(NOT name MATCHES "\\.([1-9])$")
    message(FATAL_ERROR "${source}: a manual page's name ends in its section, 1 to 9")
  endif()
  set(section ${CMAKE_MATCH_1})
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.gz)
  varnok_gzip(varnok_man_${name} ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
endfunction()

# Every package carries the licence and the changelog in its own documentation folder.
set(varnok_changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
varnok_gzip(varnok_changelog ${CMAKE_CURRENT_LIST_DIR}/changelog ${varnok_changelog_gz})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${varnok_changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/varnok COMPONENT console)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${varnok_changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/varnok-sim COMPONENT sim)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${varnok_changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/varnokd COMPONENT service)

# The service's unit and sample configuration go where Debian 12 looks for them, whatever the
# prefix: the unit's ExecStart= names /usr/sbin/varnokd, as the package installs it. The sample
# starts no switch; dpkg keeps the administrator's changes to it (the package's conffiles).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/varnokd.service DESTINATION /lib/systemd/system
        COMPONENT service)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/varnokd.conf DESTINATION /etc/varnok COMPONENT service)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL console sim service)
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

set(CPACK_DEBIAN_SERVICE_PACKAGE_NAME varnokd)
set(CPACK_DEBIAN_SERVICE_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVICE_PACKAGE_DEPENDS "")
set(CPACK_DEBIAN_SERVICE_PACKAGE_SUGGESTS "varnok, varnok-sim")
# The MQTT bridge talks to a broker, often on the same machine; libmosquitto1 comes from
# dpkg-shlibdeps.
set(CPACK_DEBIAN_SERVICE_PACKAGE_RECOMMENDS "mosquitto")
# conffiles, and maintainer scripts that do what dh_installsystemd --no-enable does.
set(CPACK_DEBIAN_SERVICE_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/varnokd-control/conffiles
    ${CMAKE_CURRENT_LIST_DIR}/varnokd-control/postinst
    ${CMAKE_CURRENT_LIST_DIR}/varnokd-control/prerm
    ${CMAKE_CURRENT_LIST_DIR}/varnokd-control/postrm)
set(CPACK_DEBIAN_SERVICE_DESCRIPTION
    "service sharing VARNOK 4x4 HDMI matrix switches over TCP
A systemd service that holds the RS-232 (or TCP) line of each configured
VARNOK 4 x 4 HDMI matrix switch and shares it. Each switch gets a TCP listener
that speaks the switch's own protocol, so the varnok console, its command line
and any TCP controller work through it, many at once: commands are queued and
sent one at a time, each answer goes to the client that asked, and route
reports go to every client. It also publishes each switch on an MQTT broker
with Home Assistant discovery, and serves a live routing panel to browsers.

The service reopens a lost line, asks the switch for its routing while idle,
keeps a session log per switch, and re-reads its configuration on reload.
The configuration installed names no switch.")
