#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "serial/command_time.h"

// The estimate of a run's time left, shown while it runs.
namespace zentrivo {

// What the run has measured so far: how long the controller took to answer
// the commands done, against what they should take by their own durations.
struct RunPaceSoFar {
    std::int64_t measuredMs = 0;
    std::int64_t expectedMs = 0;
    std::int64_t commands = 0;

    void Add(std::int64_t measured, std::int64_t expected) {
        measuredMs += measured;
        expectedMs += expected;
        ++commands;
    }
};

// The time the commands from `next` on will take: each its own duration at
// the pace the controller will have been told by then, plus the time each
// command has taken beyond its duration so far, plus `gapMs` between two
// commands.
std::int64_t TimeLeftMs(const std::vector<std::string>& commands, std::size_t next,
                        ControllerPace pace, const RunPaceSoFar& soFar, std::int64_t gapMs);

// "Time left: 4:05", or "Time left: 1:02:03" past an hour; seconds rounded up.
std::string TimeLeftText(std::int64_t ms);

}  // namespace zentrivo
