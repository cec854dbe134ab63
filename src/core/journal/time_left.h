#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/serial/command_time.h"

// The estimate of a run's time left, shown while it runs.
namespace zentrivo {

// What the run has measured so far: how long the controller took to answer
// the commands done, against what they should take by their own durations.
// Commands that take no time of their own (the settings) tell what an
// answer alone costs; the others how the board keeps to their durations,
// which a board may beat as well as miss.
struct RunPaceSoFar {
    std::int64_t timedMeasuredMs = 0;
    std::int64_t timedExpectedMs = 0;
    std::int64_t timedCommands = 0;
    std::int64_t untimedMeasuredMs = 0;
    std::int64_t untimedCommands = 0;

    void Add(std::int64_t measured, std::int64_t expected) {
        if (expected > 0) {
            timedMeasuredMs += measured;
            timedExpectedMs += expected;
            ++timedCommands;
        } else {
            untimedMeasuredMs += measured;
            ++untimedCommands;
        }
    }
};

// The time the commands from `next` on will take, at the pace the run has
// kept so far: each command's own duration (at the pace the controller will
// have been told by then) scaled as the board has kept to the durations, plus
// what an answer has cost, plus `gapMs` between two commands. Before
// anything is measured the durations count as they are.
std::int64_t TimeLeftMs(const std::vector<std::string>& commands, std::size_t next,
                        ControllerPace pace, const RunPaceSoFar& soFar, std::int64_t gapMs);

// "Time left: 4:05", or "Time left: 1:02:03" past an hour; seconds rounded up.
std::string TimeLeftText(std::int64_t ms);

}  // namespace zentrivo
