#pragma once

#include <cstdint>
#include <string>

namespace zentrivo {

// What the way back needs of the run that turned the turntable, taken when
// that run starts: a process made afterwards must not change how far, or
// which way, the table goes back.
struct ReturnPlan {
    std::string DirectionLetter;     // "L" or "R": the way the run turned
    std::int32_t StepsPerPhoto = 0;  // steps of each of its rotations
    std::int32_t PeriodMs = 0;       // its step period
};

// The command that turns the turntable back to where the run began: the
// opposite letter of the run's direction and the steps of every rotation
// made, with at least four digits and never cut. Worked out in 64 bits, so a
// hand-edited process with many rotations cannot wrap round.
std::string ReturnCommand(const ReturnPlan& plan, std::int32_t rotationsDone);

// A turn of `steps` the way of `letter`, written as the controller reads it.
std::string TurnCommand(char letter, long long steps);

}  // namespace zentrivo
