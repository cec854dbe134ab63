#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds the little-endian byte strings of PTP packets and datasets.
class PtpWriter {
public:
    PtpWriter& U8(std::uint8_t value);
    PtpWriter& U16(std::uint16_t value);
    PtpWriter& U32(std::uint32_t value);
    PtpWriter& U64(std::uint64_t value);
    // A PTP string: a count of UTF-16 units with the terminating zero, then
    // the units; the empty string is a single zero byte. ASCII text only.
    PtpWriter& String(const std::string& text);
    // A UTF-16 text ended by a zero unit, without count, as PTP/IP names are.
    PtpWriter& ZeroEndedText(const std::string& text);
    PtpWriter& U16Array(const std::vector<std::uint16_t>& values);
    PtpWriter& U32Array(const std::vector<std::uint32_t>& values);
    PtpWriter& Bytes(const std::string& bytes);

    const std::string& Data() const { return data_; }

private:
    std::string data_;
};

// The 32-bit little-endian number at `offset`; 0 past the end.
std::uint32_t ReadU32(const std::string& bytes, std::size_t offset);
std::uint16_t ReadU16(const std::string& bytes, std::size_t offset);

// A whole PTP/IP packet: length, type, payload.
std::string Packet(std::uint32_t type, const std::string& payload);
