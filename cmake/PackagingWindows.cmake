# Windows: the programs find PipeParameters.Ini in their own folder, so one
# folder holds everything (programs, pipe file, libcsv's DLL, licences; no
# links), and a 64-bit NSIS installer puts it in Program Files.

# Icon and version information of each program.
enable_language(RC)
function(gaspipe_windows_resources target description)
  set(GASPIPE_RC_NAME ${target})
  set(GASPIPE_RC_FILE ${target}.exe)
  set(GASPIPE_RC_DESCRIPTION ${description})
  set(GASPIPE_ICON ${PROJECT_SOURCE_DIR}/src/resources/images/gaspipe.ico)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in
                 ${PROJECT_BINARY_DIR}/rc/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/rc/${target}.rc)
endfunction()

gaspipe_windows_resources(gaspipe-calc "gaspipe-calc: hydraulic calculation of city-gas pipes")
install(TARGETS gaspipe-calc RUNTIME DESTINATION .)
set(_gaspipe_main_program gaspipe-calc.exe)
if(TARGET gaspipe_sheet_module)
  install(TARGETS gaspipe_sheet_module LIBRARY DESTINATION .)
endif()

if(TARGET gaspipe)
  set_target_properties(gaspipe PROPERTIES WIN32_EXECUTABLE ON)
  gaspipe_windows_resources(gaspipe "gaspipe: hydraulic calculator for city-gas pipes")
  install(TARGETS gaspipe RUNTIME DESTINATION .)
  set(_gaspipe_main_program gaspipe.exe)
  # Qt's DLLs, its platform and style plugins, its Chinese texts and the
  # MinGW runtime, beside the program.
  find_program(GASPIPE_WINDEPLOYQT windeployqt HINTS "${Qt6_DIR}/../../../bin" "$ENV{QT_DIR}/bin"
               REQUIRED)
  set(_gaspipe_deployed \"\${CMAKE_INSTALL_PREFIX}/gaspipe.exe\")
  if(TARGET gaspipe-table)
    set_target_properties(gaspipe-table PROPERTIES WIN32_EXECUTABLE ON)
    gaspipe_windows_resources(gaspipe-table "gaspipe-table: hydraulic calculation table of a gas line")
    install(TARGETS gaspipe-table RUNTIME DESTINATION .)
    string(APPEND _gaspipe_deployed " \"\${CMAKE_INSTALL_PREFIX}/gaspipe-table.exe\"")
  endif()
  install(CODE "
    execute_process(COMMAND \"${GASPIPE_WINDEPLOYQT}\" --release --no-opengl-sw
                            --no-system-d3d-compiler --dir \"\${CMAKE_INSTALL_PREFIX}\"
                            ${_gaspipe_deployed} COMMAND_ERROR_IS_FATAL ANY)")
endif()

# The licences of what the programs carry: this project's, and those of the
# libraries linked in or shipped beside them.
set(_gaspipe_notices ${PROJECT_BINARY_DIR}/THIRD-PARTY-NOTICES.txt)
file(WRITE ${_gaspipe_notices}
     "gaspipe for Windows contains or ships with the following libraries.\n")
foreach(_entry
    "libcsv 3.0.3 (libcsv.dll, unmodified; GNU LGPL 2.1 or later)|${GASPIPE_LIBCSV_LICENSE}"
    "CLI11 2.1.2 (BSD 3-Clause)|${GASPIPE_CLI11_LICENSE}"
    "JSON for Modern C++ 3.11.2 (MIT)|${GASPIPE_JSON_LICENSE}"
    "{fmt} 9.1.0 (MIT)|${GASPIPE_FMT_LICENSE}"
    "MinGW-w64 runtime and winpthreads|/usr/share/doc/mingw-w64-common/copyright")
  string(REPLACE "|" ";" _entry "${_entry}")
  list(GET _entry 0 _title)
  list(GET _entry 1 _file)
  if(EXISTS "${_file}")
    file(READ "${_file}" _text)
    file(APPEND ${_gaspipe_notices} "\n\n==== ${_title} ====\n\n${_text}")
  endif()
endforeach()
if(TARGET gaspipe)
  file(APPEND ${_gaspipe_notices} "\n\n==== Qt 6 (GNU LGPL 3; DLLs unmodified, replaceable) ====\n\n"
       "See https://www.qt.io/licensing/open-source-lgpl-obligations and the licence files of the "
       "Qt installation the program was built with.\n")
endif()
install(FILES ${_gaspipe_notices} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

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
  # A Start menu entry for the window, under the name its desktop entry has.
  set(CPACK_PACKAGE_EXECUTABLES gaspipe "燃气管道Quarnel软件")
  if(TARGET gaspipe-table)
    list(APPEND CPACK_PACKAGE_EXECUTABLES gaspipe-table "燃气管道水力计算表")
  endif()
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
endif()
include(CPack)
