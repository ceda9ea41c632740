# What the Windows programs load beside themselves, copied into the build's
# bin/ (so that the tests run under Wine as installed) and installed:
# - the MinGW runtime, one copy for the whole process: the programs, the sheet
#   module and Qt's DLLs share libstdc++ (a C++ object or exception that
#   crosses a DLL boundary needs that);
# - with the windows, what windeployqt would copy: Qt's DLLs, the plugins the
#   programs use, and Qt's Chinese texts from Debian's qt6-translations-l10n
#   (the same file on every platform). Where windeployqt exists (a build on
#   Windows) the install step runs it instead.

# Copies file into bin/subdir now and installs it into subdir.
function(gaspipe_runtime_file file subdir)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} is missing: the Windows programs need it beside them")
  endif()
  file(COPY "${file}" DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${subdir})
  install(FILES "${file}" DESTINATION ${GASPIPE_INSTALL_LIBEXEC}/${subdir})
endfunction()

foreach(_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                  OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
  gaspipe_runtime_file("${_path}" .)
endforeach()

if(NOT GASPIPE_BUILD_GUI)
  return()
endif()

get_filename_component(_gaspipe_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
find_program(GASPIPE_WINDEPLOYQT windeployqt HINTS "${_gaspipe_qt_prefix}/bin")
if(GASPIPE_WINDEPLOYQT AND NOT CMAKE_CROSSCOMPILING)
  install(CODE "
    execute_process(COMMAND \"${GASPIPE_WINDEPLOYQT}\" --release --no-opengl-sw
                            --no-system-d3d-compiler --dir \"\${CMAKE_INSTALL_PREFIX}\"
                            \"\${CMAKE_INSTALL_PREFIX}/gaspipe.exe\"
                            \"\${CMAKE_INSTALL_PREFIX}/gaspipe-table.exe\" COMMAND_ERROR_IS_FATAL ANY)")
  return()
endif()

foreach(_module Core Gui Widgets Svg Charts)
  gaspipe_runtime_file(${_gaspipe_qt_prefix}/bin/Qt6${_module}.dll .)
endforeach()
# The windows platform for the windows; minimal for the sheet writer's
# headless application (src/sheet_render/headless_platform_windows.cpp).
foreach(_plugin platforms/qwindows platforms/qminimal styles/qwindowsvistastyle
                imageformats/qgif imageformats/qico imageformats/qsvg iconengines/qsvgicon)
  get_filename_component(_subdir ${_plugin} DIRECTORY)
  gaspipe_runtime_file(${_gaspipe_qt_prefix}/plugins/${_plugin}.dll ${_subdir})
endforeach()
find_file(GASPIPE_QTBASE_ZH_CN qtbase_zh_CN.qm
          PATHS ${_gaspipe_qt_prefix}/translations /usr/share/qt6/translations
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
gaspipe_runtime_file(${GASPIPE_QTBASE_ZH_CN} translations)
if(GASPIPE_BUILD_TESTS)
  # The window tests' only; not installed.
  file(COPY ${_gaspipe_qt_prefix}/bin/Qt6Test.dll DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
endif()
