#include "return_command.h"

#include <cstdio>

namespace zentrivo {

std::string ReturnCommand(const std::string& directionLetter, std::int32_t rotationsDone,
                          std::int32_t stepsPerPhoto) {
    const char* letter = directionLetter == "R" ? "L" : "R";
    const long long steps = static_cast<long long>(rotationsDone) * stepsPerPhoto;
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.4lld", steps);
    return letter + std::string(digits) + ".";
}

}  // namespace zentrivo
