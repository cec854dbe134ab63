#include "core/process/return_command.h"

#include <cstdio>

namespace zentrivo {

std::string ReturnCommand(const ReturnPlan& plan, std::int32_t rotationsDone) {
    const char* letter = plan.DirectionLetter == "R" ? "L" : "R";
    const long long steps = static_cast<long long>(rotationsDone) * plan.StepsPerPhoto;
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.4lld", steps);
    return letter + std::string(digits) + ".";
}

}  // namespace zentrivo
