#include "core/process/return_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/process/retake_plan.h"

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

TEST(RetakePlan, TurnsBackOverWhatWasTurnedSinceThePhotoAndRefusesWhatItCanNotUndo) {
    using zentrivo::PlanRetake;
    const std::vector<std::string> run{"T0001.", "D0005.", "F0000.", "P0050.", "W0050.",
                                       "L0040.", "P0050.", "W0050.", "L0040.", "P0050."};
    // From the third photo command back to the second: one rotation.
    auto plan = PlanRetake(run, 6, 9);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->turnBack, "R0040.");
    EXPECT_EQ(plan->rotations, 1);
    EXPECT_EQ(plan->photos, 1);
    // Two rotations back, long ones included, in one command.
    plan = PlanRetake({"P0050.", "L9000.", "P0050.", "L9000.", "P0050."}, 0, 4);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->turnBack, "R18000.");
    EXPECT_EQ(plan->photos, 2);
    // A hand-edited list that turns both ways goes back by the difference,
    // and none at all when they cancel out.
    EXPECT_EQ(PlanRetake({"P0050.", "R0100.", "L0030."}, 0, 3)->turnBack, "L0070.");
    EXPECT_EQ(PlanRetake({"P0050.", "R0030.", "L0030."}, 0, 3)->turnBack, "");
    // A rotation whose steps can not be read can not be undone.
    EXPECT_FALSE(PlanRetake({"P0050.", "Labcd."}, 0, 2));
    EXPECT_FALSE(zentrivo::CanTurnBack("Labcd."));
    EXPECT_TRUE(zentrivo::CanTurnBack("W0050."));
    EXPECT_EQ(zentrivo::PhotoCommandIndex(run, 2), 6u);
    EXPECT_EQ(zentrivo::PhotoCommandIndex(run, 4), run.size());
}
