#pragma once

#include <cstdint>
#include <string>

namespace zentrivo {

// The state of the process being played; one lives in the main window for
// the whole run and is never copied, saved or reset as a whole.
struct TProces {
    std::int32_t Remaining = 0;      // commands still to play
    std::int32_t CurrentIndex = 0;   // index of the next command in the list
    std::int32_t ProcessState = 0;   // 0 not started, 1 started, 2 paused
    bool WaitingReply = false;       // a tick is waiting for the device's reply
    std::int32_t StepsPerPhoto = 0;  // steps of one rotation of the last made process
    std::string DirectionLetter;     // "L" or "R" of the last made process
    std::int32_t RotationsDone = 0;  // rotations accepted since the last Start
};

enum ProcessStates : std::int32_t {
    kProcessNotStarted = 0,
    kProcessStarted = 1,
    kProcessPaused = 2,
};

// The status bar's text for a process state.
const char* ProcessStateText(std::int32_t state);

}  // namespace zentrivo
