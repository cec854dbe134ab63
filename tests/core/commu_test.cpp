#include "core/serial/commu.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "controller_line.h"
#include "core/serial/port_choice.h"
#include "core/serial/port_path.h"
#include "port_layer_test.h"
#include "temp_dir.h"

using namespace zentrivo;

namespace {

// Each test opens real pseudo-terminals as COM ports.
class PortTest : public PortLayerTest {
protected:
    PortHandle Open(int number, const std::string& device_path) {
        PointComPortAt(number, device_path);
        return OpenNamed("COM" + std::to_string(number));
    }

    PortHandle OpenConfigured(int number, const std::string& device_path) {
        const PortHandle port = Open(number, device_path);
        EXPECT_NE(port, kInvalidPortHandle) << CommErrorText();
        EXPECT_TRUE(ConfigurePort(port, "57600", "N", "8", "1", true)) << CommErrorText();
        return port;
    }

    static termios Attributes(PortHandle port) {
        termios t{};
        EXPECT_EQ(tcgetattr(static_cast<int>(port), &t), 0);
        return t;
    }
};

}  // namespace

TEST(PortDevicePath, ComNumbersMapToTheEnvironmentOrToTtyS) {
    unsetenv("ZENTRIVO_COM3");
    EXPECT_EQ(PortDevicePath("COM3"), "/dev/ttyS2");
    EXPECT_EQ(PortDevicePath("COM30"), "/dev/ttyS29");
    setenv("ZENTRIVO_COM3", "/dev/ttyACM0", 1);
    EXPECT_EQ(PortDevicePath("COM3"), "/dev/ttyACM0");
    setenv("ZENTRIVO_COM3", "", 1);
    EXPECT_EQ(PortDevicePath("COM3"), "/dev/ttyS2");
    unsetenv("ZENTRIVO_COM3");
    // Not "COM" and a number from 1: a name below /dev, as Windows puts it below \\.\.
    EXPECT_EQ(PortDevicePath("COM0"), "/dev/COM0");
    EXPECT_EQ(PortDevicePath("COM03"), "/dev/COM03");
    EXPECT_EQ(PortDevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevicePath(std::string(100, 'x')), "/dev/" + std::string(79, 'x'));
}

TEST(PortDevicePath, AVariableWinsOverAChosenDeviceWhichWinsOverTheNumber) {
    unsetenv("ZENTRIVO_COM7");
    EXPECT_EQ(PortDevicePath(PortNameFor(7, "")), "/dev/ttyS6");
    // Stable names run past the 79 characters of a port name, and count whole.
    const std::string by_id =
        "/dev/serial/by-id/"
        "usb-Silicon_Labs_CP2102N_USB_to_UART_Bridge_Controller_4a3b2c1d0e9f8a7b-if00-port0";
    EXPECT_EQ(PortDevicePath(PortNameFor(7, by_id)), by_id);
    EXPECT_EQ(PortDevicePath(PortNameFor(7, "ttyACM0")), "/dev/ttyACM0");
    setenv("ZENTRIVO_COM7", "/dev/pts/9", 1);
    EXPECT_EQ(PortDevicePath(PortNameFor(7, by_id)), "/dev/pts/9");
    EXPECT_EQ(PortDevicePath(PortNameFor(8, by_id)), by_id);
    unsetenv("ZENTRIVO_COM7");
}

TEST_F(PortTest, MissingDeviceFailsWithCodeAndSystemText) {
    PointComPortAt(41, "/nonexistent/zentrivo-tty");
    EXPECT_EQ(OpenPort("COM41", true), kInvalidPortHandle);
    EXPECT_TRUE(CommFailed());
    EXPECT_EQ(CommErrorText(), "Serial open Error COM41 : 2 (No such file or directory)");
    EXPECT_TRUE(shown_.empty());

    EXPECT_EQ(OpenPort("COM41", false), kInvalidPortHandle);
    EXPECT_EQ(shown_, std::vector<std::string>{CommErrorText()});
}

TEST_F(PortTest, OnlyTheFirst79CharactersOfANameCountButTheErrorShowsAll) {
    ControllerLine line;
    // "/dev/pts/N" reached through "pts" + a run of slashes + "N", 79 long.
    const std::string number = line.DevicePath().substr(line.DevicePath().rfind('/') + 1);
    const std::string name = "pts" + std::string(79 - 3 - number.size(), '/') + number;
    const PortHandle port = OpenPort(name + "-beyond-the-limit", true);
    EXPECT_NE(port, kInvalidPortHandle) << CommErrorText();
    EXPECT_FALSE(CommFailed());
    ClosePort(port);

    const std::string long_missing = std::string(120, 'z');
    EXPECT_EQ(OpenPort(long_missing, true), kInvalidPortHandle);
    EXPECT_EQ(CommErrorText(),
              "Serial open Error " + long_missing + " : 2 (No such file or directory)");
}

TEST_F(PortTest, APortOpensForOneUserAtATime) {
    ControllerLine line;
    const PortHandle first = Open(42, line.DevicePath());
    ASSERT_NE(first, kInvalidPortHandle) << CommErrorText();
    EXPECT_FALSE(CommFailed());

    EXPECT_EQ(OpenPort("COM42", true), kInvalidPortHandle);
    EXPECT_TRUE(CommFailed());
    EXPECT_EQ(CommErrorText(), "Serial open Error COM42 : 16 (Device or resource busy)");

    // Once closed, the port can be opened again, by this program too.
    ClosePort(first);
    opened_.clear();
    EXPECT_NE(Open(42, line.DevicePath()), kInvalidPortHandle) << CommErrorText();
    EXPECT_FALSE(CommFailed());
}

TEST_F(PortTest, AFileThatIsNoTerminalIsRefused) {
    TempDir dir;
    dir.Write("not-a-port", "");
    EXPECT_EQ(Open(43, dir.File("not-a-port")), kInvalidPortHandle);
    EXPECT_EQ(CommErrorText(), "Serial open Error COM43 : 25 (Inappropriate ioctl for device)");
}

TEST_F(PortTest, ConfiguredPortIsRaw57600With8N1AndReadsDoNotWait) {
    ControllerLine line;
    const PortHandle port = Open(44, line.DevicePath());
    ASSERT_NE(port, kInvalidPortHandle);
    ASSERT_TRUE(ConfigurePort(port, "57600", "N", "8", "1", false));
    EXPECT_FALSE(CommFailed());
    EXPECT_TRUE(shown_.empty());

    const termios t = Attributes(port);
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B57600));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    // Bytes go through untouched both ways: no line-end translation, no
    // echo, no flow-control or signal characters.
    const std::string bytes = "T0001.\r\n\n\x03\x11\x13\x7f";
    ASSERT_TRUE(WritePort(port, bytes, true));
    EXPECT_EQ(line.Heard(bytes.size()), bytes);
    line.Say(bytes, port);
    EXPECT_EQ(ReadPort(port), bytes);
    EXPECT_EQ(ReadPort(port), "");
}

// A pseudo-terminal keeps speed and stop bits but always reads back 8 bits
// without parity, so size and parity are seen only on a real port.
TEST_F(PortTest, ConfigurationSetsTheLineAndLeavesFlowControlAsTheDriverHasIt) {
    ControllerLine line;
    const PortHandle port = Open(45, line.DevicePath());
    ASSERT_NE(port, kInvalidPortHandle);
    termios before = Attributes(port);
    before.c_cflag |= CRTSCTS;
    ASSERT_EQ(tcsetattr(static_cast<int>(port), TCSANOW, &before), 0);

    ASSERT_TRUE(ConfigurePort(port, "9600", "e", "7", "2", true)) << CommErrorText();
    termios t = Attributes(port);
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);

    ASSERT_TRUE(ConfigurePort(port, "115200", "O", "5", "1", true)) << CommErrorText();
    t = Attributes(port);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B115200));
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
}

TEST_F(PortTest, UnknownModeValuesFailAtTheBuildStepAndLeaveThePortOpen) {
    ControllerLine line;
    const PortHandle port = OpenConfigured(46, line.DevicePath());
    const std::vector<std::vector<std::string>> wrong = {
        {"57601", "N", "8", "1"},          {"", "N", "8", "1"},      {"-9600", "N", "8", "1"},
        {"57600", "X", "8", "1"},          {"57600", "", "8", "1"},  {"57600", "N", "9", "1"},
        {"57600", "N", "4", "1"},          {"57600", "N", "8", "3"}, {"57600", "N", "8", "1.5"},
        {"57600 parity=N", "N", "8", "1"},
    };
    ExpectRefusedAtTheBuildStep(port, wrong, "error on buildcommdcb: 22 (Invalid argument)");

    // What the earlier configuration applied still holds, and the port works.
    const termios t = Attributes(port);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B57600));
    EXPECT_TRUE(WritePort(port, "X.", true));
    EXPECT_EQ(line.Heard(2), "X.");
}

TEST_F(PortTest, ConfiguringNoPortFailsAtTheFirstStep) {
    EXPECT_FALSE(ConfigurePort(kInvalidPortHandle, "57600", "N", "8", "1", true));
    EXPECT_TRUE(CommFailed());
    EXPECT_EQ(CommErrorText(), "error on getcommstate: 9 (Bad file descriptor)");
}

TEST_F(PortTest, AZeroByteEndsTheTextAndTheRestOfThatReadIsDropped) {
    ControllerLine line;
    const PortHandle port = OpenConfigured(47, line.DevicePath());
    line.Say(std::string("OK\0tail", 7), port);
    EXPECT_EQ(ReadPort(port), "OK");
    EXPECT_EQ(ReadPort(port), "");
}

TEST_F(PortTest, MoreThan2048WaitingBytesComeInTwoReads) {
    ControllerLine line;
    const PortHandle port = OpenConfigured(48, line.DevicePath());
    std::string bytes;
    for (int i = 0; i < 3000; ++i) {
        bytes += static_cast<char>('A' + i % 26);
    }
    line.Say(bytes, port);
    EXPECT_EQ(ReadPort(port), bytes.substr(0, 2048));
    EXPECT_EQ(ReadPort(port), bytes.substr(2048));
    EXPECT_EQ(ReadPort(port), "");
}

TEST_F(PortTest, AWriteToAHungUpLineFailsAndALaterSuccessKeepsTheFlag) {
    ControllerLine dead;
    ControllerLine alive;
    const PortHandle dead_port = OpenConfigured(49, dead.DevicePath());
    const PortHandle live_port = OpenConfigured(50, alive.DevicePath());
    dead.HangUp();

    ExpectFailedWritesKeepTheFlag(dead_port, live_port,
                                  "error writing to serial port: 5 (Input/output error)");
    EXPECT_EQ(alive.Heard(2), "X.");
}

TEST_F(PortTest, AHungUpLineReadsAsAGoneDeviceAndAQuietOneDoesNot) {
    ControllerLine line;
    const PortHandle port = OpenConfigured(51, line.DevicePath());
    std::string received;
    EXPECT_TRUE(ReadPort(port, received));
    EXPECT_FALSE(DeviceGone(port));
    // Looking at the line leaves what waits on it for the next read.
    line.Say("OK", port);
    EXPECT_FALSE(DeviceGone(port));
    EXPECT_TRUE(ReadPort(port, received));
    EXPECT_EQ(received, "OK");
    EXPECT_FALSE(CommFailed());

    line.HangUp();
    ExpectTheDeviceGone(port, "error reading from serial port: 5 (Input/output error)");
}

TEST_F(PortTest, AReadWithinATimeWaitsForTheFirstBytesAndTellsAGoneDevice) {
    ControllerLine line;
    const PortHandle port = OpenConfigured(52, line.DevicePath());
    std::string received;
    EXPECT_TRUE(ReadPortWithin(port, std::chrono::milliseconds(20), received));
    EXPECT_EQ(received, "");
    std::thread board([&line] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        line.Send("OK\r\n");
    });
    EXPECT_TRUE(ReadPortWithin(port, std::chrono::milliseconds(10000), received));
    board.join();
    EXPECT_EQ(received, "OK\r\n");
    // The usual read still returns at once.
    EXPECT_EQ(Attributes(port).c_cc[VMIN], 0);
    EXPECT_EQ(Attributes(port).c_cc[VTIME], 0);

    // A line whose other end is gone wakes the wait, as a gone device.
    line.HangUp();
    EXPECT_FALSE(ReadPortWithin(port, std::chrono::milliseconds(10000), received));
    EXPECT_EQ(received, "OK\r\n");
    EXPECT_EQ(CommErrorText(), "error reading from serial port: 5 (Input/output error)");
}

TEST_F(PortTest, ClosingNoPortIsHarmless) {
    ClosePort(kInvalidPortHandle);
    EXPECT_EQ(ReadPort(kInvalidPortHandle), "");
}
