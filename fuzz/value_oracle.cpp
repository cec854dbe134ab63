#include "value_oracle.h"

#include <cstdio>
#include <cstdlib>

#include "core/ascii_case.h"
#include "core/settings/ini_encoding.h"
#include "core/settings/ini_file.h"
#include "core/whole_number.h"

namespace zentrivo::fuzz {

namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view Unquoted(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
        return s.substr(1, s.size() - 2);
    }
    return s;
}

[[noreturn]] void Fail(std::string_view key, const std::string& what) {
    std::fprintf(stderr, "key \"%.*s\": %s\n", static_cast<int>(key.size()), key.data(),
                 what.c_str());
    std::abort();
}

}  // namespace

std::vector<std::string> ValuesOfKey(std::string_view fileBytes, std::string_view key) {
    // A file that starts with a UTF-16 byte-order mark holds its lines as
    // UTF-16 text, and its values are read as that text.
    const std::string decoded = ini::DecodeText(fileBytes).text;
    fileBytes = decoded;
    std::vector<std::string> values;
    const std::string wanted = AsciiFolded(key);
    std::size_t start = 0;
    while (start <= fileBytes.size()) {
        std::size_t end = fileBytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = fileBytes.size();
        }
        const std::string_view line = fileBytes.substr(start, end - start);
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos && AsciiFolded(TrimBlanks(line.substr(0, eq))) == wanted) {
            std::string_view value = Unquoted(TrimBlanks(line.substr(eq + 1)));
            value = value.substr(0, value.find('\0'));
            values.emplace_back(value.substr(0, IniFile::kMaxValueLength));
        }
        start = end + 1;
    }
    return values;
}

void ExpectIntegerFromFile(std::string_view fileBytes, std::string_view key, std::int32_t read,
                           std::int32_t fallback) {
    if (read == fallback) {
        return;
    }
    for (const std::string& value : ValuesOfKey(fileBytes, key)) {
        if (ParseIniInteger(value) == read) {
            return;
        }
    }
    Fail(key, "read " + std::to_string(read) + ", which is neither the default nor in the file");
}

void ExpectBoolFromFile(std::string_view fileBytes, std::string_view key, bool read,
                        bool fallback) {
    if (read == fallback) {
        return;
    }
    for (const std::string& value : ValuesOfKey(fileBytes, key)) {
        const auto number = ParseIniInteger(value);
        if (number && (*number != 0) == read) {
            return;
        }
    }
    Fail(key, std::string("read ") + (read ? "true" : "false") +
                  ", which is neither the default nor in the file");
}

void ExpectTextFromFile(std::string_view fileBytes, std::string_view key, const std::string& read,
                        const std::string& fallback) {
    if (read.size() > IniFile::kMaxValueLength) {
        Fail(key, "read a text longer than a read may return");
    }
    if (read.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
        Fail(key, "read a text that could not be written back on one line");
    }
    if (read == fallback) {
        return;
    }
    for (const std::string& value : ValuesOfKey(fileBytes, key)) {
        if (value == read) {
            return;
        }
    }
    Fail(key, "read a text of " + std::to_string(read.size()) +
                  " bytes that is neither the default nor in the file");
}

void ExpectSameFind(std::string_view key, std::int32_t readA, std::int32_t fallbackA,
                    std::int32_t readB, std::int32_t fallbackB) {
    if ((readA == fallbackA && readB == fallbackB) || readA == readB) {
        return;
    }
    Fail(key, "two reads disagree: " + std::to_string(readA) + " and " + std::to_string(readB));
}

}  // namespace zentrivo::fuzz
