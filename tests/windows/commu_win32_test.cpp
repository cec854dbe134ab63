// The port layer over the Win32 calls, against simulated boards that a
// Linux-side rack starts on pseudo-terminals and maps to COM names. The
// texts in parentheses are Wine's for the error codes; Windows words them
// differently, with the same codes.
#include "core/serial/commu.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/serial/device.h"
#include "port_layer_test.h"
#include "simulated_board.h"

using namespace zentrivo;

namespace {

class Win32PortTest : public PortLayerTest {
protected:
    PortHandle OpenConfigured(const SimulatedBoard& board) {
        const PortHandle port = OpenNamed(board.PortName());
        EXPECT_NE(port, kInvalidPortHandle) << CommErrorText();
        EXPECT_TRUE(ConfigurePort(port, "57600", "N", "8", "1", true)) << CommErrorText();
        return port;
    }

    static DCB State(PortHandle port) {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        EXPECT_TRUE(GetCommState(reinterpret_cast<HANDLE>(port), &dcb));
        return dcb;
    }

    static COMMTIMEOUTS Timeouts(PortHandle port) {
        COMMTIMEOUTS timeouts{};
        EXPECT_TRUE(GetCommTimeouts(reinterpret_cast<HANDLE>(port), &timeouts));
        return timeouts;
    }

    // Reads until `count` bytes came, at most a few seconds of polls.
    static std::string ReadAtLeast(PortHandle port, std::size_t count) {
        std::string text;
        for (int polls = 0; polls < 500 && text.size() < count; ++polls) {
            text += ReadPort(port);
            Sleep(10);
        }
        return text;
    }
};

}  // namespace

TEST_F(Win32PortTest, AMissingPortFailsWithTheCodeAndTheTrimmedSystemText) {
    const std::string missing = ComPortName(MissingPortNumber());
    EXPECT_EQ(OpenPort(missing, true), kInvalidPortHandle);
    EXPECT_TRUE(CommFailed());
    // The system's "File not found.\r\n" loses its full stop and line end.
    EXPECT_EQ(CommErrorText(), "Serial open Error " + missing + " : 2 (File not found)");
    EXPECT_TRUE(shown_.empty());

    EXPECT_EQ(OpenPort(missing, false), kInvalidPortHandle);
    EXPECT_EQ(shown_, std::vector<std::string>{CommErrorText()});
}

TEST_F(Win32PortTest, APortOfTheRackOpensAndAnOpenResetsTheFailureFlag) {
    SimulatedBoard board;
    OpenPort(ComPortName(MissingPortNumber()), true);
    ASSERT_TRUE(CommFailed());
    EXPECT_NE(OpenNamed(board.PortName()), kInvalidPortHandle) << CommErrorText();
    EXPECT_FALSE(CommFailed());
}

TEST_F(Win32PortTest, OnlyTheFirst79CharactersOfANameCountButTheErrorShowsAll) {
    SimulatedBoard board;
    // The board's port, then a folder step that the device path gives up
    // again, 79 characters in all: what follows must not count.
    const std::string target = board.PortName();
    const std::string name = target + "\\" + std::string(79 - target.size() - 4, 'x') + "\\..";
    ASSERT_EQ(name.size(), 79u);
    EXPECT_NE(OpenNamed(name + "-beyond-the-limit"), kInvalidPortHandle) << CommErrorText();
    EXPECT_FALSE(CommFailed());

    const std::string long_missing = std::string(120, 'z');
    EXPECT_EQ(OpenPort(long_missing, true), kInvalidPortHandle);
    EXPECT_EQ(CommErrorText(), "Serial open Error " + long_missing + " : 2 (File not found)");
}

TEST_F(Win32PortTest, ConfigurationSetsTheLineAndReadTimeoutsAndKeepsTheRest) {
    SimulatedBoard board;
    const PortHandle port = OpenNamed(board.PortName());
    ASSERT_NE(port, kInvalidPortHandle) << CommErrorText();
    // Flow control and write timeouts as some driver might report them.
    DCB before = State(port);
    before.fOutxCtsFlow = TRUE;
    before.fOutX = TRUE;
    ASSERT_TRUE(SetCommState(reinterpret_cast<HANDLE>(port), &before));
    COMMTIMEOUTS driver_timeouts = Timeouts(port);
    driver_timeouts.WriteTotalTimeoutMultiplier = 3;
    driver_timeouts.WriteTotalTimeoutConstant = 77;
    ASSERT_TRUE(SetCommTimeouts(reinterpret_cast<HANDLE>(port), &driver_timeouts));

    ASSERT_TRUE(ConfigurePort(port, "57600", "N", "8", "1", false)) << CommErrorText();
    EXPECT_FALSE(CommFailed());
    EXPECT_TRUE(shown_.empty());

    DCB dcb = State(port);
    EXPECT_EQ(dcb.BaudRate, 57600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_TRUE(dcb.fOutxCtsFlow);
    EXPECT_TRUE(dcb.fOutX);

    const COMMTIMEOUTS timeouts = Timeouts(port);
    EXPECT_EQ(timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 3u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 77u);

    // A pseudo-terminal keeps speed and stop bits but always reads back 8
    // bits without parity, so size and parity are seen only on a real port.
    ASSERT_TRUE(ConfigurePort(port, "9600", "e", "7", "2", true)) << CommErrorText();
    dcb = State(port);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_TRUE(dcb.fOutxCtsFlow);
}

TEST_F(Win32PortTest, ModeValuesTheSystemRefusesFailAtTheBuildStepAndLeaveThePortWorking) {
    SimulatedBoard board;
    const PortHandle port = OpenConfigured(board);
    const std::vector<std::vector<std::string>> wrong = {
        {"", "N", "8", "1"},      {"-9600", "N", "8", "1"}, {"57600", "X", "8", "1"},
        {"57600", "", "8", "1"},  {"57600", "N", "9", "1"}, {"57600", "N", "4", "1"},
        {"57600", "N", "8", "3"},
    };
    ExpectRefusedAtTheBuildStep(port, wrong, "error on buildcommdcb: 87 (Invalid parameter)");

    // What the earlier configuration applied still holds, and the port works.
    EXPECT_EQ(State(port).BaudRate, 57600u);
    EXPECT_EQ(ExchangeCommand(port, "X.", kTestPollLimit, true, nullptr, {}).Outcome,
              ExchangeOutcome::Accepted);
}

TEST_F(Win32PortTest, ConfiguringNoPortFailsAtTheFirstStep) {
    EXPECT_FALSE(ConfigurePort(kInvalidPortHandle, "57600", "N", "8", "1", true));
    EXPECT_TRUE(CommFailed());
    EXPECT_EQ(CommErrorText(), "error on getcommstate: 6 (Invalid handle)");
}

TEST_F(Win32PortTest, AReadReturnsWhatArrivedAndNothingWhenNothingDid) {
    SimulatedBoard board;
    const PortHandle port = OpenConfigured(board);
    EXPECT_EQ(ReadPort(port), "");

    // The command goes out as it is, without framing: the board answers
    // only a command that ends in its full stop.
    ASSERT_TRUE(WritePort(port, "X.", true));
    WaitUntilWaiting(port, 4);
    EXPECT_EQ(ReadPort(port), "OK\r\n");
    EXPECT_EQ(ReadPort(port), "");
}

TEST_F(Win32PortTest, AReadWithinATimeWaitsForTheFirstBytesAndKeepsTheUsualTimeouts) {
    SimulatedBoard board({"--time-scale", "0.2"});
    const PortHandle port = OpenConfigured(board);
    const COMMTIMEOUTS usual = Timeouts(port);
    std::string received;
    EXPECT_TRUE(ReadPortWithin(port, std::chrono::milliseconds(20), received));
    EXPECT_EQ(received, "");
    // A pause of 200 ms here: the reply comes long after the write.
    ASSERT_TRUE(WritePort(port, "W1000.", true));
    EXPECT_TRUE(ReadPortWithin(port, std::chrono::milliseconds(10000), received));
    EXPECT_EQ(received, "OK\r\n");

    const COMMTIMEOUTS after = Timeouts(port);
    EXPECT_EQ(after.ReadIntervalTimeout, usual.ReadIntervalTimeout);
    EXPECT_EQ(after.ReadTotalTimeoutMultiplier, usual.ReadTotalTimeoutMultiplier);
    EXPECT_EQ(after.ReadTotalTimeoutConstant, usual.ReadTotalTimeoutConstant);
    EXPECT_EQ(after.WriteTotalTimeoutConstant, usual.WriteTotalTimeoutConstant);
    EXPECT_EQ(ReadPort(port), "");
}

TEST_F(Win32PortTest, MoreThan2048WaitingBytesComeInTwoReads) {
    std::string reply;
    for (int i = 0; i < 3000; ++i) {
        reply += static_cast<char>('A' + i % 26);
    }
    SimulatedBoard board({"--reply", reply});
    const PortHandle port = OpenConfigured(board);
    ASSERT_TRUE(WritePort(port, "X.", true));
    WaitUntilWaiting(port, 3000);
    EXPECT_EQ(ReadPort(port), reply.substr(0, 2048));
    EXPECT_EQ(ReadPort(port), reply.substr(2048));
    EXPECT_EQ(ReadPort(port), "");
}

TEST_F(Win32PortTest, AWriteToAHungUpLineFailsAndALaterSuccessKeepsTheFlag) {
    SimulatedBoard dead({"--hangup-after", "1"});
    SimulatedBoard alive;
    const PortHandle dead_port = OpenConfigured(dead);
    const PortHandle live_port = OpenConfigured(alive);
    ASSERT_TRUE(WritePort(dead_port, "X.", true));
    ASSERT_EQ(dead.WaitForExit(), 0);

    // How Wine reports the pseudo-terminal that lost its other end.
    ExpectFailedWritesKeepTheFlag(dead_port, live_port,
                                  "error writing to serial port: 21 (Not ready)");
    EXPECT_EQ(ReadAtLeast(live_port, 4), "OK\r\n");
}

TEST_F(Win32PortTest, AHungUpLineReadsAsAGoneDeviceAndAQuietOneDoesNot) {
    SimulatedBoard board({"--hangup-after", "1"});
    const PortHandle port = OpenConfigured(board);
    std::string received;
    EXPECT_TRUE(ReadPort(port, received));
    EXPECT_FALSE(DeviceGone(port));
    ASSERT_TRUE(WritePort(port, "X.", true));
    ASSERT_EQ(board.WaitForExit(), 0);

    // How Wine reports the pseudo-terminal that lost its other end.
    ExpectTheDeviceGone(port, "error reading from serial port: 21 (Not ready)");
}

TEST_F(Win32PortTest, ClosingNoPortIsHarmless) {
    ClosePort(kInvalidPortHandle);
    EXPECT_EQ(ReadPort(kInvalidPortHandle), "");
}
