#include "port_path.h"

#include <cstdlib>

#include "whole_number.h"

namespace zentrivo {

namespace {

// The n of "COM<n>", or 0 when the name is not of that form.
std::int32_t ComNumber(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0 || name[3] == '0') {
        return 0;
    }
    const std::string digits = name.substr(3);
    if (digits.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return ParseWholeNumber(digits).value_or(0);
}

}  // namespace

std::string PortDevicePath(const std::string& name) {
    const std::string counted = name.substr(0, kPortNameLimit);
    const std::int32_t number = ComNumber(counted);
    if (number <= 0) {
        return "/dev/" + counted;
    }
    const char* mapped = std::getenv(("ZENTRIVO_" + counted).c_str());
    if (mapped != nullptr && *mapped != '\0') {
        return mapped;
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

}  // namespace zentrivo
