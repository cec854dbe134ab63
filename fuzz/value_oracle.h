#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a fuzz target checks each read against: a value that is not the
// caller's default must be the value of one of the file's own lines. The
// oracle looks at the raw bytes line by line and knows nothing of sections,
// so it may offer more candidates than the reader can see, never fewer.
namespace zentrivo::fuzz {

// Every text that follows the first '=' on a line (of the file's text, decoded
// when it is UTF-16) whose name (the text before it, blanks trimmed) is `key`
// in any letter case: blanks trimmed, one pair of
// matching quotes removed, cut at a NUL byte and to the longest text a read
// returns.
std::vector<std::string> ValuesOfKey(std::string_view fileBytes, std::string_view key);

// Aborts, naming the key, unless `read` is `fallback` or one of the file's
// values of `key` reads as `read`; a text must also be one that can be
// written back on one line.
void ExpectIntegerFromFile(std::string_view fileBytes, std::string_view key, std::int32_t read,
                           std::int32_t fallback);
void ExpectBoolFromFile(std::string_view fileBytes, std::string_view key, bool read, bool fallback);
void ExpectTextFromFile(std::string_view fileBytes, std::string_view key, const std::string& read,
                        const std::string& fallback);

// Aborts unless two reads of one key with different fallbacks agree: both
// gave their fallback (the key was not found), or both gave the same value.
void ExpectSameFind(std::string_view key, std::int32_t readA, std::int32_t fallbackA,
                    std::int32_t readB, std::int32_t fallbackB);

}  // namespace zentrivo::fuzz
