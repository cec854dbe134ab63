#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "core/serial/commu.h"
#include "core/serial/device_connection.h"

// The Windows side of SimulatedBoard (simulated_board.h): a board asked of
// the rack that scripts/test-windows runs on the Linux side, whose folder the
// environment variable ZENTRIVO_BOARD_RACK names.
class SimulatedBoard {
public:
    explicit SimulatedBoard(const std::vector<std::string>& options = {})
        : number_(NextBoardPortNumber()) {
        std::string request;
        for (const std::string& option : options) {
            request += option + "\n";
        }
        if (!zentrivo::WriteFileAtomically(File("options"), request)) {
            throw std::runtime_error("cannot ask the rack for a board at " + File("options"));
        }
        Await("ready");
    }
    ~SimulatedBoard() { zentrivo::WriteFileAtomically(File("stop"), ""); }
    SimulatedBoard(const SimulatedBoard&) = delete;
    SimulatedBoard& operator=(const SimulatedBoard&) = delete;

    std::int32_t PortNumber() const { return number_; }
    std::string PortName() const { return zentrivo::ComPortName(number_); }

    // Waits for the board to end by itself; returns its exit status.
    int WaitForExit() { return std::atoi(Await("exit").c_str()); }

private:
    static std::string Rack() {
        const char* rack = std::getenv("ZENTRIVO_BOARD_RACK");
        if (rack == nullptr || *rack == '\0') {
            throw std::runtime_error("ZENTRIVO_BOARD_RACK is not set: run scripts/test-windows");
        }
        return rack;
    }

    std::string File(const std::string& kind) const {
        return Rack() + "\\" + std::to_string(number_) + "." + kind;
    }

    // The rack's answer of the given kind. The rack looks at its folder
    // every 10 ms; the wait gives up after about 20 seconds, so that a rack
    // that is gone fails the test instead of hanging it.
    std::string Await(const std::string& kind) const {
        for (int waits = 0; waits < 4000; ++waits) {
            if (const auto answer = zentrivo::ReadWholeFile(File(kind))) {
                return *answer;
            }
            if (const auto failed = zentrivo::ReadWholeFile(File("failed"))) {
                throw std::runtime_error("the simulated board did not start: " + *failed);
            }
            Sleep(5);
        }
        throw std::runtime_error("the board rack does not answer at " + Rack());
    }

    std::int32_t number_;
};

// Waits until the port holds at least `count` unread bytes.
inline void WaitUntilWaiting(zentrivo::PortHandle port, int count) {
    for (int tries = 0; tries < 5000; ++tries) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(reinterpret_cast<HANDLE>(port), &errors, &status)) {
            break;
        }
        if (status.cbInQue >= static_cast<DWORD>(count)) {
            return;
        }
        Sleep(1);
    }
    throw std::runtime_error("the bytes never reached the port");
}
