#include "core/process/progress.h"

#include <gtest/gtest.h>

using namespace zentrivo;

TEST(Progress, StartsEmpty) {
    const ProgressGauge g;
    EXPECT_EQ(StepText(g), "Step 0/0");
    EXPECT_EQ(PercentText(g), "0%");
}

TEST(Progress, AdvancesAndStopsAtTheMaximum) {
    ProgressGauge g;
    g.SetRange(0, 30);
    g.SetProgress(0);
    EXPECT_EQ(StepText(g), "Step 0/30");
    auto slices = PieSlices(g);
    EXPECT_STREQ(slices[0].label, "Remaining");
    EXPECT_EQ(slices[0].value, 30);
    EXPECT_STREQ(slices[1].label, "Completed");
    EXPECT_EQ(slices[1].value, 0);

    g.Advance();
    EXPECT_EQ(g.Percentage(), 3);  // 3.33 cut to a whole number
    for (int i = 0; i < 40; ++i) {
        g.Advance();
    }
    EXPECT_EQ(g.progress, 30);
    EXPECT_EQ(StepText(g), "Step 30/30");
    EXPECT_EQ(PercentText(g), "100%");
    slices = PieSlices(g);
    EXPECT_EQ(slices[0].value, 0);
    EXPECT_EQ(slices[1].value, 30);

    g.SetProgress(-5);
    EXPECT_EQ(g.progress, 0);
}

TEST(Progress, NewRangeKeepsProgressInside) {
    ProgressGauge g;
    g.SetRange(0, 30);
    g.SetProgress(20);
    g.SetRange(0, 8);
    EXPECT_EQ(StepText(g), "Step 8/8");
    g.SetRange(5, 2);
    EXPECT_EQ(g.maximum, 5);
    EXPECT_EQ(g.progress, 5);
    EXPECT_EQ(g.Percentage(), 0);
}

TEST(Progress, LargeRangesNeitherOverflowNorWrap) {
    ProgressGauge g;
    g.SetRange(0, INT32_MAX);
    g.SetProgress(INT32_MAX - 1);
    EXPECT_EQ(g.Percentage(), 99);
    g.Advance();
    g.Advance();
    EXPECT_EQ(g.progress, INT32_MAX);
    EXPECT_EQ(g.Percentage(), 100);
}

TEST(Progress, PhaseOfALetter) {
    EXPECT_EQ(PhaseForLetter("R"), Phase::kRotation);
    EXPECT_EQ(PhaseForLetter("L"), Phase::kRotation);
    EXPECT_EQ(PhaseForLetter("P"), Phase::kPhotography);
    EXPECT_EQ(PhaseForLetter("W"), Phase::kPause);
    for (const char* none : {"", "T", "D", "F", "X", "r", "RL"}) {
        EXPECT_EQ(PhaseForLetter(none), Phase::kNone) << none;
    }
}
