#include "core/serial/port_path.h"

#include "core/serial/port_choice.h"

namespace zentrivo {

std::string PortDevicePath(const std::string& name) {
    // A device chosen by its path is opened as it is: its stable name below
    // /dev/serial/by-id often runs past the limit of a port name.
    if (!name.empty() && name.front() == '/') {
        return name;
    }
    const std::string counted = name.substr(0, kPortNameLimit);
    const std::int32_t number = ComNumberOf(counted);
    if (number <= 0) {
        return "/dev/" + counted;
    }
    return ComDevicePath(number);
}

}  // namespace zentrivo
