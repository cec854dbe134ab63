#include "core/serial/command_time.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "core/serial/device.h"

namespace zentrivo {

namespace {

// Far beyond any command a process holds, and small enough that products of
// two of them stay inside 64 bits.
constexpr std::int64_t kNumberCeiling = 1'000'000'000;

// The number between a command's letter and its final "."; nothing when the
// command is not a letter, digits and "." (the connection test, a hand-typed
// oddity). A number too large to matter is held at the ceiling.
std::optional<std::int64_t> CommandNumber(const std::string& command) {
    if (command.size() < 3 || command.back() != '.') {
        return std::nullopt;
    }
    std::int64_t number = 0;
    for (std::size_t i = 1; i + 1 < command.size(); ++i) {
        const char c = command[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = std::min(number * 10 + (c - '0'), kNumberCeiling);
    }
    return number;
}

}  // namespace

void NoteAccepted(ControllerPace& pace, const std::string& command) {
    const auto number = CommandNumber(command);
    if (!number) {
        return;
    }
    if (command[0] == 'D') {
        pace.PeriodMs = *number;
    } else if (command[0] == 'F') {
        pace.FocusMs = *number;
    }
}

std::int64_t ExpectedDurationMs(const std::string& command, const ControllerPace& pace) {
    const auto number = CommandNumber(command);
    if (!number) {
        return 0;
    }
    const std::int64_t period = std::clamp<std::int64_t>(pace.PeriodMs, 0, kNumberCeiling);
    const std::int64_t focus = std::clamp<std::int64_t>(pace.FocusMs, 0, kNumberCeiling);
    switch (command[0]) {
        case 'L':
        case 'R':
            return *number * period;
        case 'P':
            return *number + focus;
        case 'W':
        case 'F':
            return *number;
        default:
            return 0;
    }
}

std::int32_t PollLimitFor(const std::string& command, const ControllerPace& pace) {
    constexpr std::int64_t kPollMs = 10;
    // One below the largest count, so that the count of polls made can pass it.
    constexpr std::int64_t kMost = std::numeric_limits<std::int32_t>::max() - 1;
    const std::int64_t extra = (ExpectedDurationMs(command, pace) + kPollMs - 1) / kPollMs;
    return static_cast<std::int32_t>(std::min(kCommandPollLimit + extra, kMost));
}

}  // namespace zentrivo
