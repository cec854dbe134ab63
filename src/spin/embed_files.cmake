# Writes OUTPUT, a C++ header holding each file of INPUTS ("|" between
# them) as a byte array named after the file (index.html -> kindex_html),
# so the program carries the viewer without looking for files beside itself.
set(text "// Generated from src/spin/viewer by embed_files.cmake; do not edit.\n#pragma once\n\n#include <string_view>\n\nnamespace zentrivo::viewer_files {\n")
string(REPLACE "|" ";" inputs "${INPUTS}")
foreach(input ${inputs})
    get_filename_component(name ${input} NAME)
    string(MAKE_C_IDENTIFIER "${name}" id)
    file(READ ${input} hex HEX)
    string(LENGTH "${hex}" hex_length)
    math(EXPR size "${hex_length} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
    string(APPEND text "\ninline constexpr char k${id}_bytes[] = {${bytes} 0};\n")
    string(APPEND text "inline constexpr std::string_view k${id}{k${id}_bytes, ${size}};\n")
endforeach()
string(APPEND text "\n}  // namespace zentrivo::viewer_files\n")
file(WRITE ${OUTPUT} "${text}")
