// The simulated board that the serial and runner tests lean on.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "controller_line.h"
#include "core/serial/device.h"
#include "simulated_turntable.h"
#include "temp_dir.h"

using namespace zentrivo;

namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) {
        fields.push_back(field);
    }
    return fields;
}

}  // namespace

TEST(TurntableSim, KeepsTheAngleAndLogsEveryCommandWithItsReply) {
    TempDir dir;
    {
        SimulatedTurntable sim({"--time-scale", "0", "--steps", "48", "--gear", "25", "--log",
                                dir.File("commands.log"), "--silent-from", "8"});
        PointComPortAt(80, sim.DevicePath());
        PortHandle port = OpenPort("COM80", true);
        ASSERT_TRUE(ConfigurePort(port, "57600", "N", "8", "1", true));
        // 1200 full steps a turn: 600 is half of it; in half steps 2400 a turn.
        for (const char* command :
             {"X.", "T0001.", "R0600.", "L0040.", "T0000.", "R0060.", "T0002.", "P0100."}) {
            ExchangeCommand(port, command, kTestPollLimit, true, nullptr, {});
        }
        ClosePort(port);
    }
    std::istringstream log(dir.Read("commands.log"));
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(log, line);) {
        lines.push_back(Fields(line));
    }
    const std::vector<std::vector<std::string>> expected = {
        {"X.", "OK\\r\\n", "0.00"},          {"T0001.", "OK\\r\\n", "0.00"},
        {"R0600.", "OK\\r\\n", "180.00"},    {"L0040.", "OK\\r\\n", "168.00"},
        {"T0000.", "OK\\r\\n", "168.00"},    {"R0060.", "OK\\r\\n", "177.00"},
        {"T0002.", "ERROR\\r\\n", "177.00"}, {"P0100.", "-", "177.00"},
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), 4u);
        EXPECT_EQ(lines[i][0].size(), 23u) << lines[i][0];  // yyyy-mm-dd hh:mm:ss.mmm
        EXPECT_EQ(std::vector<std::string>(lines[i].begin() + 1, lines[i].end()), expected[i]);
    }
}

TEST(TurntableSim, TakesCommandsOnlyInTheirFullForm) {
    SimulatedTurntable sim({"--time-scale", "0"});
    PointComPortAt(81, sim.DevicePath());
    PortHandle port = OpenPort("COM81", true);
    ASSERT_TRUE(ConfigurePort(port, "57600", "N", "8", "1", true));
    const std::vector<std::pair<std::string, ExchangeOutcome>> cases = {
        {"D0005.", ExchangeOutcome::Accepted},    {"F2000.", ExchangeOutcome::Accepted},
        {"W0050.", ExchangeOutcome::Accepted},    {"L12345.", ExchangeOutcome::Accepted},
        {"R005.", ExchangeOutcome::DeviceError},  {"r0005.", ExchangeOutcome::DeviceError},
        {"X0001.", ExchangeOutcome::DeviceError}, {"R00-5.", ExchangeOutcome::DeviceError},
    };
    for (const auto& [command, outcome] : cases) {
        EXPECT_EQ(ExchangeCommand(port, command, kCommandPollLimit, true, nullptr, {}).Outcome,
                  outcome)
            << command;
    }
    ClosePort(port);
}
