#include "core/settings/ini_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include "core/settings/file_update.h"
#include "core/settings/ini_encoding.h"
#include "core/settings/ini_lines.h"
#include "core/whole_number.h"

namespace zentrivo {

namespace {

std::string FullPath(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(std::filesystem::u8path(path), ec);
    return ec ? path : absolute.u8string();
}

bool HoldsLineBreak(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A name or value that would not come back the same from its own line (a
// line break forging further keys, a key that reads as a comment or a
// section) is refused rather than written. A name is judged as it will be
// read: without the blanks at its ends, so " [x]" cannot pass for a key and
// then hide the real section [x].
bool StorableOnOneLine(std::string_view section, std::string_view key, std::string_view value) {
    if (HoldsLineBreak(section) || HoldsLineBreak(key) || HoldsLineBreak(value)) {
        return false;
    }
    if (section.find(']') != std::string_view::npos) {
        return false;
    }
    const std::string_view name = ini::Trim(key);
    if (key.find('=') != std::string_view::npos || name.empty() || name.front() == ';' ||
        name.front() == '[') {
        return false;
    }
    return true;
}

// Settings and profile files hold a few hundred bytes. A lookup reads no more
// than their first megabyte, so that a photo or a video chosen by mistake in
// the open dialog reads at once as a file without these keys, instead of
// holding the window for seconds with its whole size in memory several times
// over. A line cut by that limit is left out, so that every value read is
// one the file holds whole.
constexpr std::size_t kMaxLookupBytes = std::size_t{1} << 20;

// The text of a file for a lookup, decoded from UTF-16 when the file is
// written so.
std::optional<std::string> ReadForLookup(const std::string& path) {
    const std::filesystem::path file = std::filesystem::u8path(path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (ec || !in) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(std::min<std::uintmax_t>(size, kMaxLookupBytes)),
                      '\0');
    in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    std::string text = ini::DecodeText(bytes).text;
    if (size > kMaxLookupBytes) {
        const std::size_t lastEnd = text.find_last_of("\r\n");
        text.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }
    return text;
}

// A value ends at a NUL byte, as it does for the Windows functions, which
// hand values over as C strings; so a damaged file never gives a folder name
// that could not be used as a path or written back.
std::string_view BeforeNul(std::string_view value) {
    return value.substr(0, value.find('\0'));
}

// Changes a file's lines the way the Windows functions change a file:
// through a link to its file, in the file's own encoding, never over a file
// that is there but cannot be read (which would lose every other key in it).
// `edit` returns whether it changed anything; a file it leaves as it was is
// not written, and a missing file is made only when there is something to
// write.
void ChangeLines(const std::string& path,
                 const std::function<bool(std::vector<ini::Line>& lines)>& edit) {
    const std::string target = WriteTarget(path);
    const FileContent current = ReadForUpdate(target);
    if (current.state == FileContent::State::kUnreadable) {
        throw IniWriteError(path);
    }
    ini::DecodedText file = ini::DecodeText(current.bytes);
    std::vector<ini::Line> lines = ini::SplitLines(file.text);
    if (!edit(lines)) {
        return;
    }
    file.text = ini::JoinLines(lines);
    if (!UpdateFile(target, ini::EncodeText(file))) {
        throw IniWriteError(path);
    }
}

}  // namespace

IniWriteError::IniWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + FullPath(path)) {}

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::optional<std::string> IniFile::ReadValue(std::string_view section,
                                              std::string_view key) const {
    const auto text = ReadForLookup(path_);
    if (!text) {
        return std::nullopt;
    }
    const std::vector<ini::Line> lines = ini::SplitLines(*text);
    const ini::SectionRange range = ini::FindSection(lines, section);
    for (std::size_t i = range.begin; i < range.end; ++i) {
        const ini::ParsedLine p = ini::ParseLine(lines[i].text);
        if (p.kind == ini::LineKind::kKey && ini::NamesEqual(p.name, key)) {
            const std::string_view value = BeforeNul(ini::StripQuotes(p.value));
            return std::string(value.substr(0, kMaxValueLength));
        }
    }
    return std::nullopt;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                const std::string& fallback) const {
    auto value = ReadValue(section, key);
    return value ? *value : fallback;
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
    const auto value = ReadValue(section, key);
    if (!value) {
        return fallback;
    }
    return ParseIniInteger(*value).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::HoldsText() const {
    const auto text = ReadForLookup(path_);
    return text && ini::IsPlainText(*text);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!StorableOnOneLine(section, key, value)) {
        throw IniWriteError(path_);
    }
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    ChangeLines(path_, [&](std::vector<ini::Line>& lines) {
        const ini::SectionRange range = ini::FindSection(lines, section);
        auto endLine = [&lines](std::size_t index) {
            if (lines[index].end.empty()) {
                lines[index].end = "\r\n";
            }
        };
        if (!range.found) {
            if (!lines.empty()) {
                endLine(lines.size() - 1);
            }
            lines.push_back({"[" + std::string(section) + "]", "\r\n"});
            lines.push_back({keyLine, "\r\n"});
            return true;
        }
        std::size_t lastKey = range.header;
        for (std::size_t i = range.begin; i < range.end; ++i) {
            const ini::ParsedLine p = ini::ParseLine(lines[i].text);
            if (p.kind != ini::LineKind::kKey) {
                continue;
            }
            if (ini::NamesEqual(p.name, key)) {
                lines[i].text = keyLine;
                return true;
            }
            lastKey = i;
        }
        endLine(lastKey);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastKey) + 1, {keyLine, "\r\n"});
        return true;
    });
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
    ChangeLines(path_, [&](std::vector<ini::Line>& lines) {
        const ini::SectionRange range = ini::FindSection(lines, section);
        for (std::size_t i = range.begin; i < range.end; ++i) {
            const ini::ParsedLine p = ini::ParseLine(lines[i].text);
            if (p.kind == ini::LineKind::kKey && ini::NamesEqual(p.name, key)) {
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
                return true;
            }
        }
        return false;
    });
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

}  // namespace zentrivo
