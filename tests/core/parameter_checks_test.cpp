#include "core/process/parameter_checks.h"

#include <gtest/gtest.h>

using zentrivo::CheckParameters;

TEST(ParameterChecks, ValidTextsPass) {
    const auto c = CheckParameters("3", "48", "25");
    EXPECT_TRUE(c.problems.empty());
    EXPECT_FALSE(c.ratioReplacement);
}

TEST(ParameterChecks, EveryFailingCheckIsReportedInOrder) {
    const auto c = CheckParameters("x", "", "2.5");
    ASSERT_EQ(c.problems.size(), 3u);
    EXPECT_EQ(c.problems[0].message, "Please enter COM port number !");
    EXPECT_EQ(c.problems[0].page, 0);
    EXPECT_EQ(c.problems[1].message, "Please enter number of steps for the motor !");
    EXPECT_EQ(c.problems[1].page, 1);
    EXPECT_EQ(c.problems[2].message, "Please enter a whole number for Gear Ratio !");
    EXPECT_EQ(c.problems[2].page, 1);
}

TEST(ParameterChecks, RatioBelowOneBecomesOneWithoutMessage) {
    for (const char* ratio : {"0", "-5"}) {
        const auto c = CheckParameters("3", "48", ratio);
        EXPECT_TRUE(c.problems.empty());
        EXPECT_EQ(c.ratioReplacement, "1");
    }
}
