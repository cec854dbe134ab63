#include "core/photos/photo_arrival.h"

#include <gtest/gtest.h>

#include <string>

#include "temp_dir.h"

using namespace zentrivo;
using std::chrono::milliseconds;

namespace {

const std::string kWhole = std::string("\xFF\xD8", 2) + "picture" + std::string("\xFF\xD9", 2);
const std::string kFirstHalf = std::string("\xFF\xD8", 2) + "pict";

}  // namespace

// The end of a run waits while photos are missing or half written: 30 s
// after the folder last changed, and only 5 s for a first photo that never
// comes (a folder no camera writes to).
TEST(EndOfRunWait, WaitsForMissingAndHalfWrittenPhotosAsLongAsTheFolderChanges) {
    EXPECT_FALSE(AwaitMorePhotos(3, 3, 3, milliseconds(0)));
    EXPECT_TRUE(AwaitMorePhotos(3, 2, 2, milliseconds(29000)));
    EXPECT_FALSE(AwaitMorePhotos(3, 2, 2, milliseconds(30000)));
    // All listed, one still being written.
    EXPECT_TRUE(AwaitMorePhotos(3, 2, 3, milliseconds(10000)));
    // More photos than exposures, one of them cut short.
    EXPECT_TRUE(AwaitMorePhotos(3, 3, 4, milliseconds(0)));
    EXPECT_TRUE(AwaitMorePhotos(3, 0, 0, milliseconds(4000)));
    EXPECT_FALSE(AwaitMorePhotos(3, 0, 0, milliseconds(5000)));
    EXPECT_FALSE(AwaitMorePhotos(0, 0, 0, milliseconds(0)));

    EXPECT_EQ(MissingPhotosLine(3, 3), "");
    EXPECT_EQ(MissingPhotosLine(3, 2), "Only 2 of 3 photos came from the camera !");
    EXPECT_EQ(MissingPhotosLine(3, 0), "Only 0 of 3 photos came from the camera !");
}

TEST(EndOfRunWait, AJpegBegunAndNotEndedIsCutShortAnyOtherFileIsNot) {
    TempDir dir;
    dir.Write("whole.jpg", kWhole);
    dir.Write("half.jpg", kFirstHalf);
    dir.Write("empty.jpg", "");
    dir.Write("text.jpg", "not a picture");
    EXPECT_FALSE(IsCutShortJpeg(dir.File("whole.jpg")));
    EXPECT_TRUE(IsCutShortJpeg(dir.File("half.jpg")));
    EXPECT_TRUE(IsCutShortJpeg(dir.File("empty.jpg")));
    EXPECT_FALSE(IsCutShortJpeg(dir.File("text.jpg")));
    EXPECT_FALSE(IsCutShortJpeg(dir.File("gone.jpg")));
}
