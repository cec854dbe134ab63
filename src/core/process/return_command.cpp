#include "core/process/return_command.h"

#include <cstdio>

namespace zentrivo {

std::string ReturnCommand(const ReturnPlan& plan, std::int32_t rotationsDone) {
    return TurnCommand(plan.DirectionLetter == "R" ? 'L' : 'R',
                       static_cast<long long>(rotationsDone) * plan.StepsPerPhoto);
}

std::string TurnCommand(char letter, long long steps) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.4lld", steps);
    return letter + std::string(digits) + ".";
}

}  // namespace zentrivo
