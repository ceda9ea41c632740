# The libraries Debian packages for Linux, for a Windows build.
#
# - libcsv has no Windows build in Debian: it is built here from Debian's
#   source tarball, as a DLL (it is LGPL) beside the programs.
# - CLI11, nlohmann-json and fmt (used header-only) need only headers: theirs come from the
#   Debian packages when cross-compiling on Debian (copied, so that no other
#   Linux header is on the include path), or else from Debian's source
#   tarballs of the same versions.
# - libxlsxwriter (the table window's Excel export) and the zlib it needs are
#   built from Debian's source tarballs as static libraries (BSD and zlib
#   licences), with the minizip, tmpfileplus and MD5 copies upstream ships.
# - GoogleTest is built from Debian's googletest sources (/usr/src/googletest).
#
# Downloads are checked against the SHA-256 pinned here and kept in
# GASPIPE_DOWNLOAD_DIR, so a second build does not fetch them again.

set(GASPIPE_DOWNLOAD_DIR ${CMAKE_BINARY_DIR}/_downloads CACHE PATH
    "Where the source tarballs of Windows dependencies are kept")
set(_gaspipe_debian_pool https://deb.debian.org/debian/pool/main)
set(_gaspipe_deps ${CMAKE_BINARY_DIR}/_deps)

if(EXISTS /usr/include/CLI/CLI.hpp AND EXISTS /usr/include/nlohmann/json.hpp
   AND EXISTS /usr/include/fmt/format.h)
  set(_gaspipe_have_debian_headers ON)
else()
  set(_gaspipe_have_debian_headers OFF)
endif()
option(GASPIPE_HEADERS_FROM_SOURCE_TARBALLS
       "Take CLI11 and nlohmann-json from Debian's source tarballs, not the installed packages" OFF)
if(NOT _gaspipe_have_debian_headers)
  set(GASPIPE_HEADERS_FROM_SOURCE_TARBALLS ON)
endif()

# Extracts Debian's source tarball pool_path (checked against sha256) into
# _deps/name once, and sets var to the directory of its top folder.
function(gaspipe_debian_source var name pool_path sha256 top)
  get_filename_component(file ${pool_path} NAME)
  set(archive ${GASPIPE_DOWNLOAD_DIR}/${file})
  if(EXISTS ${archive})
    file(SHA256 ${archive} have)
  endif()
  if(NOT have STREQUAL sha256)
    message(STATUS "Downloading ${file}")
    file(DOWNLOAD ${_gaspipe_debian_pool}/${pool_path} ${archive}
         EXPECTED_HASH SHA256=${sha256} TLS_VERIFY ON STATUS status)
    list(GET status 0 code)
    if(NOT code EQUAL 0)
      file(REMOVE ${archive})
      message(FATAL_ERROR "Cannot download ${file}: ${status}")
    endif()
  endif()
  set(dir ${_gaspipe_deps}/${name})
  if(NOT EXISTS ${dir}/${top}.${sha256})
    file(REMOVE_RECURSE ${dir})
    file(ARCHIVE_EXTRACT INPUT ${archive} DESTINATION ${dir})
    file(TOUCH ${dir}/${top}.${sha256})
  endif()
  set(${var} ${dir}/${top} PARENT_SCOPE)
endfunction()

# A package configuration that find_package(name) takes: an interface
# target with these include directories (and the compile definitions that
# follow them, if any).
function(gaspipe_header_package name target version include_dir)
  set(dir ${_gaspipe_deps}/cmake/${name})
  file(WRITE ${dir}/${name}Config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"${include_dir}\"\n"
       "                        INTERFACE_COMPILE_DEFINITIONS \"${ARGN}\")\n"
       "endif()\n")
  include(CMakePackageConfigHelpers)
  write_basic_package_version_file(${dir}/${name}ConfigVersion.cmake VERSION ${version}
                                   COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
  set(${name}_DIR ${dir} CACHE PATH "" FORCE)
endfunction()

# --- CLI11 and nlohmann-json -------------------------------------------------
if(GASPIPE_HEADERS_FROM_SOURCE_TARBALLS)
  gaspipe_debian_source(_cli11 cli11 c/cli11/cli11_2.1.2+ds.orig.tar.xz
    8143d20b688e98ccce8e24562d3b68e5f47c12e896c42c7ca8553dbde5bed55d CLI11-2.1.2)
  gaspipe_debian_source(_json nlohmann-json n/nlohmann-json3/nlohmann-json3_3.11.2.orig.tar.gz
    d69f9deb6a75e2580465c6c4c5111b89c4dc2fa94e3a85fcd2ffcd9a143d9273 json-3.11.2)
  gaspipe_debian_source(_fmt fmt f/fmtlib/fmtlib_9.1.0+ds1.orig.tar.gz
    84ce1c2d0be3a9863935137969dcec6970125caac032f82474640bfc81463583 fmtlib-9.1.0+ds1)
  set(_cli11_include ${_cli11}/include)
  set(_json_include ${_json}/include)
  set(_fmt_include ${_fmt}/include)
  set(GASPIPE_FMT_LICENSE ${_fmt}/LICENSE.rst)
  set(GASPIPE_CLI11_LICENSE ${_cli11}/LICENSE)
  set(GASPIPE_JSON_LICENSE ${_json}/LICENSE.MIT)
else()
  set(_cli11_include ${_gaspipe_deps}/include-cli11)
  set(_json_include ${_gaspipe_deps}/include-json)
  file(COPY /usr/include/CLI DESTINATION ${_cli11_include})
  file(COPY /usr/include/nlohmann DESTINATION ${_json_include})
  set(_fmt_include ${_gaspipe_deps}/include-fmt)
  file(COPY /usr/include/fmt DESTINATION ${_fmt_include})
  set(GASPIPE_FMT_LICENSE /usr/share/doc/libfmt-dev/copyright)
  set(GASPIPE_CLI11_LICENSE /usr/share/doc/libcli11-dev/copyright)
  set(GASPIPE_JSON_LICENSE /usr/share/doc/nlohmann-json3-dev/copyright)
endif()
gaspipe_header_package(CLI11 CLI11::CLI11 2.1.2 ${_cli11_include})
gaspipe_header_package(nlohmann_json nlohmann_json::nlohmann_json 3.11.2 ${_json_include})
gaspipe_header_package(fmt fmt::fmt-header-only 9.1.0 ${_fmt_include} FMT_HEADER_ONLY=1)

# --- libcsv -------------------------------------------------------------------
enable_language(C)
gaspipe_debian_source(_libcsv libcsv libc/libcsv/libcsv_3.0.3+dfsg.orig.tar.gz
  06fddfaca720a4be7603bad63eb1833bca5b6c5a69b42b1c518a02cda2a73aef libcsv-3.0.3)
add_library(gaspipe_libcsv SHARED ${_libcsv}/libcsv.c)
set_target_properties(gaspipe_libcsv PROPERTIES OUTPUT_NAME csv PREFIX lib C_STANDARD 99)
# Upstream's code as Debian builds it; its one warning (a variable it sets and
# never reads) is not ours to fix.
target_compile_options(gaspipe_libcsv PRIVATE -Wno-unused-but-set-variable)
install(TARGETS gaspipe_libcsv RUNTIME DESTINATION ${GASPIPE_INSTALL_LIBEXEC})
set(CSV_LIBRARY gaspipe_libcsv)
set(CSV_INCLUDE_DIR ${_libcsv})
set(GASPIPE_LIBCSV_LICENSE ${_libcsv}/COPYING.LESSER)

# --- zlib and libxlsxwriter (with the windows only) -----------------------------
if(GASPIPE_BUILD_GUI)
  gaspipe_debian_source(_zlib zlib z/zlib/zlib_1.2.13.dfsg.orig.tar.bz2
    71feb7947e3c00ef125f83b79a4e529bde31171e5babe48b391f06758d1ab0a1 zlib-1.2.13.dfsg)
  add_library(gaspipe_zlib STATIC EXCLUDE_FROM_ALL)
  foreach(_file adler32 compress crc32 deflate inffast inflate inftrees trees uncompr zutil)
    target_sources(gaspipe_zlib PRIVATE ${_zlib}/${_file}.c)
  endforeach()
  target_include_directories(gaspipe_zlib SYSTEM PUBLIC ${_zlib})

  gaspipe_debian_source(_xlsxwriter libxlsxwriter libx/libxlsxwriter/libxlsxwriter_1.1.4.orig.tar.gz
    b379eb35fdd9c653ebe72485b9c992f612c7ea66f732784457997d6e782f619b libxlsxwriter-RELEASE_1.1.4)
  file(GLOB _xlsxwriter_sources ${_xlsxwriter}/src/*.c)
  add_library(gaspipe_xlsxwriter STATIC EXCLUDE_FROM_ALL ${_xlsxwriter_sources}
    ${_xlsxwriter}/third_party/minizip/ioapi.c ${_xlsxwriter}/third_party/minizip/zip.c
    ${_xlsxwriter}/third_party/tmpfileplus/tmpfileplus.c ${_xlsxwriter}/third_party/md5/md5.c)
  # The definitions upstream's CMakeLists.txt gives a MinGW static build.
  target_compile_definitions(gaspipe_xlsxwriter PRIVATE NOCRYPT NOUNCRYPT USE_FILE32API)
  target_include_directories(gaspipe_xlsxwriter SYSTEM PUBLIC ${_xlsxwriter}/include)
  target_link_libraries(gaspipe_xlsxwriter PRIVATE gaspipe_zlib)
  set(GASPIPE_ZLIB_LICENSE ${_zlib}/LICENSE)
  set(GASPIPE_XLSXWRITER_LICENSE ${_xlsxwriter}/License.txt)
endif()

# --- GoogleTest -----------------------------------------------------------------
if(GASPIPE_BUILD_TESTS)
  if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
    message(FATAL_ERROR "The Windows tests need Debian's googletest sources in /usr/src/googletest")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${_gaspipe_deps}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(GTest_DIR ${_gaspipe_deps}/cmake/GTest CACHE PATH "" FORCE)
  file(WRITE ${GTest_DIR}/GTestConfig.cmake "# GTest::gtest and GTest::gtest_main come from add_subdirectory.\n")
endif()
