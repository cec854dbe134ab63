#include "core/process/retake_plan.h"

#include <algorithm>

#include "core/photos/photo_arrival.h"
#include "core/process/return_command.h"

namespace zentrivo {

namespace {

// The steps of a rotation command: a letter, decimal digits, a full stop.
std::optional<long long> Steps(const std::string& command) {
    if (command.size() < 3 || command.back() != '.' || command.size() > 20) {
        return std::nullopt;
    }
    long long steps = 0;
    for (std::size_t i = 1; i + 1 < command.size(); ++i) {
        if (command[i] < '0' || command[i] > '9') {
            return std::nullopt;
        }
        steps = steps * 10 + (command[i] - '0');
    }
    return steps;
}

}  // namespace

bool IsTurnCommand(const std::string& command) {
    return !command.empty() && (command[0] == 'L' || command[0] == 'R');
}

bool CanTurnBack(const std::string& command) {
    return !IsTurnCommand(command) || Steps(command).has_value();
}

std::optional<RetakePlan> PlanRetake(const std::vector<std::string>& commands, std::size_t from,
                                     std::size_t to) {
    RetakePlan plan;
    long long turned = 0;  // towards L
    for (std::size_t i = from; i < std::min(to, commands.size()); ++i) {
        const std::string& command = commands[i];
        if (IsPhotoCommand(command)) {
            ++plan.photos;
        }
        if (!IsTurnCommand(command)) {
            continue;
        }
        const std::optional<long long> steps = Steps(command);
        if (!steps) {
            return std::nullopt;
        }
        ++plan.rotations;
        turned += command[0] == 'L' ? *steps : -*steps;
    }
    if (turned != 0) {
        plan.turnBack = TurnCommand(turned > 0 ? 'R' : 'L', turned > 0 ? turned : -turned);
    }
    return plan;
}

std::size_t PhotoCommandIndex(const std::vector<std::string>& commands, int number) {
    int seen = 0;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (IsPhotoCommand(commands[i]) && ++seen == number) {
            return i;
        }
    }
    return commands.size();
}

}  // namespace zentrivo
