#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The line settings a port is configured with, given as the mode text
// "baud=57600 parity=N data=8 stop=1".
namespace zentrivo {

enum class CommParity { None, Even, Odd, Mark, Space };
enum class CommStopBits { One, OneAndHalf, Two };

struct CommMode {
    std::int32_t Baud = 0;
    CommParity Parity = CommParity::None;
    std::int32_t DataBits = 8;
    CommStopBits StopBits = CommStopBits::One;
};

// "baud=" + baud + " parity=" + parity + " data=" + data + " stop=" + stop.
std::string ComposeModeText(const std::string& baud, const std::string& parity,
                            const std::string& data, const std::string& stop);

// Reads a mode text. Keys and the parity letter may be in either case; each
// of the four keys must be given once. Nothing is returned for an unknown key
// or value: baud must be a positive whole number, parity one of N, E, O, M,
// S, data 5 to 8, stop 1, 1.5 or 2.
std::optional<CommMode> ParseModeText(const std::string& text);

}  // namespace zentrivo
