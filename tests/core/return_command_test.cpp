#include "core/process/return_command.h"

#include <gtest/gtest.h>

using zentrivo::ReturnCommand;
using zentrivo::ReturnPlan;

TEST(ReturnCommand, TurnsTheOtherWayByEveryRotationMade) {
    EXPECT_EQ(ReturnCommand(ReturnPlan{"L", 40, 5}, 30), "R1200.");
    EXPECT_EQ(ReturnCommand(ReturnPlan{"R", 80, 5}, 30), "L2400.");
    EXPECT_EQ(ReturnCommand(ReturnPlan{"", 5, 5}, 1), "R0005.");  // no process made yet: right
    EXPECT_EQ(ReturnCommand(ReturnPlan{"L", 12000, 5}, 1), "R12000.");
    EXPECT_EQ(ReturnCommand(ReturnPlan{"L", 40, 5}, 0), "R0000.");
    // Many rotations of a long step count do not wrap round.
    EXPECT_EQ(ReturnCommand(ReturnPlan{"L", 2000000, 5}, 2000000), "R4000000000000.");
}
