#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zentrivo::ini {

// One physical line of an INI file with the line end it had, so that lines
// the program does not touch are written back byte for byte.
struct Line {
    std::string text;
    std::string end;  // "\r\n", "\n", "\r" or "" for a last line without one
};

enum class LineKind { kOther, kComment, kSection, kKey };

struct ParsedLine {
    LineKind kind = LineKind::kOther;
    std::string_view name;   // section or key name, blanks trimmed
    std::string_view value;  // key value, blanks trimmed, quotes kept
};

// `s` without the blanks and tabs at its ends, as names and values are read.
std::string_view Trim(std::string_view s);

std::vector<Line> SplitLines(std::string_view bytes);
std::string JoinLines(const std::vector<Line>& lines);
ParsedLine ParseLine(std::string_view text);
bool NamesEqual(std::string_view a, std::string_view b);
std::string_view StripQuotes(std::string_view value);

// The first section named `section`: its header line and the range
// [begin, end) of the lines below it up to the next section header. When the
// section is missing, found is false and all three indices are lines.size().
struct SectionRange {
    std::size_t header;
    std::size_t begin;
    std::size_t end;
    bool found;
};
SectionRange FindSection(const std::vector<Line>& lines, std::string_view section);

}  // namespace zentrivo::ini
