# Windows programs cross-compiled on Debian run under Wine: the tests through
# CMAKE_CROSSCOMPILING_EMULATOR (see the toolchain file), which is this
# build's wine-run script.
find_program(GASPIPE_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
find_program(GASPIPE_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine REQUIRED)
# The windows' display under Wine; without it they run on Qt's minimal platform.
find_program(GASPIPE_XVFB Xvfb)
if(NOT GASPIPE_XVFB)
  set(GASPIPE_XVFB "")
endif()
set(GASPIPE_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Shell-driven tests start gaspipe-calc as one command word.
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/run/gaspipe-calc
  CONTENT "#!/bin/sh\nexec '${CMAKE_BINARY_DIR}/wine-run' '$<TARGET_FILE:gaspipe-calc>' \"$@\"\n"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(GASPIPE_CALC ${CMAKE_BINARY_DIR}/run/gaspipe-calc)
