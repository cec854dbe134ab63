#pragma once

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

#include "../../tools/turntable_sim/pseudo_terminal.h"
#include "core/serial/commu.h"

// Makes "COM<n>" open the given device, as a user does for a USB adapter.
inline void PointComPortAt(int number, const std::string& device_path) {
    setenv(("ZENTRIVO_COM" + std::to_string(number)).c_str(), device_path.c_str(), 1);
}

// Waits until the port holds at least `count` unread bytes: what one side of
// a pseudo-terminal writes reaches the other a moment later.
inline void WaitUntilWaiting(zentrivo::PortHandle port, int count) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int waiting = 0;
    while (ioctl(static_cast<int>(port), FIONREAD, &waiting) == 0 && waiting < count) {
        if (std::chrono::steady_clock::now() > give_up) {
            throw std::runtime_error("the bytes never reached the port");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// A pseudo-terminal on which the test itself plays the controller board.
class ControllerLine {
public:
    const std::string& DevicePath() const { return line_.DevicePath(); }

    // Sends bytes to the program and waits until they wait on `port`.
    void Say(const std::string& bytes, zentrivo::PortHandle port) {
        Send(bytes);
        WaitUntilWaiting(port, static_cast<int>(bytes.size()));
    }

    // Sends bytes to the program and goes on at once.
    void Send(const std::string& bytes) {
        if (write(line_.ControllerFd(), bytes.data(), bytes.size()) !=
            static_cast<ssize_t>(bytes.size())) {
            throw std::runtime_error("cannot write to the pseudo-terminal");
        }
    }

    // What the program wrote: `count` bytes, or fewer if they do not come.
    std::string Heard(std::size_t count) {
        std::string heard;
        char buffer[256];
        pollfd in{line_.ControllerFd(), POLLIN, 0};
        while (heard.size() < count && poll(&in, 1, 5000) == 1) {
            const ssize_t n = read(line_.ControllerFd(), buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            heard.append(buffer, static_cast<std::size_t>(n));
        }
        return heard;
    }

    void HangUp() { line_.HangUp(); }

private:
    PseudoTerminal line_;
};
