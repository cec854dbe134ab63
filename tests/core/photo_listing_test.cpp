#include "core/photos/photo_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "temp_dir.h"

using namespace zentrivo;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(ListFiles, MatchesJpgInAnyCaseAndEveryKindOfEntry) {
    TempDir dir;
    for (const char* name : {"a.jpg", "IMG_0001.JPG", "c.Jpg", ".hidden.jpg", ".jpg", "d.jpeg",
                             "e.jpg.txt", "jpg", "f.png", "gjpg"}) {
        dir.Write(name, "x");
    }
    std::filesystem::create_directory(dir.File("album.JPG"));
    std::filesystem::create_directory(dir.File("other"));
    EXPECT_EQ(Sorted(ListFiles(dir.Path())),
              Sorted({"a.jpg", "IMG_0001.JPG", "c.Jpg", ".hidden.jpg", ".jpg", "album.JPG"}));
}

TEST(ListFiles, MissingEmptyOrUnnamedFolderGivesNothing) {
    TempDir dir;
    EXPECT_TRUE(ListFiles(dir.Path()).empty());
    EXPECT_TRUE(ListFiles(dir.File("missing")).empty());
    EXPECT_TRUE(ListFiles("").empty());
    dir.Write("plain.jpg", "x");
    EXPECT_TRUE(ListFiles(dir.File("plain.jpg")).empty());
}

TEST(ListFiles, ListsInNameOrderWhateverTheFolderSays) {
    TempDir dir;
    for (const char* name : {"IMG_0003.JPG", "img_0010.jpg", "IMG_0001.JPG", "IMG_0002.jpg",
                             "IMG_0100.JPG", "a.jpg"}) {
        dir.Write(name, "x");
    }
    EXPECT_EQ(ListFiles(dir.Path()),
              (std::vector<std::string>{"a.jpg", "IMG_0001.JPG", "IMG_0002.jpg", "IMG_0003.JPG",
                                        "img_0010.jpg", "IMG_0100.JPG"}));
}
