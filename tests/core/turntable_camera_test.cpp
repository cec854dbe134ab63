// The simulated turntable's camera: a JPEG in the camera folder for each
// photo command, named and written as a camera writes onto its card.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "controller_line.h"
#include "core/serial/device.h"
#include "simulated_turntable.h"
#include "temp_dir.h"

using namespace zentrivo;

namespace {

// A camera on `dir` that stores each photo at once; the board acts at once.
std::vector<std::string> CameraOn(const TempDir& dir, std::vector<std::string> more = {}) {
    std::vector<std::string> options = {"--time-scale",   "0", "--camera-dir",        dir.Path(),
                                        "--camera-delay", "0", "--camera-slow-write", "0"};
    options.insert(options.end(), more.begin(), more.end());
    return options;
}

void Play(int com, const SimulatedTurntable& sim, const std::vector<std::string>& commands) {
    PointComPortAt(com, sim.DevicePath());
    PortHandle port = OpenPort("COM" + std::to_string(com), true);
    ASSERT_TRUE(ConfigurePort(port, "57600", "N", "8", "1", true));
    for (const std::string& command : commands) {
        EXPECT_EQ(ExchangeCommand(port, command, kCommandPollLimit, true, nullptr, {}).Outcome,
                  ExchangeOutcome::Accepted)
            << command;
    }
    ClosePort(port);
}

bool IsWholeJpeg(const std::string& bytes) {
    return bytes.size() > 4 && bytes.compare(0, 2, "\xFF\xD8") == 0 &&
           bytes.compare(bytes.size() - 2, 2, "\xFF\xD9") == 0;
}

// The photo once the camera has written all of it (the end-of-image marker
// cannot occur earlier in the file); what there is after ten seconds if not.
std::string WrittenPhoto(const TempDir& dir, const std::string& name) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string bytes = dir.Read(name);
    while (!IsWholeJpeg(bytes) && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        bytes = dir.Read(name);
    }
    return bytes;
}

std::set<std::string> Names(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// What ImageMagick's identify makes of a file; empty when it is not installed.
std::string Identify(const std::string& path) {
    if (std::system("command -v identify >/dev/null 2>&1") != 0) {
        return {};
    }
    const std::string command = "identify -format '%m %w %h %[colorspace]' '" + path + "' 2>&1";
    std::string said;
    if (FILE* out = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, out) != nullptr) {
            said += buffer;
        }
        pclose(out);
    }
    return said;
}

}  // namespace

TEST(TurntableCamera, StoresAJpegForEachPhotoCommandNamedAsACameraDoes) {
    TempDir dir;
    SimulatedTurntable sim(CameraOn(dir));
    Play(82, sim,
         {"X.", "T0001.", "F0000.", "P0050.", "W0050.", "R0300.", "P0050.", "R0300.", "P0050."});
    std::set<std::string> expected;
    for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}) {
        const std::string photo = WrittenPhoto(dir, name);
        EXPECT_TRUE(IsWholeJpeg(photo)) << name << " holds " << photo.size() << " bytes";
        EXPECT_EQ(photo.substr(6, 5), std::string("JFIF\0", 5)) << name;
        expected.insert(name);
    }
    EXPECT_EQ(Names(dir), expected);
}

TEST(TurntableCamera, NumbersOnFromTheHighestPhotoThereAndOverwritesNothing) {
    TempDir dir;
    const std::vector<std::string> earlier = {"IMG_0007.JPG", "img_0012.jpg",  "IMG_0500.PNG",
                                              "IMG_123.JPG",  "IMG_99999.JPG", "DSC_0900.JPG",
                                              "IMG_0A00.JPG"};
    for (const std::string& name : earlier) {
        dir.Write(name, "taken earlier");
    }
    {
        SimulatedTurntable sim(CameraOn(dir));
        Play(83, sim, {"P0050."});
        EXPECT_TRUE(IsWholeJpeg(WrittenPhoto(dir, "IMG_0013.JPG")));
    }
    // A second session on the same card goes on after the first one's photos.
    SimulatedTurntable sim(CameraOn(dir));
    Play(83, sim, {"P0050.", "P0050."});
    EXPECT_TRUE(IsWholeJpeg(WrittenPhoto(dir, "IMG_0015.JPG")));
    EXPECT_TRUE(IsWholeJpeg(WrittenPhoto(dir, "IMG_0014.JPG")));
    EXPECT_EQ(Names(dir).size(), earlier.size() + 3);
    for (const std::string& name : earlier) {
        EXPECT_EQ(dir.Read(name), "taken earlier") << name;
    }
}

TEST(TurntableCamera, StopsAtTheLastNumberRatherThanOverwrite) {
    TempDir dir;
    dir.Write("IMG_9998.JPG", "taken earlier");
    SimulatedTurntable sim(CameraOn(dir, {"--hangup-after", "2"}));
    Play(84, sim, {"P0050.", "P0050."});
    ASSERT_EQ(sim.WaitForExit(), 0);
    EXPECT_EQ(Names(dir), (std::set<std::string>{"IMG_9998.JPG", "IMG_9999.JPG"}));
    EXPECT_EQ(dir.Read("IMG_9998.JPG"), "taken earlier");
    EXPECT_TRUE(IsWholeJpeg(dir.Read("IMG_9999.JPG")));
}

TEST(TurntableCamera, StoresThePhotosStillPendingWhenTheBoardHangsUp) {
    TempDir dir;
    SimulatedTurntable sim(CameraOn(dir, {"--camera-delay", "300", "--hangup-after", "2"}));
    Play(85, sim, {"X.", "P0050."});
    ASSERT_EQ(sim.WaitForExit(), 0);
    EXPECT_TRUE(IsWholeJpeg(dir.Read("IMG_0001.JPG")));
}

TEST(TurntableCamera, CreatesThePhotoUnderItsNameAndWritesItInParts) {
    TempDir dir;
    // Twenty seconds between the parts: the first part is all there is for long.
    SimulatedTurntable sim(CameraOn(dir, {"--camera-slow-write", "60000"}));
    Play(86, sim, {"P0050."});
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::string first_part;
    while (first_part.empty() && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        first_part = dir.Read("IMG_0001.JPG");
    }
    ASSERT_FALSE(first_part.empty());
    EXPECT_EQ(first_part.substr(0, 2), "\xFF\xD8");
    EXPECT_FALSE(IsWholeJpeg(first_part));
}

TEST(TurntableCamera, DecodesAsAGreyPictureOfTheTurntable) {
    TempDir dir;
    SimulatedTurntable sim(CameraOn(dir));
    Play(87, sim, {"R0123.", "P0050."});
    ASSERT_TRUE(IsWholeJpeg(WrittenPhoto(dir, "IMG_0001.JPG")));
    const std::string identified = Identify(dir.File("IMG_0001.JPG"));
    if (identified.empty()) {
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    }
    EXPECT_EQ(identified, "JPEG 320 240 Gray");
}

TEST(TurntableCamera, RefusesToStartWithoutItsFolder) {
    TempDir dir;
    EXPECT_THROW(SimulatedTurntable({"--camera-dir", dir.File("missing")}), std::runtime_error);
}
