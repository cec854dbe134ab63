#include "whole_number.h"

#include <stdexcept>

namespace zentrivo {

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    // The digits accumulate in 64 bits, as a positive number; stopping past
    // 2147483648 keeps that in range and still lets "-2147483648" through.
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) {
            return std::nullopt;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX || value < INT32_MIN) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = text.substr(2);
        if (digits.size() > 8) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (const char c : digits) {
            unsigned digit = 0;
            if (c >= '0' && c <= '9') {
                digit = static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                digit = static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                digit = static_cast<unsigned>(c - 'A' + 10);
            } else {
                return std::nullopt;
            }
            value = value * 16u + digit;
        }
        return static_cast<std::int32_t>(value);
    }
    return ParseWholeNumber(text);
}

std::string NotAnIntegerText(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value";
}

std::int32_t WholeNumberOrThrow(std::string_view text) {
    const auto value = ParseWholeNumber(text);
    if (!value) {
        throw std::runtime_error(NotAnIntegerText(text));
    }
    return *value;
}

}  // namespace zentrivo
