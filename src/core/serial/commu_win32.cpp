// The port layer over the Win32 communications calls.

// Without the printer spooler's header: it makes ConfigurePort a macro.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>

#include "core/serial/comm_mode.h"
#include "core/serial/commu.h"
#include "core/serial/commu_report.h"
#include "core/serial/port_path.h"

namespace zentrivo {

namespace {

using commu_report::NoteFailure;
using commu_report::NoteSuccess;

constexpr DWORD kReadLimit = 2048;
constexpr DWORD kOutputQueue = 2048;
constexpr DWORD kSystemTextLimit = 256;

HANDLE Win32Handle(PortHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The system's own text for an error code, empty when it has none.
std::string SystemText(DWORD code) {
    char text[kSystemTextLimit] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, kSystemTextLimit, nullptr);
    return std::string(text, length);
}

// Reports the failing call with the code GetLastError holds for it; read
// first, before anything else can overwrite it.
bool FailWithLastError(const std::string& prefix, bool quiet) {
    const DWORD code = GetLastError();
    return NoteFailure(prefix, static_cast<long>(code), SystemText(code), quiet);
}

// Whether the driver still answers for the port; a removed device, or a
// line that hung up, fails the call. Clears any line error on the way.
bool LineAnswers(PortHandle handle) {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(Win32Handle(handle), &errors, &status) != 0;
}

// 2048 bytes for every quarter second of the line at full speed, rounded
// down: 14336 at 57600 baud.
DWORD InputQueueFor(DWORD baud) {
    return 2048 * (baud / 8 * 2 / 2048);
}

}  // namespace

// INVALID_HANDLE_VALUE is the handle with all bits set, as kInvalidPortHandle.
static_assert(sizeof(PortHandle) == sizeof(HANDLE), "a handle fits a PortHandle unchanged");

PortHandle OpenPort(const std::string& name, bool quiet) {
    const HANDLE handle = CreateFileA(PortDevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        FailWithLastError("Serial open Error " + name + " : ", quiet);
        return kInvalidPortHandle;
    }
    NoteSuccess();
    return reinterpret_cast<PortHandle>(handle);
}

bool ConfigurePort(PortHandle handle, const std::string& baud, const std::string& parity,
                   const std::string& data, const std::string& stop, bool quiet) {
    const HANDLE port = Win32Handle(handle);
    DCB current{};
    current.DCBlength = sizeof current;
    if (!GetCommState(port, &current)) {
        return FailWithLastError("error on getcommstate: ", quiet);
    }
    NoteSuccess();

    DCB built{};
    built.DCBlength = sizeof built;
    if (!BuildCommDCBA(ComposeModeText(baud, parity, data, stop).c_str(), &built)) {
        return FailWithLastError("error on buildcommdcb: ", quiet);
    }
    NoteSuccess();

    // Only the line settings change; flow control, handshake lines and
    // special characters stay as the driver has them.
    current.BaudRate = built.BaudRate;
    current.ByteSize = built.ByteSize;
    current.Parity = built.Parity;
    current.StopBits = built.StopBits;
    if (!SetCommState(port, &current)) {
        return FailWithLastError("error on setcommstate: ", quiet);
    }
    NoteSuccess();

    if (!SetupComm(port, InputQueueFor(built.BaudRate), kOutputQueue)) {
        return FailWithLastError("error on setupcomm: ", quiet);
    }
    NoteSuccess();

    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(port, &timeouts)) {
        return FailWithLastError("error on getcommtimeouts: ", quiet);
    }
    NoteSuccess();

    // A read returns at once with what has arrived, also when nothing has;
    // the write timeouts stay the driver's.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    if (!SetCommTimeouts(port, &timeouts)) {
        return FailWithLastError("error on setcommtimeouts: ", quiet);
    }
    NoteSuccess();
    return true;
}

bool WritePort(PortHandle handle, const std::string& text, bool quiet) {
    DWORD written = 0;
    if (!WriteFile(Win32Handle(handle), text.data(), static_cast<DWORD>(text.size()), &written,
                   nullptr)) {
        return FailWithLastError("error writing to serial port: ", quiet);
    }
    // A write timeout of the driver's can cut a write short while the call
    // still succeeds; the command did not go out whole, so it failed.
    if (written != text.size()) {
        SetLastError(ERROR_TIMEOUT);
        return FailWithLastError("error writing to serial port: ", quiet);
    }
    return true;
}

bool ReadPort(PortHandle handle, std::string& received) {
    if (handle == kInvalidPortHandle) {
        return true;
    }
    char buffer[kReadLimit + 1] = {};
    DWORD count = 0;
    if (ReadFile(Win32Handle(handle), buffer, kReadLimit, &count, nullptr)) {
        received.append(buffer, strnlen(buffer, count));
        // Some drivers (and Wine over a terminal that hung up) keep reading
        // a line that is gone as empty; the line's state tells.
        return count > 0 || !DeviceGone(handle);
    }
    const DWORD code = GetLastError();
    // A line error (framing, parity, overrun) stops reads until it is
    // cleared; the device is still there when clearing it works.
    if (LineAnswers(handle)) {
        return true;
    }
    return NoteFailure(commu_report::kReadFailedPrefix, static_cast<long>(code), SystemText(code),
                       true);
}

bool DeviceGone(PortHandle handle) {
    if (handle == kInvalidPortHandle || LineAnswers(handle)) {
        return false;
    }
    FailWithLastError(commu_report::kReadFailedPrefix, true);
    return true;
}

// No second thread and no overlapped handle: the read itself waits, under
// read timeouts set for this one call. With both the interval and the
// multiplier at MAXDWORD and a constant between, a read returns at once with
// the bytes that wait, else with the first ones to come, else empty when
// the constant has passed. The usual timeouts (reads that never wait) are
// put back afterwards.
bool ReadPortWithin(PortHandle handle, std::chrono::microseconds timeout, std::string& received) {
    const HANDLE port = Win32Handle(handle);
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(timeout).count();
    const DWORD wait = static_cast<DWORD>(ms > 0 ? ms : 1);
    COMMTIMEOUTS usual{};
    if (!GetCommTimeouts(port, &usual)) {
        Sleep(wait);
        return ReadPort(handle, received);
    }
    COMMTIMEOUTS waiting = usual;
    waiting.ReadIntervalTimeout = MAXDWORD;
    waiting.ReadTotalTimeoutMultiplier = MAXDWORD;
    waiting.ReadTotalTimeoutConstant = wait;
    if (!SetCommTimeouts(port, &waiting)) {
        Sleep(wait);
        return ReadPort(handle, received);
    }
    const bool answered = ReadPort(handle, received);
    SetCommTimeouts(port, &usual);
    return answered;
}

void DiscardInput(PortHandle handle) {
    if (handle != kInvalidPortHandle) {
        PurgeComm(Win32Handle(handle), PURGE_RXCLEAR);
    }
}

void ClosePort(PortHandle handle) {
    if (handle == kInvalidPortHandle) {
        return;
    }
    CloseHandle(Win32Handle(handle));
}

}  // namespace zentrivo
