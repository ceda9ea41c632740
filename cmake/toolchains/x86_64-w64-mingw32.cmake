# Windows x86-64 programs built on Debian with MinGW-w64 and run under Wine:
# cmake --preset windows-cross. With Qt for MinGW (scripts/windows-qt) the
# windows are built too.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-posix.cmake)

# Where scripts/windows-qt puts Qt: the build finds it there unless told
# another folder (-DGASPIPE_WINDOWS_QT=...).
if(NOT GASPIPE_WINDOWS_QT)
  if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(GASPIPE_WINDOWS_QT "$ENV{XDG_CACHE_HOME}/gaspipe/qt-6.4.2-mingw64")
  else()
    set(GASPIPE_WINDOWS_QT "$ENV{HOME}/.cache/gaspipe/qt-6.4.2-mingw64")
  endif()
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES GASPIPE_WINDOWS_QT)
if(EXISTS "${GASPIPE_WINDOWS_QT}/lib/cmake/Qt6/Qt6Config.cmake")
  set(GASPIPE_WINDOWS_QT_FOUND ON)
  # As Qt's own toolchain file does: the prefix is a root to search, its
  # lib/cmake the packages' prefix; moc, uic and rcc come from Debian's Qt
  # of the same version.
  list(PREPEND CMAKE_FIND_ROOT_PATH "${GASPIPE_WINDOWS_QT}")
  list(PREPEND CMAKE_PREFIX_PATH "${GASPIPE_WINDOWS_QT}/lib/cmake")
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
else()
  set(GASPIPE_WINDOWS_QT_FOUND OFF)
endif()

# pkg-config would report the build machine's Linux libraries.
set(ENV{PKG_CONFIG_LIBDIR} /nonexistent)
set(ENV{PKG_CONFIG_PATH} "")

# Wine runs the tests, in a prefix inside the build tree; cmake/Wine.cmake
# writes this script.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
