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
# - libzip, librevenge, libodfgen and the libxml2 it needs (the sheet's ODT)
#   likewise, statically; librevenge needs Boost's header-only parts from
#   Debian's libboost1.74-dev.
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

  # libzip through its own CMake build, configured down to what the sheet's
  # ODT needs: deflate over the zlib above, no crypto, bzip2, xz, tools or
  # install rules. ZLIB::ZLIB is defined first, so its FindZLIB takes ours.
  gaspipe_debian_source(_libzip libzip libz/libzip/libzip_1.7.3.orig.tar.xz
    a60473ffdb7b4260c08bfa19c2ccea0438edac11193c3afbbb1f17fbcf6c6132 libzip-1.7.3)
  add_library(ZLIB::ZLIB INTERFACE IMPORTED)
  set_target_properties(ZLIB::ZLIB PROPERTIES INTERFACE_LINK_LIBRARIES gaspipe_zlib)
  set(ZLIB_INCLUDE_DIR ${_zlib} CACHE PATH "" FORCE)
  set(ZLIB_LIBRARY gaspipe_zlib CACHE STRING "" FORCE)
  foreach(_option ENABLE_COMMONCRYPTO ENABLE_GNUTLS ENABLE_MBEDTLS ENABLE_OPENSSL
                  ENABLE_WINDOWS_CRYPTO ENABLE_BZIP2 ENABLE_LZMA BUILD_TOOLS BUILD_REGRESS
                  BUILD_EXAMPLES BUILD_DOC LIBZIP_DO_INSTALL)
    set(${_option} OFF CACHE BOOL "" FORCE)
  endforeach()
  # Its option(BUILD_SHARED_LIBS ... ON) is to take the OFF set here, not to
  # put ON into the cache for this whole project.
  set(CMAKE_POLICY_DEFAULT_CMP0077 NEW)
  set(CMAKE_POLICY_DEFAULT_CMP0063 NEW)
  set(BUILD_SHARED_LIBS OFF)
  add_subdirectory(${_libzip} ${_gaspipe_deps}/libzip-build EXCLUDE_FROM_ALL SYSTEM)
  unset(BUILD_SHARED_LIBS)
  unset(CMAKE_POLICY_DEFAULT_CMP0077)
  unset(CMAKE_POLICY_DEFAULT_CMP0063)
  # Upstream's code as Debian builds it; its warnings are not ours to fix.
  target_compile_options(zip PRIVATE -w)
  set(GASPIPE_LIBZIP_LICENSE ${_libzip}/LICENSE)

  # librevenge (its core library only) and libodfgen, as static libraries:
  # their autotools builds add nothing a cross build needs. Both are under
  # MPL 2.0 (or LGPL 2.1+ at the user's choice), whose files may be linked
  # in. librevenge uses header-only parts of Boost (string algorithms,
  # base64 iterators, Spirit), taken from Debian's libboost1.74-dev.
  set(GASPIPE_BOOST_INCLUDE_DIR /usr/include CACHE PATH "The folder holding Boost's boost/ headers")
  if(NOT EXISTS ${GASPIPE_BOOST_INCLUDE_DIR}/boost/spirit/include/qi.hpp)
    message(FATAL_ERROR "librevenge for Windows needs Boost's headers in "
            "GASPIPE_BOOST_INCLUDE_DIR (on Debian: apt-get install libboost1.74-dev)")
  endif()
  # A folder with nothing but the boost headers, so no other Linux header is
  # on the include path.
  file(MAKE_DIRECTORY ${_gaspipe_deps}/include-boost)
  file(CREATE_LINK ${GASPIPE_BOOST_INCLUDE_DIR}/boost ${_gaspipe_deps}/include-boost/boost
       SYMBOLIC COPY_ON_ERROR)
  gaspipe_debian_source(_revenge librevenge libr/librevenge/librevenge_0.0.5.orig.tar.bz2
    5892ca6796f7a2a93d580832e907e849b19d980b40d326a283b18877ab6de0c5 librevenge-0.0.5)
  add_library(gaspipe_librevenge STATIC EXCLUDE_FROM_ALL)
  foreach(_file BinaryData MemoryStream Property PropertyList PropertyListVector String
                StringVector SVGDrawingGenerator)
    target_sources(gaspipe_librevenge PRIVATE ${_revenge}/src/lib/RVNG${_file}.cpp)
  endforeach()
  target_compile_definitions(gaspipe_librevenge PRIVATE LIBREVENGE_BUILD BOOST_ERROR_CODE_HEADER_ONLY)
  target_include_directories(gaspipe_librevenge SYSTEM PUBLIC ${_revenge}/inc)
  target_include_directories(gaspipe_librevenge SYSTEM PRIVATE ${_gaspipe_deps}/include-boost)
  target_compile_options(gaspipe_librevenge PRIVATE -w)
  set(GASPIPE_LIBREVENGE_LICENSE ${_revenge}/COPYING.MPL)

  # libxml2, which libodfgen parses embedded XML with (the sheet embeds
  # none), through its own CMake build into a folder of its own: its install
  # rules, which cannot be switched off, stay out of this project's
  # installation. Static, reduced to the parser and the tree.
  gaspipe_debian_source(_libxml2 libxml2 libx/libxml2/libxml2_2.9.14+dfsg.orig.tar.xz
    4fe913dec8b1ab89d13b489b419a8203176ea39e931eaa0d25b17eafb9c279e9 libxml2-2.9.14)
  set(_libxml2_prefix ${_gaspipe_deps}/libxml2-install)
  set(_libxml2_options)
  foreach(_option C14N CATALOG DEBUG DOCB FTP HTML HTTP ICONV ICU LZMA MODULES PROGRAMS
                  PYTHON SCHEMAS SCHEMATRON TESTS XINCLUDE XPTR ZLIB)
    list(APPEND _libxml2_options -DLIBXML2_WITH_${_option}=OFF)
  endforeach()
  include(ExternalProject)
  ExternalProject_Add(gaspipe_libxml2_build
    SOURCE_DIR ${_libxml2}
    BINARY_DIR ${_gaspipe_deps}/libxml2-build
    INSTALL_DIR ${_libxml2_prefix}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchains/mingw-w64-posix.cmake
               -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
               -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
               -DBUILD_SHARED_LIBS=OFF ${_libxml2_options}
               # Its functions not marked for export from the DLLs it is
               # linked into, which would then export nothing else.
               "-DCMAKE_C_FLAGS=-w -DLIBXML_STATIC"
    BUILD_BYPRODUCTS ${_libxml2_prefix}/lib/libxml2.a
    EXCLUDE_FROM_ALL ON)
  file(MAKE_DIRECTORY ${_libxml2_prefix}/include/libxml2)
  add_library(gaspipe_libxml2 STATIC IMPORTED)
  set_target_properties(gaspipe_libxml2 PROPERTIES
    IMPORTED_LOCATION ${_libxml2_prefix}/lib/libxml2.a
    INTERFACE_INCLUDE_DIRECTORIES ${_libxml2_prefix}/include/libxml2
    INTERFACE_COMPILE_DEFINITIONS LIBXML_STATIC
    INTERFACE_LINK_LIBRARIES ws2_32)
  add_dependencies(gaspipe_libxml2 gaspipe_libxml2_build)
  set(GASPIPE_LIBXML2_LICENSE ${_libxml2}/Copyright)

  gaspipe_debian_source(_odfgen libodfgen libo/libodfgen/libodfgen_0.1.8.orig.tar.xz
    55200027fd46623b9bdddd38d275e7452d1b0ff8aeddcad6f9ae6dc25f610625 libodfgen-0.1.8)
  file(GLOB _odfgen_sources ${_odfgen}/src/*.cxx)
  add_library(gaspipe_libodfgen STATIC EXCLUDE_FROM_ALL ${_odfgen_sources})
  target_compile_definitions(gaspipe_libodfgen PRIVATE LIBODFGEN_BUILD VERSION="0.1.8")
  target_include_directories(gaspipe_libodfgen SYSTEM PUBLIC ${_odfgen}/inc)
  target_compile_options(gaspipe_libodfgen PRIVATE -w)
  target_link_libraries(gaspipe_libodfgen PUBLIC gaspipe_librevenge PRIVATE gaspipe_libxml2)
  set(GASPIPE_LIBODFGEN_LICENSE ${_odfgen}/COPYING.MPL)
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
