#include "core/settings/camera_port.h"

#include <algorithm>
#include <cctype>

namespace zentrivo {

namespace {

bool HostCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == ':';
}

}  // namespace

std::string CameraPortFor(const std::string& typed) {
    if (typed.empty() || !std::all_of(typed.begin(), typed.end(), HostCharacter)) {
        return typed;
    }
    const std::string host = typed.substr(0, typed.find(':'));
    // A kind is a word of letters; a host has a dot in it, or is this
    // computer.
    if (host.find('.') == std::string::npos && host != "localhost") {
        return typed;
    }
    return "ptpip:" + typed;
}

}  // namespace zentrivo
