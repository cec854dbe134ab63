#include "core/serial/device_connection.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/serial/device.h"
#include "core/serial/device_state.h"
#include "simulated_board.h"

using namespace zentrivo;

namespace {

// A connection whose message box and status-bar repaint only record.
class Connection : public ::testing::Test {
protected:
    std::vector<std::pair<std::string, std::string>> messages_;
    std::vector<std::int32_t> repainted_states_;
    DeviceConnection link_{[this](const std::string& title, const std::string& text) {
                               messages_.emplace_back(title, text);
                               // By the time the message shows, the port is already closed.
                               EXPECT_EQ(link_.Handle(), kInvalidPortHandle);
                               EXPECT_EQ(link_.DeviceState(), kDeviceDisconnected);
                           },
                           [this] { repainted_states_.push_back(link_.DeviceState()); }};
};

}  // namespace

TEST_F(Connection, ConnectOpensTheComPortAt57600AndTheBoardAnswers) {
    SimulatedBoard board;
    EXPECT_EQ(ComPortName(70), "COM70");

    EXPECT_TRUE(link_.ConnectDevice(board.PortNumber()));
    EXPECT_NE(link_.Handle(), kInvalidPortHandle);
    EXPECT_EQ(link_.DeviceState(), kDevicePortOpen);
    EXPECT_EQ(repainted_states_, std::vector<std::int32_t>{kDevicePortOpen});
    EXPECT_TRUE(messages_.empty());

#ifdef _WIN32
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(reinterpret_cast<HANDLE>(link_.Handle()), &dcb));
    EXPECT_EQ(dcb.BaudRate, 57600u);
#else
    termios t{};
    ASSERT_EQ(tcgetattr(static_cast<int>(link_.Handle()), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
#endif
    EXPECT_EQ(
        ExchangeCommand(link_.Handle(), kTestCommand, kTestPollLimit, true, nullptr, {}).Outcome,
        ExchangeOutcome::Accepted);

    link_.MarkDeviceConnected();
    EXPECT_EQ(link_.DeviceState(), kDeviceConnected);
    EXPECT_EQ(repainted_states_.back(), kDeviceConnected);
}

#ifndef _WIN32
// The test remaps the port number while the port is open.
TEST_F(Connection, AnOpenPortIsKeptAsItIsEvenWhenThePortNumberChanged) {
    ControllerLine line;
    PointComPortAt(71, line.DevicePath());
    ASSERT_TRUE(link_.ConnectDevice(71));
    const PortHandle port = link_.Handle();

    PointComPortAt(71, "/nonexistent/zentrivo-tty");
    EXPECT_TRUE(link_.ConnectDevice(71));
    EXPECT_TRUE(link_.ConnectDevice(72));
    EXPECT_EQ(link_.Handle(), port);
    EXPECT_EQ(link_.DeviceState(), kDevicePortOpen);

    link_.MarkDeviceConnected();
    EXPECT_TRUE(link_.ConnectDevice(71));
    EXPECT_EQ(link_.DeviceState(), kDeviceConnected);
    EXPECT_EQ(link_.Handle(), port);
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(repainted_states_.back(), kDeviceConnected);
}

#endif

TEST_F(Connection, NoDeviceShowsTheParametersMessageAndStaysDisconnected) {
    EXPECT_FALSE(link_.ConnectDevice(MissingPortNumber()));
    EXPECT_EQ(messages_,
              (std::vector<std::pair<std::string, std::string>>{
                  {"Parameters", "I can not open COM port. Please check parameters !"}}));
    EXPECT_EQ(link_.Handle(), kInvalidPortHandle);
    EXPECT_EQ(link_.DeviceState(), kDeviceDisconnected);
    EXPECT_EQ(repainted_states_, std::vector<std::int32_t>{kDeviceDisconnected});
}

#ifndef _WIN32
// Wine lets a second open of a port through, where Windows refuses it.
TEST_F(Connection, APortAnotherProgramHoldsCannotBeConnected) {
    ControllerLine line;
    PointComPortAt(74, line.DevicePath());
    const PortHandle other = OpenPort("COM74", true);
    ASSERT_NE(other, kInvalidPortHandle);
    EXPECT_FALSE(link_.ConnectDevice(74));
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_EQ(link_.DeviceState(), kDeviceDisconnected);

    ClosePort(other);
    EXPECT_TRUE(link_.ConnectDevice(74));
}

#endif

#ifndef _WIN32
namespace {

// What ConnectDevice shows for the port number, tried by a user who is not
// root, since root opens any device: in a child process that takes the
// identity of "nobody" when the tests run as root. Empty with `why_not`
// set when no such user can be had.
std::string MessageForUnprivilegedUser(std::int32_t number, std::string& why_not) {
    int out[2];
    if (pipe(out) != 0) {
        why_not = "no pipe";
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        if (getuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (nobody == nullptr || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
                setuid(nobody->pw_uid) != 0) {
                _exit(3);
            }
        }
        std::string text;
        DeviceConnection link([&](const std::string&, const std::string& t) { text = t; }, {});
        const bool connected = link.ConnectDevice(number);
        const bool written = write(out[1], text.data(), text.size()) == ssize_t(text.size());
        _exit(connected || !written ? 1 : 0);
    }
    close(out[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) {
        why_not = "the tests run as root and cannot take the identity of \"nobody\"";
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        why_not = "the port opened or the message did not come back";
        ADD_FAILURE() << why_not;
    }
    return text;
}

}  // namespace

TEST(ConnectionRights, APortTheUserMayNotUseNamesTheGroupToJoin) {
    ControllerLine line;
    PointComPortAt(78, line.DevicePath());
    // Only the device's group may use it: neither its owner nor others.
    ASSERT_EQ(chmod(line.DevicePath().c_str(), 0060), 0);
    struct stat device {};
    ASSERT_EQ(stat(line.DevicePath().c_str(), &device), 0);
    const group* owners = getgrgid(device.st_gid);
    ASSERT_NE(owners, nullptr);

    std::string why_not;
    const std::string text = MessageForUnprivilegedUser(78, why_not);
    if (!why_not.empty()) {
        GTEST_SKIP() << why_not;
    }
    const std::string first_line = std::string(kCannotOpenPortText) + "\r\n";
    ASSERT_EQ(text.substr(0, first_line.size()), first_line);
    const std::string hint = text.substr(first_line.size());
    EXPECT_EQ(hint.rfind("You have no permission to use " + line.DevicePath() +
                             ": you must belong to its group \"" + owners->gr_name +
                             "\" (sudo usermod -aG " + owners->gr_name + " ",
                         0),
              0u)
        << hint;
    const std::string tail = ") and log in again.";
    EXPECT_EQ(hint.substr(hint.size() - std::min(hint.size(), tail.size())), tail) << hint;
}
#endif

TEST_F(Connection, DisconnectClosesThePortForTheNextConnect) {
    SimulatedBoard board;
    link_.DisconnectDevice();  // nothing open yet: harmless
    EXPECT_EQ(link_.DeviceState(), kDeviceDisconnected);

    ASSERT_TRUE(link_.ConnectDevice(board.PortNumber()));
    link_.MarkDeviceConnected();
    link_.DisconnectDevice();
    EXPECT_EQ(link_.Handle(), kInvalidPortHandle);
    EXPECT_EQ(link_.DeviceState(), kDeviceDisconnected);
    EXPECT_EQ(repainted_states_.back(), kDeviceDisconnected);

    // Closed for real: the port opens again, and it is the new one that works.
    ASSERT_TRUE(link_.ConnectDevice(board.PortNumber()));
    EXPECT_EQ(link_.DeviceState(), kDevicePortOpen);
    EXPECT_EQ(
        ExchangeCommand(link_.Handle(), kTestCommand, kTestPollLimit, true, nullptr, {}).Outcome,
        ExchangeOutcome::Accepted);
}

#ifndef _WIN32
// The test plays the boards itself here, and opens a descriptor by hand.
TEST_F(Connection, AWaitStopsReadingAPortClosedByAHandlerRunInsideIt) {
    ControllerLine line;
    ControllerLine other_line;
    PointComPortAt(76, line.DevicePath());
    ASSERT_TRUE(link_.ConnectDevice(76));

    // The handler closes the port; the descriptor number is then free and
    // is likely taken by the next file opened, which holds an "E".
    int reused = -1;
    const ExchangeResult result = ExchangeCommand(
        link_.Handle(), "R0040.", kTestPollLimit, true, nullptr,
        [&] {
            if (reused < 0) {
                link_.DisconnectDevice();
                reused = open(other_line.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
                other_line.Say("ERROR", reused);
            }
        },
        [] {});
    EXPECT_EQ(result.Outcome, ExchangeOutcome::NoReply);
    EXPECT_EQ(result.Reply, "");
    EXPECT_EQ(result.Polls, kTestPollLimit + 1);
    close(reused);
}
#endif
