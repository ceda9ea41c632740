# Installation layout, desktop integration and the Debian package; the
# Windows folder and installer are in PackagingWindows.cmake.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
  return()
endif()

# The programs look for PipeParameters.Ini in the directory of their real
# executable (they resolve /proc/self/exe), so the binaries are installed next
# to the file in ${GASPIPE_INSTALL_LIBEXEC} and bin/ only holds links to them.

set(GASPIPE_APP_ID io.github.gaspipe.Gaspipe)
set(GASPIPE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(GASPIPE_ICON_DIR ${PROJECT_SOURCE_DIR}/src/resources/images)

# The links are made relative, so the tree works under any prefix and DESTDIR.
set(_gaspipe_link_dir ${PROJECT_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${_gaspipe_link_dir})
foreach(_program gaspipe gaspipe-calc gaspipe-table)
  if(TARGET ${_program})
    install(TARGETS ${_program} RUNTIME DESTINATION ${GASPIPE_INSTALL_LIBEXEC})
    file(RELATIVE_PATH _target /root/${CMAKE_INSTALL_BINDIR}
         /root/${GASPIPE_INSTALL_LIBEXEC}/${_program})
    file(CREATE_LINK ${_target} ${_gaspipe_link_dir}/${_program} SYMBOLIC)
    install(FILES ${_gaspipe_link_dir}/${_program} DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

if(TARGET gaspipe_sheet_module)
  install(TARGETS gaspipe_sheet_module LIBRARY DESTINATION ${GASPIPE_INSTALL_LIBEXEC})
endif()

if(TARGET gaspipe)
  install(FILES ${GASPIPE_PACKAGING_DIR}/${GASPIPE_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${GASPIPE_PACKAGING_DIR}/${GASPIPE_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(_size 48 128 256)
    install(FILES ${GASPIPE_ICON_DIR}/gaspipe-${_size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
            RENAME ${GASPIPE_APP_ID}.png)
  endforeach()
  install(FILES ${GASPIPE_ICON_DIR}/gaspipe.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${GASPIPE_APP_ID}.svg)
endif()

# The calculation table: its own entry and icon, and the .gpcase type it opens.
set(GASPIPE_TABLE_ID io.github.gaspipe.GaspipeTable)
if(TARGET gaspipe-table)
  install(FILES ${GASPIPE_PACKAGING_DIR}/${GASPIPE_TABLE_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${GASPIPE_PACKAGING_DIR}/${GASPIPE_TABLE_ID}.mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${GASPIPE_TABLE_ID}.xml)
  foreach(_size 48 128 256)
    install(FILES ${GASPIPE_ICON_DIR}/gaspipe-table-${_size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
            RENAME ${GASPIPE_TABLE_ID}.png)
  endforeach()
  install(FILES ${GASPIPE_ICON_DIR}/gaspipe-table.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${GASPIPE_TABLE_ID}.svg)
endif()

# The licence, where Debian looks for it (machine-readable copyright format).
install(FILES ${GASPIPE_PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The metainfo release list is written by hand; catch a version bump that forgot it.
file(READ ${GASPIPE_PACKAGING_DIR}/${GASPIPE_APP_ID}.metainfo.xml _gaspipe_metainfo)
if(NOT _gaspipe_metainfo MATCHES "<release version=\"${PROJECT_VERSION}\"")
  message(WARNING "${GASPIPE_APP_ID}.metainfo.xml has no release ${PROJECT_VERSION}")
endif()

if(GASPIPE_BUILD_TESTS)
  # Exit status 77 marks a validator that is not installed: the test is skipped.
  set(_gaspipe_validate_desktop
      "command -v desktop-file-validate >/dev/null || exit 77; exec desktop-file-validate \"$1\"")
  add_test(NAME packaging.desktop_file_validates
           COMMAND sh -c "${_gaspipe_validate_desktop}" sh
                   ${GASPIPE_PACKAGING_DIR}/${GASPIPE_APP_ID}.desktop)
  add_test(NAME packaging.table_desktop_file_validates
           COMMAND sh -c "${_gaspipe_validate_desktop}" sh
                   ${GASPIPE_PACKAGING_DIR}/${GASPIPE_TABLE_ID}.desktop)
  # The desktop's MIME database must read the type and its glob.
  set(_gaspipe_read_mime
      "command -v update-mime-database >/dev/null || exit 77; d=$(mktemp -d) && mkdir $d/packages && cp \"$1\" $d/packages/ && update-mime-database $d 2>/dev/null && grep -q 'application/x-gaspipe-case:\\*.gpcase' $d/globs2; s=$?; rm -rf $d; exit $s")
  add_test(NAME packaging.mime_type_reads
           COMMAND sh -c "${_gaspipe_read_mime}" sh
                   ${GASPIPE_PACKAGING_DIR}/${GASPIPE_TABLE_ID}.mime.xml)
  set(_gaspipe_validate_metainfo
      "command -v appstreamcli >/dev/null || exit 77; exec appstreamcli validate --no-net \"$1\"")
  add_test(NAME packaging.metainfo_validates
           COMMAND sh -c "${_gaspipe_validate_metainfo}" sh
                   ${GASPIPE_PACKAGING_DIR}/${GASPIPE_APP_ID}.metainfo.xml)
  set_tests_properties(packaging.desktop_file_validates packaging.table_desktop_file_validates
                       packaging.metainfo_validates packaging.mime_type_reads
                       PROPERTIES SKIP_RETURN_CODE 77)

  # Installs into a scratch prefix and runs the programs through their bin/
  # links: they must find the pipe file beside their real path.
  add_test(NAME packaging.installed_tree_finds_pipe_file
           COMMAND sh ${GASPIPE_PACKAGING_DIR}/check-install.sh ${PROJECT_BINARY_DIR}
                   ${PROJECT_BINARY_DIR}/install-check)
endif()

set(CPACK_PACKAGE_NAME gaspipe)
set(CPACK_PACKAGE_VENDOR "The gaspipe project team")
set(CPACK_PACKAGE_CONTACT "The gaspipe project team <gaspipe@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hydraulic calculator for city-gas pipe segments and lines")
set(CPACK_PACKAGE_DESCRIPTION
    "Gaspipe calculates the pressure drop, the outlet pressure and the mean and
maximum gas velocity of one city-gas pipe segment for manufactured gas,
natural gas or liquefied petroleum gas, high/medium or low pressure, and
steel, PE or cast-iron pipe. It has a desktop window with a Chinese user
interface, the calculation table gaspipe-table for a whole branched line,
and the command-line tool gaspipe-calc for scripts and batches.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/gaspipe/gaspipe")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(TARGET gaspipe)
  # Qt loads its platform plugin and its Chinese texts at run time, so
  # dpkg-shlibdeps cannot see them; the sheet's fonts are linked from
  # lib/gaspipe/fonts (cmake/SheetFonts.cmake); the windows name Chinese fonts
  # that the recommended package provides too.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "qt6-qpa-plugins, qt6-translations-l10n, fonts-dejavu-core, fonts-arphic-uming, fonts-wqy-zenhei")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arphic-ukai")
endif()
include(CPack)
