#include "core/serial/port_choice.h"

#include <cstdlib>

#include "core/whole_number.h"

namespace zentrivo {

std::string ComPortName(std::int32_t com_port) {
    return "COM" + std::to_string(com_port);
}

std::int32_t ComNumberOf(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0 || name[3] == '0') {
        return 0;
    }
    const std::string digits = name.substr(3);
    if (digits.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return ParseWholeNumber(digits).value_or(0);
}

std::optional<std::string> ComVariable(std::int32_t number) {
    const char* mapped = std::getenv(("ZENTRIVO_" + ComPortName(number)).c_str());
    if (mapped == nullptr || *mapped == '\0') {
        return std::nullopt;
    }
    return std::string(mapped);
}

std::string PortNameFor(std::int32_t com_port, const std::string& chosen_device) {
    if (kPortListSetsComNumber || chosen_device.empty() || ComVariable(com_port)) {
        return ComPortName(com_port);
    }
    return chosen_device;
}

std::string ComDevicePath(std::int32_t number) {
    return ComVariable(number).value_or("/dev/ttyS" + std::to_string(number - 1));
}

}  // namespace zentrivo
