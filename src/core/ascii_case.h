#pragma once

#include <string>
#include <string_view>

namespace zentrivo {

// Letter case is ignored for A-Z only; every other byte, UTF-8 included,
// stands for itself. Camera names are plain ASCII, and two names that differ
// only in the case of a non-ASCII letter are then kept apart, never merged,
// so no photo can be hidden behind another one's name.
inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiFolded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = AsciiLower(c);
    }
    return folded;
}

}  // namespace zentrivo
