// The port layer over POSIX terminals.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include "core/serial/comm_mode.h"
#include "core/serial/commu.h"
#include "core/serial/commu_report.h"
#include "core/serial/port_path.h"

namespace zentrivo {

namespace {

using commu_report::NoteFailure;
using commu_report::NoteSuccess;

constexpr std::size_t kReadLimit = 2048;
// A write waits this long for room in a full output queue before it fails:
// a line stuck by flow control must not freeze the program.
constexpr int kWriteStallMs = 1000;

int Fd(PortHandle handle) {
    return static_cast<int>(handle);
}

bool Fail(const std::string& prefix, int code, bool quiet) {
    return NoteFailure(prefix, code, std::strerror(code), quiet);
}

// The line as a Windows communications port has it: no echo, no line
// editing, no translation of bytes or line ends, no flow control by
// characters, receiver on and modem lines ignored. Size, parity and
// speed are left for configuration.
void MakeRaw(termios& t) {
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CREAD | CLOCAL;
}

// Claims the open device for this program alone and makes its line raw;
// returns 0 or the error code. TIOCEXCL keeps other opens out, but not
// root's, so an advisory lock is taken as well; a held lock reads as busy.
int ClaimAndMakeRaw(int fd) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? EBUSY : errno;
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        return errno;
    }
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return errno;
    }
    MakeRaw(t);
    return tcsetattr(fd, TCSANOW, &t) == 0 ? 0 : errno;
}

std::optional<speed_t> SpeedFor(std::int32_t baud) {
    struct Rate {
        std::int32_t baud;
        speed_t speed;
    };
    static const Rate kRates[] = {
        {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
        {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
        {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
        {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
        {460800, B460800},
#endif
#ifdef B921600
        {921600, B921600},
#endif
    };
    for (const Rate& rate : kRates) {
        if (rate.baud == baud) {
            return rate.speed;
        }
    }
    return std::nullopt;
}

// Puts speed, byte size, parity and stop bits into the attributes and leaves
// every other field alone. False when the terminal cannot take the mode.
bool ApplyLineSettings(const CommMode& mode, termios& t) {
    const auto speed = SpeedFor(mode.Baud);
    if (!speed || mode.StopBits == CommStopBits::OneAndHalf) {
        return false;
    }
    static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tcflag_t parity = 0;
    switch (mode.Parity) {
        case CommParity::None:
            break;
        case CommParity::Even:
            parity = PARENB;
            break;
        case CommParity::Odd:
            parity = PARENB | PARODD;
            break;
#ifdef CMSPAR
        case CommParity::Mark:
            parity = PARENB | PARODD | CMSPAR;
            break;
        case CommParity::Space:
            parity = PARENB | CMSPAR;
            break;
#endif
        default:
            return false;
    }
    tcflag_t cleared = CSIZE | PARENB | PARODD | CSTOPB;
#ifdef CMSPAR
    cleared |= CMSPAR;
#endif
    t.c_cflag &= ~cleared;
    t.c_cflag |= kSizes[mode.DataBits - 5] | parity;
    if (mode.StopBits == CommStopBits::Two) {
        t.c_cflag |= CSTOPB;
    }
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
    return true;
}

// Whether the terminal has hung up: its device was unplugged or the far end
// of a pseudo-terminal closed. Looked at without reading anything.
bool HungUp(int fd) {
    pollfd line{fd, POLLIN, 0};
    return poll(&line, 1, 0) == 1 && (line.revents & (POLLHUP | POLLERR)) != 0;
}

// The codes with which a read tells that the device is no more: a terminal
// whose other end closed (EIO), a USB adapter pulled out (ENXIO, ENODEV).
bool MeansDeviceGone(int code) {
    return code == EIO || code == ENXIO || code == ENODEV;
}

// Writes every byte, waiting a little for room when the queue is full;
// returns 0 or the error code.
int WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return errno;
        }
        pollfd room{fd, POLLOUT, 0};
        const int ready = poll(&room, 1, kWriteStallMs);
        if (ready == 0) {
            return ETIMEDOUT;
        }
        if (ready < 0 && errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

}  // namespace

PortHandle OpenPort(const std::string& name, bool quiet) {
    const std::string path = PortDevicePath(name);
    // Not blocking, so that the open does not wait for a modem's carrier and
    // a read never waits, whatever the line was set to before.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int code = fd < 0 ? errno : ClaimAndMakeRaw(fd);
    if (code != 0) {
        if (fd >= 0) {
            close(fd);
        }
        Fail("Serial open Error " + name + " : ", code, quiet);
        return kInvalidPortHandle;
    }
    NoteSuccess();
    return fd;
}

bool ConfigurePort(PortHandle handle, const std::string& baud, const std::string& parity,
                   const std::string& data, const std::string& stop, bool quiet) {
    const int fd = Fd(handle);
    termios current{};
    if (tcgetattr(fd, &current) != 0) {
        return Fail("error on getcommstate: ", errno, quiet);
    }
    NoteSuccess();

    const auto mode = ParseModeText(ComposeModeText(baud, parity, data, stop));
    termios wanted = current;
    if (!mode || !ApplyLineSettings(*mode, wanted)) {
        return Fail("error on buildcommdcb: ", EINVAL, quiet);
    }
    NoteSuccess();

    if (tcsetattr(fd, TCSANOW, &wanted) != 0) {
        return Fail("error on setcommstate: ", errno, quiet);
    }
    NoteSuccess();

    // The queue sizes are the driver's own here; there is nothing to set.
    NoteSuccess();

    termios timeouts{};
    if (tcgetattr(fd, &timeouts) != 0) {
        return Fail("error on getcommtimeouts: ", errno, quiet);
    }
    NoteSuccess();

    // A read returns at once with what has arrived, also when nothing has.
    timeouts.c_cc[VMIN] = 0;
    timeouts.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &timeouts) != 0) {
        return Fail("error on setcommtimeouts: ", errno, quiet);
    }
    NoteSuccess();
    return true;
}

bool WritePort(PortHandle handle, const std::string& text, bool quiet) {
    const int code = WriteAll(Fd(handle), text);
    if (code != 0) {
        return Fail("error writing to serial port: ", code, quiet);
    }
    return true;
}

bool ReadPort(PortHandle handle, std::string& received) {
    if (handle == kInvalidPortHandle) {
        return true;
    }
    char buffer[kReadLimit + 1] = {};
    const ssize_t count = read(Fd(handle), buffer, kReadLimit);
    if (count > 0) {
        received.append(buffer, strnlen(buffer, static_cast<std::size_t>(count)));
        return true;
    }
    // Reads set not to wait give 0 bytes on a quiet line and on one that has
    // hung up alike; only the line's state tells them apart.
    const int code = count < 0 ? errno : (HungUp(Fd(handle)) ? EIO : 0);
    if (!MeansDeviceGone(code)) {
        return true;
    }
    return Fail(commu_report::kReadFailedPrefix, code, true);
}

bool DeviceGone(PortHandle handle) {
    if (handle == kInvalidPortHandle || !HungUp(Fd(handle))) {
        return false;
    }
    Fail(commu_report::kReadFailedPrefix, EIO, true);
    return true;
}

bool ReadPortWithin(PortHandle handle, std::chrono::microseconds timeout, std::string& received) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + timeout;
    pollfd in{Fd(handle), POLLIN, 0};
    for (;;) {
        // ppoll waits to the nanosecond; poll would round up to a whole
        // millisecond, which a fast board's replies feel.
        const auto left =
            std::chrono::duration_cast<std::chrono::nanoseconds>(until - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        const timespec wait{static_cast<time_t>(left.count() / 1000000000),
                            static_cast<long>(left.count() % 1000000000)};
        // A signal cuts the wait short; what is left of it is waited again.
        if (ppoll(&in, 1, &wait, nullptr) >= 0 || errno != EINTR) {
            break;
        }
    }
    return ReadPort(handle, received);
}

void DiscardInput(PortHandle handle) {
    if (handle != kInvalidPortHandle) {
        tcflush(Fd(handle), TCIFLUSH);
    }
}

void ClosePort(PortHandle handle) {
    if (handle == kInvalidPortHandle) {
        return;
    }
    // The exclusive mark belongs to the terminal, not to this descriptor;
    // left set, it would keep this program out of its own port next time.
    ioctl(Fd(handle), TIOCNXCL);
    close(Fd(handle));
}

}  // namespace zentrivo
