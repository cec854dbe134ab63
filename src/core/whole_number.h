#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrivo {

// The strict whole-number conversion used for every numeric edit: optional
// leading blanks, an optional sign, decimal digits and nothing after them,
// within the 32-bit signed range. An empty text is not a whole number.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// How an integer value stored in an INI file is read: "0x"/"0X" followed by
// hex digits when the text is longer than two characters (up to eight hex
// digits, taken as the 32-bit pattern, as the Windows build reads them),
// otherwise the strict decimal conversion above.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

// The error raised when a text that must be a number is not one, worded as
// the program's general error box shows it.
std::string NotAnIntegerText(std::string_view text);

// Strict conversion that throws std::runtime_error with NotAnIntegerText.
std::int32_t WholeNumberOrThrow(std::string_view text);

}  // namespace zentrivo
