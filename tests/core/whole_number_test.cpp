#include "core/whole_number.h"

#include <gtest/gtest.h>

using zentrivo::ParseIniInteger;
using zentrivo::ParseWholeNumber;

TEST(WholeNumber, AcceptsBlanksSignAndDigitsOnly) {
    EXPECT_EQ(ParseWholeNumber("30"), 30);
    EXPECT_EQ(ParseWholeNumber("  -5"), -5);
    EXPECT_EQ(ParseWholeNumber("+7"), 7);
    EXPECT_EQ(ParseWholeNumber("007"), 7);
    for (const char* bad : {"", " ", "-", "2.5", "abc", "12a", "12 ", "0x10", "1e3"}) {
        EXPECT_FALSE(ParseWholeNumber(bad)) << bad;
    }
}

TEST(WholeNumber, KeepsTo32BitRange) {
    EXPECT_EQ(ParseWholeNumber("2147483647"), 2147483647);
    EXPECT_EQ(ParseWholeNumber("-2147483648"), INT32_MIN);
    EXPECT_FALSE(ParseWholeNumber("2147483648"));
    EXPECT_FALSE(ParseWholeNumber("-2147483649"));
    EXPECT_FALSE(ParseWholeNumber("99999999999999999999999"));
}

TEST(WholeNumber, IniIntegersTakeHexOnlyWhenLongerThanPrefix) {
    EXPECT_EQ(ParseIniInteger("0x0A"), 10);
    EXPECT_EQ(ParseIniInteger("0XfF"), 255);
    EXPECT_EQ(ParseIniInteger("0xFFFFFFFF"), -1);
    EXPECT_FALSE(ParseIniInteger("0x"));
    EXPECT_FALSE(ParseIniInteger("0x1G"));
    EXPECT_FALSE(ParseIniInteger("0x100000000"));
    EXPECT_EQ(ParseIniInteger("-12"), -12);
    EXPECT_FALSE(ParseIniInteger("yes"));
}

TEST(WholeNumber, ThrowsWithTheUsersText) {
    EXPECT_EQ(zentrivo::WholeNumberOrThrow("42"), 42);
    try {
        zentrivo::WholeNumberOrThrow("4x");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "'4x' is not a valid integer value");
    }
}
