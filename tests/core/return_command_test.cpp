#include "return_command.h"

#include <gtest/gtest.h>

using zentrivo::ReturnCommand;

TEST(ReturnCommand, TurnsTheOtherWayByEveryRotationMade) {
    EXPECT_EQ(ReturnCommand("L", 30, 40), "R1200.");
    EXPECT_EQ(ReturnCommand("R", 30, 80), "L2400.");
    EXPECT_EQ(ReturnCommand("", 1, 5), "R0005.");  // no process made yet: not "R", so right
    EXPECT_EQ(ReturnCommand("L", 1, 12000), "R12000.");
    EXPECT_EQ(ReturnCommand("L", 0, 40), "R0000.");
    // Many rotations of a long step count do not wrap round.
    EXPECT_EQ(ReturnCommand("L", 2000000, 2000000), "R4000000000000.");
}
