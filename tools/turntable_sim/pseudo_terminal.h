#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

// A pseudo-terminal: the controller side, held by whoever plays the
// controller board, and the device side, which a program opens as its serial
// port. Kept to this header so that tests can play the board too.
class PseudoTerminal {
public:
    PseudoTerminal() {
        controller_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[256] = {};
        if (controller_ < 0 || grantpt(controller_) != 0 || unlockpt(controller_) != 0 ||
            ptsname_r(controller_, name, sizeof name) != 0) {
            Fail("cannot create a pseudo-terminal");
        }
        device_path_ = name;
        // Holding the device side open makes reads on the controller side
        // wait for data instead of failing while no program has the port
        // open. Raw from the start, so that nothing is ever echoed back.
        device_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        if (device_ < 0 || tcgetattr(device_, &t) != 0) {
            Fail("cannot open " + device_path_);
        }
        cfmakeraw(&t);
        if (tcsetattr(device_, TCSANOW, &t) != 0) {
            Fail("cannot make " + device_path_ + " raw");
        }
    }
    ~PseudoTerminal() { HangUp(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The path a program opens, such as /dev/pts/3.
    const std::string& DevicePath() const { return device_path_; }

    // Reading it gives what the program wrote; writing it, what the program
    // reads. -1 after HangUp.
    int ControllerFd() const { return controller_; }

    // Closes the controller side: the program's port is hung up, and its
    // writes fail from then on.
    void HangUp() {
        CloseFd(controller_);
        CloseFd(device_);
    }

private:
    static void CloseFd(int& fd) {
        if (fd >= 0) {
            close(fd);
        }
        fd = -1;
    }

    [[noreturn]] void Fail(const std::string& what) {
        const std::string reason = std::strerror(errno);
        HangUp();
        throw std::runtime_error(what + ": " + reason);
    }

    int controller_ = -1;
    int device_ = -1;
    std::string device_path_;
};
