#include "core/settings/ini_encoding.h"

#include <cstdint>

namespace zentrivo::ini {

namespace {

constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";

bool IsHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::uint32_t UnitAt(std::string_view bytes, std::size_t i, bool bigEndian) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (std::uint32_t{first} << 8 | second) : (std::uint32_t{second} << 8 | first);
}

// A half of a surrogate pair that stands alone is written like any other
// code point (three bytes), so that it comes back as the same unit.
void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code point that starts at `text[i]` and its length in bytes; a length
// of 0 when the bytes there are no well-formed UTF-8 (halves of surrogate
// pairs, as AppendUtf8 writes them, count as well-formed).
std::size_t Utf8At(const std::string& text, std::size_t i, std::uint32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t lowest = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
        lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
        lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    return (cp < lowest || cp > 0x10FFFF) ? 0 : length;
}

}  // namespace

DecodedText DecodeText(std::string_view bytes) {
    DecodedText decoded;
    const std::string_view mark = bytes.substr(0, 2);
    if (mark == kLittleEndianMark) {
        decoded.encoding = TextEncoding::kUtf16LE;
    } else if (mark == kBigEndianMark) {
        decoded.encoding = TextEncoding::kUtf16BE;
    } else {
        decoded.text = std::string(bytes);
        return decoded;
    }
    const bool bigEndian = decoded.encoding == TextEncoding::kUtf16BE;
    decoded.text.reserve(bytes.size());
    std::size_t i = 2;
    for (; i + 1 < bytes.size(); i += 2) {
        std::uint32_t cp = UnitAt(bytes, i, bigEndian);
        if (IsHighSurrogate(cp) && i + 3 < bytes.size()) {
            const std::uint32_t next = UnitAt(bytes, i + 2, bigEndian);
            if (IsLowSurrogate(next)) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(decoded.text, cp);
    }
    decoded.oddByte = std::string(bytes.substr(i));
    return decoded;
}

std::string EncodeText(const DecodedText& decoded) {
    if (decoded.encoding == TextEncoding::kBytes) {
        return decoded.text + decoded.oddByte;
    }
    const bool bigEndian = decoded.encoding == TextEncoding::kUtf16BE;
    std::string out(bigEndian ? kBigEndianMark : kLittleEndianMark);
    out.reserve(2 + 2 * decoded.text.size() + decoded.oddByte.size());
    auto put = [&out, bigEndian](std::uint32_t unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    const std::string& text = decoded.text;
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t cp = 0;
        std::size_t length = Utf8At(text, i, cp);
        if (length == 0) {
            cp = 0xFFFD;  // a byte that is no character; only a caller's bad text gets here
            length = 1;
        }
        i += length;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    out += decoded.oddByte;
    return out;
}

bool IsPlainText(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\x1A') {
            return false;
        }
    }
    return true;
}

}  // namespace zentrivo::ini
