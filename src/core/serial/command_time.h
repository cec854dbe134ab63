#pragma once

#include <cstdint>
#include <string>

// How long the controller takes to carry out a command, and so how long its
// reply may be waited for.
namespace zentrivo {

// What the controller has been told that sets the length of its commands:
// the step period of the last "D" and the focus time of the last "F" it
// accepted, in milliseconds; 0 until it has been told.
struct ControllerPace {
    std::int64_t PeriodMs = 0;
    std::int64_t FocusMs = 0;
};

// Keeps what an accepted command tells the controller: "D" sets the period,
// "F" the focus time; other commands change nothing.
void NoteAccepted(ControllerPace& pace, const std::string& command);

// The time `command` takes the controller at `pace`, in milliseconds: for
// "L" and "R" their steps times the period, for "P" its time plus the focus
// time, for "W" and "F" their time. Other commands ("T", "D", the connection
// test) and a number that cannot be read take no time.
std::int64_t ExpectedDurationMs(const std::string& command, const ControllerPace& pace);

// The polls a command's reply is waited for: kCommandPollLimit, which leaves
// the controller about 10 s to answer, plus one 10 ms poll for every 10 ms
// the command takes, so that a long move is never taken for silence.
std::int32_t PollLimitFor(const std::string& command, const ControllerPace& pace);

}  // namespace zentrivo
