#include "comm_mode.h"

#include <sstream>

#include "ascii_case.h"
#include "whole_number.h"

namespace zentrivo {

namespace {

std::optional<CommParity> ParityFromText(const std::string& text) {
    if (text.size() != 1) {
        return std::nullopt;
    }
    switch (AsciiLower(text[0])) {
        case 'n':
            return CommParity::None;
        case 'e':
            return CommParity::Even;
        case 'o':
            return CommParity::Odd;
        case 'm':
            return CommParity::Mark;
        case 's':
            return CommParity::Space;
        default:
            return std::nullopt;
    }
}

std::optional<CommStopBits> StopBitsFromText(const std::string& text) {
    if (text == "1") {
        return CommStopBits::One;
    }
    if (text == "1.5") {
        return CommStopBits::OneAndHalf;
    }
    if (text == "2") {
        return CommStopBits::Two;
    }
    return std::nullopt;
}

// Digits only: the strict conversion also takes blanks and a sign, which
// have no place inside a mode text.
std::optional<std::int32_t> PositiveNumber(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const auto value = ParseWholeNumber(text);
    if (!value || *value <= 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string ComposeModeText(const std::string& baud, const std::string& parity,
                            const std::string& data, const std::string& stop) {
    return "baud=" + baud + " parity=" + parity + " data=" + data + " stop=" + stop;
}

std::optional<CommMode> ParseModeText(const std::string& text) {
    CommMode mode;
    bool have_baud = false;
    bool have_parity = false;
    bool have_data = false;
    bool have_stop = false;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const auto equals = word.find('=');
        if (equals == std::string::npos) {
            return std::nullopt;
        }
        const std::string key = AsciiFolded(word.substr(0, equals));
        const std::string value = word.substr(equals + 1);
        if (key == "baud" && !have_baud) {
            const auto baud = PositiveNumber(value);
            if (!baud) {
                return std::nullopt;
            }
            mode.Baud = *baud;
            have_baud = true;
        } else if (key == "parity" && !have_parity) {
            const auto parity = ParityFromText(value);
            if (!parity) {
                return std::nullopt;
            }
            mode.Parity = *parity;
            have_parity = true;
        } else if (key == "data" && !have_data) {
            const auto data = PositiveNumber(value);
            if (!data || *data < 5 || *data > 8) {
                return std::nullopt;
            }
            mode.DataBits = *data;
            have_data = true;
        } else if (key == "stop" && !have_stop) {
            const auto stop = StopBitsFromText(value);
            if (!stop) {
                return std::nullopt;
            }
            mode.StopBits = *stop;
            have_stop = true;
        } else {
            return std::nullopt;
        }
    }
    if (!(have_baud && have_parity && have_data && have_stop)) {
        return std::nullopt;
    }
    return mode;
}

}  // namespace zentrivo
