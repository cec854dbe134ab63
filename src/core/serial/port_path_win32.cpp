#include "core/serial/port_path.h"

namespace zentrivo {

std::string PortDevicePath(const std::string& name) {
    // The device namespace takes every port name, also COM10 and above,
    // which a plain "COM10" would not reach.
    return "\\\\.\\" + name.substr(0, kPortNameLimit);
}

}  // namespace zentrivo
