# Icons for the Windows build, which has no Qt SVG module (the archive it is
# built from does not hold that module's source): every SVG of the
# resources rendered to PNG with rsvg-convert, under the same resource
# names, since Qt reads an image by its content when no plugin answers to
# its suffix; and the application icon as a .ico with the resource script
# that carries it into zentrivo.exe. Rendered when CMake configures, and
# again whenever an SVG changes.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)  # librsvg2-bin
find_program(ICOTOOL icotool REQUIRED)            # icoutils
set(icon_source ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons)
set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/windows_icon)
file(MAKE_DIRECTORY ${icon_dir}/png)
file(GLOB svgs CONFIGURE_DEPENDS ${icon_source}/*.svg)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${svgs})

function(render svg size png)
    execute_process(COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${svg}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "rsvg-convert could not render ${svg}")
    endif()
endfunction()

set(qrc "<RCC><qresource prefix=\"/icons\">\n")
foreach(svg ${svgs})
    get_filename_component(name ${svg} NAME_WE)
    # Large enough for a high-density screen; Qt scales it down smoothly.
    render(${svg} 64 ${icon_dir}/png/${name}.png)
    string(APPEND qrc "  <file alias=\"${name}.svg\">png/${name}.png</file>\n")
endforeach()
string(APPEND qrc "</qresource></RCC>\n")
# Named as the Linux one, whose resources the program initialises by name.
set(ZENTRIVO_WINDOWS_QRC ${icon_dir}/zentrivo.qrc)
file(WRITE ${ZENTRIVO_WINDOWS_QRC} ${qrc})

set(ico_pngs)
foreach(size 16 24 32 48 64 256)
    render(${icon_source}/app.svg ${size} ${icon_dir}/app_${size}.png)
    list(APPEND ico_pngs ${icon_dir}/app_${size}.png)
endforeach()
set(app_ico ${icon_dir}/zentrivo.ico)
execute_process(COMMAND ${ICOTOOL} --create --output=${app_ico} ${ico_pngs} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "icotool could not make ${app_ico}")
endif()
set(ZENTRIVO_WINDOWS_RC ${icon_dir}/zentrivo.rc)
file(WRITE ${ZENTRIVO_WINDOWS_RC} "1 ICON \"${app_ico}\"\n")
