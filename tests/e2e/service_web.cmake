# SPDX-License-Identifier: MIT
# The web panel in a real browser: headless Chromium driven by Selenium against varnokd and two
# varnok-sim switches on 127.0.0.1. Skipped (77) only where Chromium is not installed.
find_program(VARNOK_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
add_test(NAME service_web
         COMMAND ${VARNOK_SYSTEM_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/service_web.py
                 $<TARGET_FILE:varnokd> $<TARGET_FILE:varnok-sim> $<TARGET_FILE:varnok>
                 ${CMAKE_BINARY_DIR}/web-screenshots)
set_tests_properties(service_web PROPERTIES SKIP_RETURN_CODE 77 LABELS "e2e;service;web"
                     TIMEOUT 240 ENVIRONMENT "LC_ALL=C.UTF-8")
# The web panel against hostile peers over plain sockets, and over HTTPS.
add_test(NAME service_web_guard
         COMMAND ${VARNOK_SYSTEM_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/service_web_guard.py
                 $<TARGET_FILE:varnokd> $<TARGET_FILE:varnok-sim>)
set_tests_properties(service_web_guard PROPERTIES LABELS "e2e;service;web" TIMEOUT 120
                     ENVIRONMENT "LC_ALL=C.UTF-8")
