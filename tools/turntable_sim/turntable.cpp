#include "turntable.h"

#include <optional>

namespace {

// The number of a letter + digits + "." command: four digits at least, as
// the program always sends them, and few enough to stay far from overflow.
std::optional<std::int64_t> CommandNumber(const std::string& command) {
    if (command.size() < 6 || command.size() > 11 || command.back() != '.') {
        return std::nullopt;
    }
    const std::size_t digits = command.size() - 2;
    std::int64_t number = 0;
    for (std::size_t i = 1; i <= digits; ++i) {
        if (command[i] < '0' || command[i] > '9') {
            return std::nullopt;
        }
        number = number * 10 + (command[i] - '0');
    }
    return number;
}

}  // namespace

Turntable::Turntable(std::int32_t steps_per_revolution, std::int32_t gear_ratio)
    : half_steps_per_turn_(2 * static_cast<std::int64_t>(steps_per_revolution) * gear_ratio) {}

CommandEffect Turntable::Execute(const std::string& command) {
    CommandEffect effect;
    if (command == "X.") {
        effect.Known = true;
        return effect;
    }
    const auto number = CommandNumber(command);
    if (!number) {
        return effect;
    }
    effect.Known = true;
    switch (command[0]) {
        case 'T':
            effect.Known = *number <= 1;
            if (effect.Known) {
                half_steps_ = *number == 0;
            }
            break;
        case 'D':
            period_ms_ = *number;
            break;
        case 'F':
            focus_ms_ = *number;
            break;
        case 'P':
            effect.Photo = true;
            effect.ShutterMs = *number;
            effect.DurationMs = focus_ms_ + *number;
            break;
        case 'W':
            effect.DurationMs = *number;
            break;
        case 'L':
        case 'R': {
            const std::int64_t half_steps = half_steps_ ? *number : 2 * *number;
            const std::int64_t moved = position_ + (command[0] == 'R' ? half_steps : -half_steps);
            position_ = moved % half_steps_per_turn_;
            effect.DurationMs = *number * period_ms_;
            break;
        }
        default:
            effect.Known = false;
    }
    return effect;
}

double Turntable::AngleDegrees() const {
    const std::int64_t forward = (position_ + half_steps_per_turn_) % half_steps_per_turn_;
    return 360.0 * static_cast<double>(forward) / static_cast<double>(half_steps_per_turn_);
}
