#pragma once

#include <cstdint>
#include <string>

namespace zentrivo {

// The command that turns the turntable back to where the run began: the
// opposite letter of the process's direction and the steps of every
// rotation made, with at least four digits and never cut. Worked out in 64
// bits, so a hand-edited process with many rotations cannot wrap round.
std::string ReturnCommand(const std::string& directionLetter, std::int32_t rotationsDone,
                          std::int32_t stepsPerPhoto);

}  // namespace zentrivo
