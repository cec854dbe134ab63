#include "core/process/process.h"

#include <gtest/gtest.h>

#include <stdexcept>

using zentrivo::ApplyDivisorRule;
using zentrivo::GeneratedProcess;
using zentrivo::GenerateProcess;
using zentrivo::MaxPhotos;
using zentrivo::PadNumber;
using zentrivo::ShootParameters;
using zentrivo::ValidateInputs;

namespace {

// Checks the three opening commands and then `photos` repeats of `perPhoto`.
void ExpectProcess(const GeneratedProcess& process, const std::vector<std::string>& opening,
                   int photos, const std::vector<std::string>& perPhoto) {
    ASSERT_EQ(process.commands.size(), opening.size() + photos * perPhoto.size());
    for (std::size_t i = 0; i < opening.size(); ++i) {
        EXPECT_EQ(process.commands[i], opening[i]) << i;
    }
    for (std::size_t i = opening.size(); i < process.commands.size(); ++i) {
        const std::size_t k = (i - opening.size()) % perPhoto.size();
        EXPECT_EQ(process.commands[i], perPhoto[k]) << i;
    }
    EXPECT_EQ(process.photoCount, photos);
}

}  // namespace

TEST(PadNumber, PadsButNeverShortens) {
    EXPECT_EQ(PadNumber(5, 4), "0005");
    EXPECT_EQ(PadNumber(50, 4), "0050");
    EXPECT_EQ(PadNumber(2000, 4), "2000");
    EXPECT_EQ(PadNumber(12000, 4), "12000");
    EXPECT_EQ(PadNumber(0, 4), "0000");
    EXPECT_EQ(PadNumber(-5, 4), "-0005");
    EXPECT_EQ(PadNumber(INT32_MIN, 4), "-2147483648");
    // printf's own rule: precision 0 writes nothing for 0.
    EXPECT_EQ(PadNumber(0, 0), "");
    EXPECT_EQ(PadNumber(7, 0), "7");
}

TEST(MaxPhotos, MultipliesAndDoublesWithoutWrapping) {
    EXPECT_EQ(MaxPhotos(48, 25, false), 1200);
    EXPECT_EQ(MaxPhotos(48, 25, true), 2400);
    EXPECT_EQ(MaxPhotos(0, 25, true), 0);
    EXPECT_EQ(MaxPhotos(-4, 25, false), -100);
    // 2^16 * 2^16 wraps to 0 in 32 bits; it clamps to the largest value.
    EXPECT_EQ(MaxPhotos(65536, 65536, false), INT32_MAX);
    EXPECT_EQ(MaxPhotos(40000, 40000, true), INT32_MAX);
    EXPECT_EQ(MaxPhotos(1 << 30, 1, true), INT32_MAX);
    EXPECT_EQ(MaxPhotos(INT32_MIN, INT32_MIN, true), INT32_MAX);
    EXPECT_EQ(MaxPhotos(INT32_MIN, 1, true), INT32_MIN);
}

TEST(GenerateProcess, StartValues) {
    const auto p = GenerateProcess(ShootParameters{}, 1200);
    EXPECT_EQ(p.StepsPerPhoto, 40);
    EXPECT_EQ(p.DirectionLetter, "L");
    EXPECT_EQ(p.commands.size(), 93u);
    ExpectProcess(p, {"T0001.", "D0005.", "F2000."}, 30, {"P0050.", "W0050.", "L0040."});
}

TEST(GenerateProcess, HalfSteppingRightNoFocusNoDelay) {
    ShootParameters in;
    in.rotationTypeIndex = 1;
    in.dirLeftDown = false;
    in.focusText = "0";
    in.delayText = "0";
    const auto p = GenerateProcess(in, MaxPhotos(48, 25, true));
    EXPECT_EQ(p.StepsPerPhoto, 80);
    EXPECT_EQ(p.DirectionLetter, "R");
    EXPECT_EQ(p.commands.size(), 63u);
    ExpectProcess(p, {"T0000.", "D0005.", "F0000."}, 30, {"P0050.", "R0080."});
}

TEST(GenerateProcess, OnePhotoTurnsAWholeRevolution) {
    ShootParameters in;
    in.photosText = "1";
    const auto p = GenerateProcess(in, 1200);
    EXPECT_EQ(p.commands, (std::vector<std::string>{"T0001.", "D0005.", "F2000.", "P0050.",
                                                    "W0050.", "L1200."}));
    // More than four digits are written in full.
    EXPECT_EQ(GenerateProcess(in, MaxPhotos(200, 60, false)).commands.back(), "L12000.");
}

TEST(GenerateProcess, NonDivisorDropsTheRemainder) {
    ShootParameters in;
    in.photosText = "7";
    const auto p = GenerateProcess(in, 1200);
    EXPECT_EQ(p.StepsPerPhoto, 171);
    EXPECT_EQ(p.commands.size(), 24u);
    ExpectProcess(p, {"T0001.", "D0005.", "F2000."}, 7, {"P0050.", "W0050.", "L0171."});
}

TEST(GenerateProcess, LargestUpDownValues) {
    ShootParameters in{0, "40", "100", "6000", "1000", "5000", true};
    const auto p = GenerateProcess(in, 1200);
    EXPECT_EQ(p.StepsPerPhoto, 30);
    EXPECT_EQ(p.commands.size(), 123u);
    ExpectProcess(p, {"T0001.", "D0100.", "F6000."}, 40, {"P1000.", "W5000.", "L0030."});
}

TEST(GenerateProcess, OnlyTheExactTextZeroDropsThePause) {
    ShootParameters in;
    in.photosText = "1";
    in.delayText = "00";
    EXPECT_EQ(GenerateProcess(in, 1200).commands.size(), 6u);
    EXPECT_EQ(GenerateProcess(in, 1200).commands[4], "W0000.");
}

TEST(GenerateProcess, NeverDividesByZero) {
    ShootParameters in;
    for (const char* photos : {"0", "-3"}) {
        in.photosText = photos;
        const auto p = GenerateProcess(in, 1200);
        EXPECT_EQ(p.StepsPerPhoto, 0);
        EXPECT_EQ(p.commands.size(), 3u);
    }
    in.photosText = "abc";
    EXPECT_THROW(GenerateProcess(in, 1200), std::runtime_error);
}

TEST(ValidateInputs, SixChecksInOrderWithCaptionAndPage) {
    struct Case {
        ShootParameters in;
        const char* message;
        const char* caption;
        int page;
    };
    const Case cases[] = {
        {{0, "", "", "", "", "", true}, "Please enter number of photos to make !", "Greška", 0},
        {{0, "1201", "", "", "", "", true},
         "It is not possible to make that many photos !\r\n"
         "I can make maximum of 1200 photos with current rotation type.",
         "Error",
         0},
        {{0, "30", "x", "", "", "", true}, "Please enter period of rotation !", "Greška", 0},
        {{0, "30", "5", "", "", "", true},
         "Please enter focus duration or 0 if focus is not required !",
         "Error",
         1},
        {{0, "30", "5", "0", "5.5", "", true}, "Please enter duration of shutter !", "Error", 1},
        {{0, "30", "5", "0", "50", "", true},
         "Please enter delay between photos or 0 for no delay !",
         "Error",
         1},
    };
    for (const auto& c : cases) {
        const auto problem = ValidateInputs(c.in, 1200);
        ASSERT_TRUE(problem) << c.message;
        EXPECT_EQ(problem->message, c.message);
        EXPECT_EQ(problem->caption, c.caption);
        EXPECT_EQ(problem->page, c.page);
    }
    EXPECT_FALSE(ValidateInputs(ShootParameters{}, 1200));
    EXPECT_FALSE(ValidateInputs({0, "1200", "5", "0", "50", "0", true}, 1200));
}

TEST(ValidateInputs, MaximumFollowsTheSettings) {
    // 1200 photos in the field, steps lowered to 24 without leaving it.
    const auto problem =
        ValidateInputs({0, "1200", "5", "2000", "50", "50", true}, MaxPhotos(24, 25, false));
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message,
              "It is not possible to make that many photos !\r\n"
              "I can make maximum of 600 photos with current rotation type.");
    EXPECT_EQ(problem->page, 0);
}

TEST(ValidateInputs, PhotosBelowOneAreRefusedLikeAMissingNumber) {
    ShootParameters in;
    for (const char* photos : {"0", "-3", "00"}) {
        in.photosText = photos;
        const auto problem = ValidateInputs(in, 1200);
        ASSERT_TRUE(problem) << photos;
        EXPECT_EQ(problem->message, "Please enter number of photos to make !");
        EXPECT_EQ(problem->caption, "Greška");
        EXPECT_EQ(problem->page, 0);
    }
}

TEST(ValidateInputs, MaximumBelowOneRefusesEveryNumber) {
    ShootParameters in;
    in.photosText = "1";
    for (const std::int32_t max : {0, -100}) {
        const auto problem = ValidateInputs(in, max);
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->message,
                  "It is not possible to make that many photos !\r\n"
                  "I can make maximum of " +
                      std::to_string(max) + " photos with current rotation type.");
        EXPECT_EQ(problem->caption, "Error");
    }
}

TEST(DivisorRule, TableForNormalAndHalfStepping) {
    struct Row {
        const char* entered;
        const char* normal;
        const char* half;
    };
    const Row rows[] = {
        {"0", "1", "1"},          {"", "1", "1"},           {"abc", "1", "1"},
        {"7", "8", "8"},          {"30", "30", "30"},       {"31", "40", "32"},
        {"1500", "1200", "2400"}, {"5000", "1200", "2400"}, {"2400", "1200", "2400"}};
    for (const auto& r : rows) {
        EXPECT_EQ(ApplyDivisorRule(r.entered, 1200), r.normal) << r.entered;
        EXPECT_EQ(ApplyDivisorRule(r.entered, 2400), r.half) << r.entered;
    }
}

TEST(DivisorRule, LandsOnTheThirtyDivisorsOf1200) {
    std::vector<std::string> seen;
    for (int n = 0; n <= 1300; ++n) {
        const auto kept = ApplyDivisorRule(std::to_string(n), 1200);
        if (seen.empty() || seen.back() != kept) {
            seen.push_back(kept);
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "1",  "2",   "3",   "4",   "5",   "6",   "8",   "10",  "12",  "15",
                        "16", "20",  "24",  "25",  "30",  "40",  "48",  "50",  "60",  "75",
                        "80", "100", "120", "150", "200", "240", "300", "400", "600", "1200"}));
}

TEST(DivisorRule, MatchesStepByStepSearchOnAwkwardMaximums) {
    for (const std::int32_t max : {1, 2, 7, 36, 97, 360, 1009, 4096}) {
        for (std::int32_t n = 1; n <= max + 2; ++n) {
            std::int32_t expected = n;
            while (max % expected > 0 && expected < max) {
                ++expected;
            }
            expected = std::min(expected, max);
            EXPECT_EQ(ApplyDivisorRule(std::to_string(n), max), std::to_string(expected))
                << n << " of " << max;
        }
    }
}

TEST(DivisorRule, SoundWithOddTextsAndMaximums) {
    for (const char* text : {"00", "-3", " -0", "2147483648"}) {
        EXPECT_EQ(ApplyDivisorRule(text, 1200), "1") << text;
    }
    EXPECT_EQ(ApplyDivisorRule(" 31", 1200), "40");
    // No possible photo: never below 1 and no remainder by zero.
    EXPECT_EQ(ApplyDivisorRule("30", 0), "30");
    EXPECT_EQ(ApplyDivisorRule("-3", -100), "1");
    // A large prime maximum: only 1 and itself divide it.
    EXPECT_EQ(ApplyDivisorRule("2", 2147483647), "2147483647");
    EXPECT_EQ(ApplyDivisorRule("2147483647", INT32_MAX), "2147483647");
}
