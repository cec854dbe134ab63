#include "photo_settle.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"

using namespace zentrivo;
using namespace std::chrono_literals;

TEST(PhotoSettle, AFreshFileIsNotQuietAnOldOneIs) {
    TempDir dir;
    dir.Write("IMG_0001.JPG", "abc");
    const FileSample fresh = SampleFile(dir.File("IMG_0001.JPG"));
    ASSERT_TRUE(fresh.exists);
    EXPECT_EQ(fresh.size, 3u);
    EXPECT_FALSE(QuietFor(fresh, 60s));
    std::filesystem::last_write_time(dir.File("IMG_0001.JPG"),
                                     std::filesystem::file_time_type::clock::now() - 5s);
    EXPECT_TRUE(QuietFor(SampleFile(dir.File("IMG_0001.JPG")), 1s));
}

TEST(PhotoSettle, GrowingAndMissingFilesDiffer) {
    TempDir dir;
    dir.Write("a.jpg", "abc");
    const FileSample before = SampleFile(dir.File("a.jpg"));
    EXPECT_TRUE(SameSample(before, SampleFile(dir.File("a.jpg"))));
    dir.Write("a.jpg", "abcdef");
    EXPECT_FALSE(SameSample(before, SampleFile(dir.File("a.jpg"))));
    EXPECT_FALSE(SampleFile(dir.File("missing.jpg")).exists);
    EXPECT_FALSE(QuietFor(SampleFile(dir.File("missing.jpg")), 0ms));
    std::filesystem::create_directory(dir.File("folder.jpg"));
    EXPECT_FALSE(SampleFile(dir.File("folder.jpg")).exists);
}
