#include "run/time_left.h"

#include <algorithm>
#include <cstdio>

namespace zentrivo {

std::int64_t TimeLeftMs(const std::vector<std::string>& commands, std::size_t next,
                        ControllerPace pace, const RunPaceSoFar& soFar, std::int64_t gapMs) {
    const std::int64_t extraPerCommand =
        soFar.commands > 0
            ? std::max<std::int64_t>(0, soFar.measuredMs - soFar.expectedMs) / soFar.commands
            : 0;
    std::int64_t left = 0;
    for (std::size_t i = next; i < commands.size(); ++i) {
        left += ExpectedDurationMs(commands[i], pace) + extraPerCommand + gapMs;
        NoteAccepted(pace, commands[i]);
    }
    return left;
}

std::string TimeLeftText(std::int64_t ms) {
    const std::int64_t seconds = (std::max<std::int64_t>(ms, 0) + 999) / 1000;
    char text[64];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "Time left: %lld:%02lld:%02lld",
                      static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60),
                      static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "Time left: %lld:%02lld",
                      static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
    }
    return text;
}

}  // namespace zentrivo
