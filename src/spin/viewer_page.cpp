#include "viewer_page.h"

#include "viewer_files.h"

namespace zentrivo {

namespace {

void ReplaceAll(std::string& text, std::string_view mark, const std::string& value) {
    for (std::size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + value.size())) {
        text.replace(at, mark.size(), value);
    }
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string ViewerPage(const ViewerSettings& settings) {
    std::string page(viewer_files::kindex_html);
    ReplaceAll(page, "{{TITLE}}", EscapeHtml(settings.title));
    ReplaceAll(page, "{{FRAMES}}", std::to_string(settings.frames));
    ReplaceAll(page, "{{WIDTH}}", std::to_string(settings.width));
    ReplaceAll(page, "{{HEIGHT}}", std::to_string(settings.height));
    ReplaceAll(page, "{{TURN_MS}}", std::to_string(settings.turnMilliseconds));
    return page;
}

std::string_view ViewerScript() {
    return viewer_files::kspin_js;
}

}  // namespace zentrivo
