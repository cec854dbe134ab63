#pragma once

#include <cstddef>
#include <string>

namespace zentrivo {

// The device a port name opens. On Windows it is "\\.\" followed by the
// name, which reaches COM10 and above too. On POSIX systems "COM<n>" (n from 1, no
// leading zero) is the device named by the environment variable
// ZENTRIVO_COM<n> when that is set and not empty, else /dev/ttyS<n-1>, the
// usual name of the n-th serial port; an absolute path is taken whole; any
// other name is looked up below /dev. Otherwise only the first 79
// characters of the name count.
std::string PortDevicePath(const std::string& name);

// How many characters of a port name count.
inline constexpr std::size_t kPortNameLimit = 79;

}  // namespace zentrivo
