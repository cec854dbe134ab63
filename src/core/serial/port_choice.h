#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Which device the program opens for the turntable. Three things decide it:
// the COM number of the settings, a device chosen from the port list of the
// Parameters dialog (key "com_device"), and on POSIX systems the
// environment variable ZENTRIVO_COM<n>, with which a port was mapped from a
// terminal before there was a list.
namespace zentrivo {

// The key in "Parametri" that holds the chosen device's path. Absent when
// the COM number alone decides, as in every file written before the list.
inline constexpr char kComDeviceKey[] = "com_device";

// Windows names its ports by number, so there the list sets the COM number;
// elsewhere it names the device, which a number could not reach.
#ifdef _WIN32
inline constexpr bool kPortListSetsComNumber = true;
#else
inline constexpr bool kPortListSetsComNumber = false;
#endif

// "COM" followed by the port number.
std::string ComPortName(std::int32_t com_port);

// The n of "COM<n>" (n from 1, no leading zero), or 0 when the name is not
// of that form.
std::int32_t ComNumberOf(const std::string& name);

// The device ZENTRIVO_COM<n> names, when it is set and not empty.
std::optional<std::string> ComVariable(std::int32_t number);

// The name to hand to OpenPort, by precedence: "COM<n>" when ZENTRIVO_COM<n>
// is set, so that a mapping made in a terminal still wins; else the chosen
// device, when there is one and the list names devices; else "COM<n>".
std::string PortNameFor(std::int32_t com_port, const std::string& chosen_device);

// Where "COM<n>" leads on POSIX systems: the device ZENTRIVO_COM<n> names,
// else /dev/ttyS<n-1>, the usual name of the n-th built-in port.
std::string ComDevicePath(std::int32_t number);

}  // namespace zentrivo
