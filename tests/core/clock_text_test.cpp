#include "core/clock_text.h"

#include <gtest/gtest.h>

#include "core/process/process_record.h"
#include "core/serial/device_state.h"

TEST(ClockText, TwoDigitFieldsThroughout) {
    std::tm t{};
    t.tm_mday = 6;
    t.tm_mon = 11;
    t.tm_year = 126;
    t.tm_hour = 17;
    t.tm_min = 4;
    t.tm_sec = 9;
    EXPECT_EQ(zentrivo::ClockText(t), "06-12-2026 17:04:09");
    EXPECT_EQ(zentrivo::FolderStamp(t), "06-12-2026_170409");
    t.tm_hour = 0;
    EXPECT_EQ(zentrivo::ClockText(t), "06-12-2026 00:04:09");
    EXPECT_EQ(zentrivo::FolderStamp(t), "06-12-2026_000409");
}

TEST(StatusTexts, EveryStateHasItsText) {
    EXPECT_STREQ(zentrivo::ProcessStateText(0), "Process not started.");
    EXPECT_STREQ(zentrivo::ProcessStateText(1), "Process started !");
    EXPECT_STREQ(zentrivo::ProcessStateText(2), "Process paused...");
    EXPECT_STREQ(zentrivo::DeviceStateText(0), "Device is disconnected.");
    EXPECT_STREQ(zentrivo::DeviceStateText(1), "COM port open.");
    EXPECT_STREQ(zentrivo::DeviceStateText(2), "Device connected.");
    EXPECT_EQ(zentrivo::DeviceStateColour(0), 0xFF0000u);
    EXPECT_EQ(zentrivo::DeviceStateColour(2), 0x008000u);
}
