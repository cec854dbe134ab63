#include "core/settings/ini_lines.h"

#include "core/ascii_case.h"

namespace zentrivo::ini {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::vector<Line> SplitLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            const std::size_t endLength =
                (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            lines.push_back({std::string(bytes.substr(start, i - start)),
                             std::string(bytes.substr(i, endLength))});
            i += endLength;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) {
        lines.push_back({std::string(bytes.substr(start)), std::string()});
    }
    return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
    std::string out;
    for (const Line& line : lines) {
        out += line.text;
        out += line.end;
    }
    return out;
}

ParsedLine ParseLine(std::string_view text) {
    ParsedLine parsed;
    const std::string_view t = Trim(text);
    if (t.empty()) {
        return parsed;
    }
    if (t.front() == ';') {
        parsed.kind = LineKind::kComment;
        return parsed;
    }
    if (t.front() == '[') {
        const std::size_t close = t.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            parsed.kind = LineKind::kSection;
            parsed.name = Trim(t.substr(1, close - 1));
            return parsed;
        }
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        return parsed;
    }
    parsed.kind = LineKind::kKey;
    parsed.name = Trim(t.substr(0, eq));
    parsed.value = Trim(t.substr(eq + 1));
    return parsed;
}

bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

SectionRange FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine p = ParseLine(lines[i].text);
        if (p.kind != LineKind::kSection || !NamesEqual(p.name, section)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < lines.size() && ParseLine(lines[end].text).kind != LineKind::kSection) {
            ++end;
        }
        return {i, i + 1, end, true};
    }
    return {lines.size(), lines.size(), lines.size(), false};
}

}  // namespace zentrivo::ini
