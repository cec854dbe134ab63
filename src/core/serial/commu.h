#pragma once

#include <chrono>

#include <cstdint>
#include <functional>
#include <string>

// The serial port layer: open a COM port by name, configure it, write a text
// and read whatever has arrived. It keeps no port of its own; the caller holds
// the handle and closes it with ClosePort. Nothing here throws: every
// operation reports through its result and through CommFailed/CommErrorText.
namespace zentrivo {

// An open port, or kInvalidPortHandle (all bits set) when none is open. Wide
// enough for a file descriptor here and a HANDLE on Windows.
using PortHandle = std::intptr_t;
inline constexpr PortHandle kInvalidPortHandle = -1;

// Opens "COM<n>" for reading and writing, exclusively, without making it the
// controlling terminal, with bytes passed through untouched. On POSIX the
// name maps to the device named by the environment variable ZENTRIVO_COM<n>
// when it is set, else to /dev/ttyS<n-1>; any other name is looked up below
// /dev. Only the first 79 characters of the name count. Sets CommFailed.
PortHandle OpenPort(const std::string& name, bool quiet);

// Applies "baud=<baud> parity=<parity> data=<data> stop=<stop>" (for example
// "57600", "N", "8", "1") and makes reads return at once. Returns true when
// every step succeeded; a failing step leaves what the earlier ones applied.
bool ConfigurePort(PortHandle handle, const std::string& baud, const std::string& parity,
                   const std::string& data, const std::string& stop, bool quiet);

// Writes the text's bytes as they are, with no framing. Returns whether the
// write went through; a success leaves CommFailed as it was.
bool WritePort(PortHandle handle, const std::string& text, bool quiet);

// Appends what has arrived since the last read to `received`, at most 2048
// bytes, without waiting: nothing when nothing has. A zero byte ends the
// text, and the rest of that read is dropped. Returns false when the device
// has gone (a USB adapter pulled, a board that hung up its line): then
// CommFailed is raised and CommErrorText reads "error reading from serial
// port: <code> (<system text>)". Nothing is shown; the caller tells the user.
// Any other failed read looks like an empty one.
bool ReadPort(PortHandle handle, std::string& received);

// The same, for a caller that only wants the text.
std::string ReadPort(PortHandle handle);

// As ReadPort, but when nothing has arrived it waits on the line, at most
// `timeout` (to the microsecond where the system allows; Windows waits
// whole milliseconds, at least one), and returns as soon as the first bytes come;
// nothing is appended when none did. It may return early with nothing when
// the line fails (a hung-up terminal wakes every wait); callers that count
// time keep their own clock. False, as ReadPort, when the device has gone.
// The port's usual reads (returning at once) are not changed.
bool ReadPortWithin(PortHandle handle, std::chrono::microseconds timeout, std::string& received);

// Drops whatever has arrived and not been read, so that the next read finds
// only bytes that come after this call: the tail of an earlier reply, or a
// reply that came too late, is never taken for the answer to what is written
// next. Harmless on kInvalidPortHandle or a broken port; reports nothing.
void DiscardInput(PortHandle handle);

// True when the device behind an open port has gone, found without reading
// what waits on the line; reported as a failed read is. False for
// kInvalidPortHandle.
bool DeviceGone(PortHandle handle);

// Closes the port; closing kInvalidPortHandle or a broken port is harmless.
void ClosePort(PortHandle handle);

// True when the most recent step that reports failure failed.
bool CommFailed();

// The last error text the layer composed, e.g.
// "Serial open Error COM3 : 2 (No such file or directory)".
std::string CommErrorText();

// Where a failure that is not quiet is shown. The windows show the text in a
// box with an OK button and no icon, titled with the main window's caption.
// With no sink set, nothing is shown.
using CommMessageSink = std::function<void(const std::string& text)>;
void SetCommMessageSink(CommMessageSink sink);

}  // namespace zentrivo
