#pragma once

#include <string>
#include <string_view>

namespace zentrivo {

struct ViewerSettings {
    std::string title;  // shown as the page's title; any text
    int frames = 0;     // frames/1.jpg ... frames/<frames>.jpg
    int width = 0;
    int height = 0;
    int turnMilliseconds = 0;  // one turn of the autoplay
};

// The viewer's index.html for these frames.
std::string ViewerPage(const ViewerSettings& settings);
// Its script, spin.js, the same for every export.
std::string_view ViewerScript();

// `text` with the characters HTML gives a meaning written as references.
std::string EscapeHtml(std::string_view text);

}  // namespace zentrivo
