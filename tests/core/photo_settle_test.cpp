#include "core/photos/photo_settle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "temp_dir.h"

using namespace zentrivo;
using namespace std::chrono_literals;

namespace {

// A clock that moves only when a pause moves it, 50 ms a pause, as the copy
// pauses between two looks.
struct FakeTime {
    std::chrono::steady_clock::time_point now{};
    int pauses = 0;
    PhotoSettle Settle() {
        return PhotoSettle(kPhotoSettleTime, [this] { return now; });
    }
    void Pause() {
        now += 50ms;
        ++pauses;
    }
};

}  // namespace

TEST(PhotoSettle, ACameraClockAheadOrBehindCostsOneWaitForAWholeCopyNotOneAPhoto) {
    for (const auto offset : {std::chrono::hours(1), -std::chrono::hours(24 * 400)}) {
        TempDir dir;
        std::vector<std::string> photos;
        for (int i = 1; i <= 20; ++i) {
            photos.push_back(dir.File("IMG_" + std::to_string(1000 + i) + ".JPG"));
            std::ofstream(photos.back()) << "jpeg " << i;
            std::filesystem::last_write_time(
                photos.back(), std::filesystem::file_time_type::clock::now() + offset);
        }
        FakeTime time;
        PhotoSettle settle = time.Settle();
        for (const std::string& photo : photos) {
            settle.Look(photo);
        }
        for (const std::string& photo : photos) {
            EXPECT_TRUE(settle.WaitUntilSettled(photo, 5s, [&] { time.Pause(); })) << photo;
        }
        // One settle time for all twenty, however far the file times are
        // from this PC's clock.
        EXPECT_EQ(time.pauses, 10);
    }
}

TEST(PhotoSettle, AGrowingPhotoIsWaitedForAGoneOneIsNot) {
    TempDir dir;
    const std::string photo = dir.File("IMG_0001.JPG");
    std::ofstream(photo) << "a";
    FakeTime time;
    PhotoSettle settle = time.Settle();
    // The camera adds to the file during the first six pauses.
    int written = 0;
    EXPECT_TRUE(settle.WaitUntilSettled(photo, 5s, [&] {
        if (written++ < 6) {
            std::ofstream(photo, std::ios::app) << "b";
        }
        time.Pause();
    }));
    EXPECT_EQ(std::filesystem::file_size(photo), 7u);
    EXPECT_EQ(time.pauses, 6 + 10);

    // A file that keeps growing is given up after the longest wait.
    time.pauses = 0;
    std::ofstream(photo, std::ios::app) << "c";
    EXPECT_FALSE(settle.WaitUntilSettled(photo, 2s, [&] {
        std::ofstream(photo, std::ios::app) << "c";
        time.Pause();
    }));
    EXPECT_EQ(time.pauses, 40);

    // A photo that is gone, or a folder of that name, is no photo to wait for.
    time.pauses = 0;
    std::filesystem::create_directory(dir.File("folder.jpg"));
    for (const char* name : {"missing.jpg", "folder.jpg"}) {
        EXPECT_FALSE(settle.WaitUntilSettled(dir.File(name), 5s, [&] { time.Pause(); }));
    }
    EXPECT_EQ(time.pauses, 0);
}
