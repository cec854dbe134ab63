#include "ptp_data.h"

PtpWriter& PtpWriter::U8(std::uint8_t value) {
    data_ += static_cast<char>(value);
    return *this;
}

PtpWriter& PtpWriter::U16(std::uint16_t value) {
    return U8(static_cast<std::uint8_t>(value & 0xFF)).U8(static_cast<std::uint8_t>(value >> 8));
}

PtpWriter& PtpWriter::U32(std::uint32_t value) {
    return U16(static_cast<std::uint16_t>(value & 0xFFFF))
        .U16(static_cast<std::uint16_t>(value >> 16));
}

PtpWriter& PtpWriter::U64(std::uint64_t value) {
    return U32(static_cast<std::uint32_t>(value & 0xFFFFFFFF))
        .U32(static_cast<std::uint32_t>(value >> 32));
}

PtpWriter& PtpWriter::String(const std::string& text) {
    if (text.empty()) {
        return U8(0);
    }
    // At most 254 characters and the zero: the count is one byte.
    const std::string kept = text.substr(0, 254);
    U8(static_cast<std::uint8_t>(kept.size() + 1));
    return ZeroEndedText(kept);
}

PtpWriter& PtpWriter::ZeroEndedText(const std::string& text) {
    for (const char c : text) {
        U16(static_cast<std::uint8_t>(c));
    }
    return U16(0);
}

PtpWriter& PtpWriter::U16Array(const std::vector<std::uint16_t>& values) {
    U32(static_cast<std::uint32_t>(values.size()));
    for (const std::uint16_t value : values) {
        U16(value);
    }
    return *this;
}

PtpWriter& PtpWriter::U32Array(const std::vector<std::uint32_t>& values) {
    U32(static_cast<std::uint32_t>(values.size()));
    for (const std::uint32_t value : values) {
        U32(value);
    }
    return *this;
}

PtpWriter& PtpWriter::Bytes(const std::string& bytes) {
    data_ += bytes;
    return *this;
}

std::uint16_t ReadU16(const std::string& bytes, std::size_t offset) {
    if (offset + 2 > bytes.size()) {
        return 0;
    }
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                      static_cast<std::uint8_t>(bytes[offset + 1]) << 8);
}

std::uint32_t ReadU32(const std::string& bytes, std::size_t offset) {
    if (offset + 4 > bytes.size()) {
        return 0;
    }
    return static_cast<std::uint32_t>(ReadU16(bytes, offset)) |
           static_cast<std::uint32_t>(ReadU16(bytes, offset + 2)) << 16;
}

std::string Packet(std::uint32_t type, const std::string& payload) {
    return PtpWriter()
        .U32(static_cast<std::uint32_t>(payload.size() + 8))
        .U32(type)
        .Bytes(payload)
        .Data();
}
