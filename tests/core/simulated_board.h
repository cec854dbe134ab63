#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/serial/device_connection.h"

// The simulated turntable (tools/turntable_sim) started with the given
// options on the far end of a COM port of its own, so that the same serial
// tests run on Linux and, built for Windows, under Wine. On Linux the test
// starts the board on a pseudo-terminal and points the port's environment
// variable at it; under Wine a rack on the Linux side starts it and maps the
// port in the prefix (tests/windows/board_rack.sh).

// A port number no other board of this test program has.
inline std::int32_t NextBoardPortNumber() {
    static std::int32_t next = 100;
    return next++;
}

#ifdef _WIN32
#include "wine_board.h"

// A COM port number that opens nothing: no link in the prefix maps it.
inline std::int32_t MissingPortNumber() {
    return 250;
}
#else
#include "controller_line.h"
#include "simulated_turntable.h"

class SimulatedBoard {
public:
    explicit SimulatedBoard(const std::vector<std::string>& options = {})
        : sim_(options), number_(NextBoardPortNumber()) {
        PointComPortAt(number_, sim_.DevicePath());
    }

    std::int32_t PortNumber() const { return number_; }
    std::string PortName() const { return zentrivo::ComPortName(number_); }

    // Waits for the board to end by itself; returns its exit status.
    int WaitForExit() { return sim_.WaitForExit(); }

private:
    SimulatedTurntable sim_;
    std::int32_t number_;
};

// A COM port number that opens nothing.
inline std::int32_t MissingPortNumber() {
    const std::int32_t number = NextBoardPortNumber();
    PointComPortAt(number, "/nonexistent/zentrivo-tty");
    return number;
}
#endif
