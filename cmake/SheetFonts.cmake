# The faces the calculation sheet is set in (src/sheet_render/text_document.cpp),
# in fonts/ beside the programs, where the sheet writer loads them from: a PDF
# made on Windows embeds the same fonts as one made on Linux. They come from
# Debian's font packages; on Linux fonts/ holds links to them, on Windows
# copies (their licences allow it: THIRD-PARTY-NOTICES.txt).
set(GASPIPE_SHEET_FONTS
  /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
  /usr/share/fonts/truetype/arphic/uming.ttc
  /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc)

set(_gaspipe_font_dir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/fonts)
file(MAKE_DIRECTORY ${_gaspipe_font_dir})
foreach(_font IN LISTS GASPIPE_SHEET_FONTS)
  get_filename_component(_name ${_font} NAME)
  if(NOT EXISTS ${_font})
    message(WARNING "${_font} is missing (scripts/bootstrap installs it): "
                    "the sheet is set in whatever Qt falls back to")
  elseif(WIN32)
    file(COPY ${_font} DESTINATION ${_gaspipe_font_dir})
    install(FILES ${_font} DESTINATION ${GASPIPE_INSTALL_LIBEXEC}/fonts)
  else()
    file(CREATE_LINK ${_font} ${_gaspipe_font_dir}/${_name} SYMBOLIC)
    install(FILES ${_gaspipe_font_dir}/${_name} DESTINATION ${GASPIPE_INSTALL_LIBEXEC}/fonts)
  endif()
endforeach()
