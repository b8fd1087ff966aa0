# SPDX-License-Identifier: MIT
# Brings the catalogue TS up to date with every translatable text under SOURCE/src:
#   cmake -DLUPDATE=... -DSOURCE=... -DTS=... -P lupdate.cmake
# No line numbers are kept, so the catalogue changes only when a text does.
execute_process(COMMAND ${LUPDATE} -locations none -no-obsolete -no-ui-lines -silent src -ts ${TS}
                WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "lupdate failed on ${TS}")
endif()
