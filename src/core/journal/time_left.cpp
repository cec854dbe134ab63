#include "core/journal/time_left.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zentrivo {

std::int64_t TimeLeftMs(const std::vector<std::string>& commands, std::size_t next,
                        ControllerPace pace, const RunPaceSoFar& soFar, std::int64_t gapMs) {
    const double perAnswer = soFar.untimedCommands > 0
                                 ? static_cast<double>(soFar.untimedMeasuredMs) /
                                       static_cast<double>(soFar.untimedCommands)
                                 : 0.0;
    double scale = 1.0;
    if (soFar.timedCommands > 0 && soFar.timedExpectedMs > 0) {
        const double own = static_cast<double>(soFar.timedMeasuredMs) -
                           perAnswer * static_cast<double>(soFar.timedCommands);
        scale = std::max(0.0, own) / static_cast<double>(soFar.timedExpectedMs);
    }
    double left = 0;
    for (std::size_t i = next; i < commands.size(); ++i) {
        left += static_cast<double>(ExpectedDurationMs(commands[i], pace)) * scale + perAnswer +
                static_cast<double>(gapMs);
        NoteAccepted(pace, commands[i]);
    }
    return std::llround(left);
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
