# Windows: the programs find PipeParameters.Ini in their own folder, so one
# folder holds everything (programs, pipe file, DLLs, Qt's plugins, the
# sheet's fonts, licences; no links), and a 64-bit NSIS installer puts it in
# Program Files.

# Icon and version information of each program.
enable_language(RC)
function(gaspipe_windows_resources target icon description)
  set(GASPIPE_RC_NAME ${target})
  set(GASPIPE_RC_FILE ${target}.exe)
  set(GASPIPE_RC_DESCRIPTION ${description})
  set(GASPIPE_ICON ${PROJECT_SOURCE_DIR}/src/resources/images/${icon})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in
                 ${PROJECT_BINARY_DIR}/rc/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/rc/${target}.rc)
endfunction()

gaspipe_windows_resources(gaspipe-calc gaspipe.ico
                          "gaspipe-calc: hydraulic calculation of city-gas pipes")
install(TARGETS gaspipe-calc RUNTIME DESTINATION .)
set(_gaspipe_main_program gaspipe-calc.exe)
if(TARGET gaspipe_sheet_module)
  install(TARGETS gaspipe_sheet_module LIBRARY DESTINATION .)
endif()

if(TARGET gaspipe)
  set_target_properties(gaspipe gaspipe-table PROPERTIES WIN32_EXECUTABLE ON)
  gaspipe_windows_resources(gaspipe gaspipe.ico "gaspipe: hydraulic calculator for city-gas pipes")
  gaspipe_windows_resources(gaspipe-table gaspipe-table.ico
                            "gaspipe-table: hydraulic calculation table of a gas line")
  install(TARGETS gaspipe gaspipe-table RUNTIME DESTINATION .)
  set(_gaspipe_main_program gaspipe.exe)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/WindowsRuntime.cmake)

# The licences of what the programs carry: this project's, and those of the
# libraries linked in or shipped beside them, and of the sheet's fonts.
set(_gaspipe_notices ${PROJECT_BINARY_DIR}/THIRD-PARTY-NOTICES.txt)
file(WRITE ${_gaspipe_notices}
     "gaspipe for Windows contains or ships with the following libraries and fonts.\n")
set(_gaspipe_notice_entries
    "libcsv 3.0.3 (libcsv.dll, unmodified, GNU LGPL 2.1 or later)|${GASPIPE_LIBCSV_LICENSE}"
    "CLI11 2.1.2 (BSD 3-Clause)|${GASPIPE_CLI11_LICENSE}"
    "JSON for Modern C++ 3.11.2 (MIT)|${GASPIPE_JSON_LICENSE}"
    "{fmt} 9.1.0 (MIT)|${GASPIPE_FMT_LICENSE}"
    "MinGW-w64 runtime and winpthreads (libwinpthread-1.dll)|/usr/share/doc/mingw-w64-common/copyright"
    "GCC runtime (libstdc++-6.dll, libgcc_s_seh-1.dll, GNU GPL 3 with the GCC Runtime Library Exception)|/usr/share/doc/gcc-mingw-w64-base/copyright")
if(TARGET gaspipe)
  list(APPEND _gaspipe_notice_entries
    "libxlsxwriter 1.1.4 (linked in, BSD 2-Clause) with the minizip (zlib licence), tmpfileplus (Mozilla Public License 2.0, source: third_party/tmpfileplus of Debian's libxlsxwriter_1.1.4.orig.tar.gz, unmodified) and MD5 (public domain) code it ships|${GASPIPE_XLSXWRITER_LICENSE}"
    "zlib 1.2.13 (linked in with libxlsxwriter and libzip, zlib licence)|${GASPIPE_ZLIB_LICENSE}"
    "libzip 1.7.3 (linked in, BSD 3-Clause)|${GASPIPE_LIBZIP_LICENSE}"
    "libodfgen 0.1.8 (linked in, unmodified, Mozilla Public License 2.0, chosen from its MPL 2.0 / GNU LGPL 2.1+ licensing, source: Debian's libodfgen_0.1.8.orig.tar.xz)|${GASPIPE_LIBODFGEN_LICENSE}"
    "libxml2 2.9.14 (linked in with libodfgen, MIT licence)|${GASPIPE_LIBXML2_LICENSE}"
    "librevenge 0.0.5 (linked in, unmodified, Mozilla Public License 2.0, chosen from its MPL 2.0 / GNU LGPL 2.1+ licensing, source: Debian's librevenge_0.0.5.orig.tar.bz2), compiled with header-only parts of Boost 1.74 (Boost Software License 1.0, which asks no notice of object code)|${GASPIPE_LIBREVENGE_LICENSE}"
    "Fonts DejaVu Serif and DejaVu Sans (fonts/DejaVuSerif.ttf, fonts/DejaVuSans.ttf, unmodified, from Debian's fonts-dejavu-core, Bitstream Vera licence, DejaVu changes in the public domain)|/usr/share/doc/fonts-dejavu-core/copyright"
    "Font AR PL UMing (fonts/uming.ttc, unmodified, from Debian's fonts-arphic-uming, Arphic Public License, verbatim in the text below)|/usr/share/doc/fonts-arphic-uming/copyright"
    "Font WenQuanYi Zen Hei (fonts/wqy-zenhei.ttc, unmodified, from Debian's fonts-wqy-zenhei 0.9.45, GNU GPL 2 with the font embedding exception, so a PDF that embeds it is not covered by the GPL, the font file is its source as released, also in Debian's fonts-wqy-zenhei_0.9.45.orig.tar.gz)|/usr/share/doc/fonts-wqy-zenhei/copyright"
    "Qt 6.4.2 (the Qt DLLs and plugins, unmodified, replaceable, GNU LGPL 3) and the code bundled in it: zlib, libpng, PCRE2, HarfBuzz, FreeType, ...|${_gaspipe_qt_prefix}/licenses/qt-third-party.txt")
endif()
foreach(_entry IN LISTS _gaspipe_notice_entries)
  string(REPLACE "|" ";" _entry "${_entry}")
  list(GET _entry 0 _title)
  list(GET _entry 1 _file)
  if(EXISTS "${_file}")
    file(READ "${_file}" _text)
    file(APPEND ${_gaspipe_notices} "\n\n==== ${_title} ====\n\n${_text}")
  else()
    message(WARNING "${_file} is missing: THIRD-PARTY-NOTICES.txt lacks the notice of ${_title}")
  endif()
endforeach()
install(FILES ${_gaspipe_notices} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

# The NSIS commands below are passed to the installer as written.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME gaspipe)
set(CPACK_PACKAGE_VENDOR "The gaspipe project team")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hydraulic calculator for city-gas pipes")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/gaspipe/gaspipe")
set(CPACK_PACKAGE_INSTALL_DIRECTORY gaspipe)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY gaspipe)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR NSIS)
set(CPACK_NSIS_PACKAGE_NAME gaspipe)
set(CPACK_NSIS_DISPLAY_NAME "gaspipe ${PROJECT_VERSION}")
# A 64-bit Unicode installer, which puts the 64-bit programs in the 64-bit
# Program Files and writes the 64-bit registry.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/src/resources/images/gaspipe.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/src/resources/images/gaspipe.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME ${_gaspipe_main_program})
set(CPACK_NSIS_URL_INFO_ABOUT ${CPACK_PACKAGE_HOMEPAGE_URL})
if(TARGET gaspipe)
  # Start menu entries for both windows, in the gaspipe folder.
  set(CPACK_PACKAGE_EXECUTABLES gaspipe "计算器" gaspipe-table "水力计算表")
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  # A double-click on a case file opens it in the table window. SHCTX is the
  # machine's classes for an installation for all users, else the user's;
  # the uninstaller takes .gpcase back only while it is still ours.
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  WriteRegStr SHCTX "Software\Classes\.gpcase" "" "gaspipe.case"
  WriteRegStr SHCTX "Software\Classes\gaspipe.case" "" "燃气管道水力计算文件"
  WriteRegStr SHCTX "Software\Classes\gaspipe.case\DefaultIcon" "" "$INSTDIR\gaspipe-table.exe,0"
  WriteRegStr SHCTX "Software\Classes\gaspipe.case\shell\open\command" "" '"$INSTDIR\gaspipe-table.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
]=])
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  ReadRegStr $0 SHCTX "Software\Classes\.gpcase" ""
  StrCmp $0 "gaspipe.case" 0 +2
    DeleteRegKey SHCTX "Software\Classes\.gpcase"
  DeleteRegKey SHCTX "Software\Classes\gaspipe.case"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
]=])
endif()
include(CPack)
