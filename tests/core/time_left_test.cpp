#include "core/journal/time_left.h"

#include <gtest/gtest.h>

using namespace zentrivo;

TEST(TimeLeft, CommandsAheadAtTheirPaceAndWhatTheRunHasTakenBeyond) {
    const std::vector<std::string> commands = {"T0001.", "D0005.", "F1000.", "P0050.",
                                               "L0100.", "P0050.", "L0100."};
    // From the start: the focus setting 1 s, 1.05 s per photo, 0.5 s per
    // rotation, nothing measured yet.
    EXPECT_EQ(TimeLeftMs(commands, 0, ControllerPace{}, RunPaceSoFar{}, 0), 4100);
    // Half-way, each command so far took 100 ms beyond its time, and 50 ms
    // pass between two.
    RunPaceSoFar soFar;
    soFar.Add(1150, 1050);
    soFar.Add(600, 500);
    EXPECT_EQ(TimeLeftMs(commands, 5, ControllerPace{5, 1000}, soFar, 50), 1550 + 300);
    EXPECT_EQ(TimeLeftText(1550 + 300), "Time left: 0:02");
    EXPECT_EQ(TimeLeftText(3723000), "Time left: 1:02:03");
}
