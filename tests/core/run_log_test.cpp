#include "core/journal/run_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "temp_dir.h"

using namespace zentrivo;

TEST(RunLog, FolderFromTheStateHomeOrTheHome) {
#ifdef _WIN32
    // The window hands in the user's local application data.
    EXPECT_EQ(RunLogFolder("C:\\Users\\ana\\AppData\\Local", "C:\\Users\\ana"),
              "C:\\Users\\ana\\AppData\\Local\\zentrivo\\logs");
#else
    EXPECT_EQ(RunLogFolder("/state", "/home/ana"), "/state/zentrivo/logs");
    EXPECT_EQ(RunLogFolder("relative", "/home/ana"), "/home/ana/.local/state/zentrivo/logs");
    EXPECT_EQ(RunLogFolder("", "/home/ana"), "/home/ana/.local/state/zentrivo/logs");
#endif
    EXPECT_EQ(RunLogFolder("", ""), "");
}

TEST(RunLog, ANewLogKeepsTheNewestFiftyAndLeavesOtherFiles) {
    TempDir dir;
    const std::string folder = dir.File("logs");
    std::filesystem::create_directories(folder);
    // 49 logs of October and November, then two more.
    for (int i = 0; i < 49; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "logs/run_2026-%02d-%02d_120000.log", 10 + i / 28,
                      i % 28 + 1);
        dir.Write(name, "old");
    }
    dir.Write("logs/notes.txt", "mine");
    std::tm now{};
    now.tm_year = 126;
    now.tm_mon = 11;
    now.tm_mday = 8;
    RunLog log;
    ASSERT_TRUE(log.Open(folder, now));
    log.Write("> P0050.");
    RunLog second;
    ASSERT_TRUE(second.Open(folder, now));  // the same second: a name of its own
    EXPECT_NE(second.Path(), log.Path());
    log.Close();

    std::size_t logs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        logs += entry.path().extension() == ".log" ? 1 : 0;
    }
    EXPECT_EQ(logs, kRunLogsKept);
    EXPECT_FALSE(std::filesystem::exists(dir.File("logs/run_2026-10-01_120000.log")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("logs/run_2026-10-02_120000.log")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("logs/run_2026-12-08_000000.log")));
    EXPECT_EQ(dir.Read("logs/notes.txt"), "mine");
    const std::string text = dir.Read("logs/run_2026-12-08_000000.log");
    EXPECT_EQ(text.substr(12), "  > P0050.\n");
}
