#include "core/serial/comm_mode.h"

#include <sstream>

#include "core/ascii_case.h"
#include "core/whole_number.h"

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

std::optional<std::int32_t> DataBitsFromText(const std::string& text) {
    const auto bits = PositiveNumber(text);
    if (!bits || *bits < 5 || *bits > 8) {
        return std::nullopt;
    }
    return bits;
}

// A key given once with a value that reads; a repeated key is an error.
template <typename Value, typename Reader>
bool TakeOnce(const std::string& text, Reader read, bool& seen, Value& value) {
    const auto parsed = read(text);
    if (seen || !parsed) {
        return false;
    }
    value = *parsed;
    seen = true;
    return true;
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
        bool taken = false;
        if (key == "baud") {
            taken = TakeOnce(value, PositiveNumber, have_baud, mode.Baud);
        } else if (key == "parity") {
            taken = TakeOnce(value, ParityFromText, have_parity, mode.Parity);
        } else if (key == "data") {
            taken = TakeOnce(value, DataBitsFromText, have_data, mode.DataBits);
        } else if (key == "stop") {
            taken = TakeOnce(value, StopBitsFromText, have_stop, mode.StopBits);
        }
        if (!taken) {
            return std::nullopt;
        }
    }
    if (!(have_baud && have_parity && have_data && have_stop)) {
        return std::nullopt;
    }
    return mode;
}

}  // namespace zentrivo
