#include "core/photos/photo_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <random>

#include "temp_dir.h"

using namespace zentrivo;

using Names = std::vector<std::string>;

TEST(PhotoWatch, SnapshotNamesNeverBecomeNewInAnyLetterCase) {
    PhotoWatch watch;
    watch.Begin({"IMG_0001.JPG", "img_0002.jpg"});
    EXPECT_EQ(watch.NewCount(), 0u);
    EXPECT_EQ(watch.Refresh({"img_0001.jpg", "IMG_0002.JPG", "Img_0001.Jpg"}), Names{});
    EXPECT_EQ(watch.NewCount(), 0u);
    EXPECT_TRUE(watch.KnownPhotos.Contains("iMg_0002.JpG"));
}

TEST(PhotoWatch, RefreshAddsOnlyNewNamesInListingOrderAndKeepsVanishedOnes) {
    PhotoWatch watch;
    watch.Begin({"old.jpg"});
    EXPECT_EQ(watch.Refresh({"old.jpg", "b.jpg", "a.jpg"}), (Names{"b.jpg", "a.jpg"}));
    // A second spelling of a name found in the same listing is that name again.
    EXPECT_EQ(watch.Refresh({"c.jpg", "A.JPG", "C.JPG", "b.jpg"}), Names{"c.jpg"});
    EXPECT_EQ(watch.Refresh({}), Names{});
    EXPECT_EQ(watch.NewPhotos.Names(), (Names{"b.jpg", "a.jpg", "c.jpg"}));
    EXPECT_EQ(NewPhotosText(watch.NewCount()), "New Photos: 3");

    watch.Begin({});
    EXPECT_EQ(watch.NewCount(), 0u);
    EXPECT_EQ(watch.Refresh({"old.jpg"}), Names{"old.jpg"});
}

// The index must answer exactly as a search through the lists, name by name,
// comparing without regard to letter case.
TEST(PhotoWatch, SameResultsAsLinearSearch) {
    auto equalIgnoringCase = [](const std::string& a, const std::string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    };
    auto inList = [&](const Names& list, const std::string& name) {
        return std::any_of(list.begin(), list.end(),
                           [&](const std::string& n) { return equalIgnoringCase(n, name); });
    };
    std::mt19937 random(5);
    auto randomListing = [&](std::size_t size) {
        Names names;
        for (std::size_t i = 0; i < size; ++i) {
            std::string name = "ImG_" + std::to_string(random() % 40) + ".jPg";
            for (char& c : name) {
                if (random() % 2 != 0) {
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                }
            }
            names.push_back(name);
        }
        return names;
    };

    const Names snapshot = randomListing(15);
    std::vector<Names> listings;
    for (int round = 0; round < 5; ++round) {
        listings.push_back(randomListing(20));
    }

    Names expected;
    for (const Names& listing : listings) {
        for (const std::string& name : listing) {
            if (!inList(snapshot, name) && !inList(expected, name)) {
                expected.push_back(name);
            }
        }
    }
    PhotoWatch watch;
    watch.Begin(snapshot);
    for (const Names& listing : listings) {
        watch.Refresh(listing);
    }
    EXPECT_EQ(watch.NewPhotos.Names(), expected);
    EXPECT_EQ(watch.KnownPhotos.Names(), snapshot);
}

TEST(PhotoWatch, WatchesACameraFolder) {
    TempDir dir;
    dir.Write("before.jpg", "1");
    dir.Write("notes.txt", "1");
    PhotoWatch watch;
    BeginPhotoWatch(watch, dir.Path());
    EXPECT_EQ(watch.KnownPhotos.Names(), Names{"before.jpg"});

    dir.Write("BEFORE.JPG", "rewritten in another case");
    dir.Write("before.jpg", "rewritten");
    dir.Write("IMG_0001.JPG", "a");
    EXPECT_EQ(RefreshNewPhotos(watch, dir.Path()), Names{"IMG_0001.JPG"});
    dir.Write("IMG_0002.JPG", "b");
    dir.Write("IMG_0003.JPG", "c");
    RefreshNewPhotos(watch, dir.Path());
    EXPECT_EQ(NewPhotosText(watch.NewCount()), "New Photos: 3");

    std::filesystem::remove(dir.File("IMG_0001.JPG"));
    EXPECT_EQ(RefreshNewPhotos(watch, dir.Path()), Names{});
    EXPECT_EQ(watch.NewCount(), 3u);
    EXPECT_TRUE(watch.NewPhotos.Contains("img_0001.jpg"));
}

TEST(PhotoWatch, MissingCameraFolderChangesNothing) {
    TempDir dir;
    PhotoWatch watch;
    BeginPhotoWatch(watch, dir.File("card"));
    EXPECT_EQ(watch.KnownPhotos.Count(), 0u);

    std::filesystem::create_directory(dir.File("card"));
    dir.Write("card/a.jpg", "x");
    RefreshNewPhotos(watch, dir.File("card"));
    std::filesystem::remove_all(dir.File("card"));
    EXPECT_EQ(RefreshNewPhotos(watch, dir.File("card")), Names{});
    EXPECT_EQ(RefreshNewPhotos(watch, ""), Names{});
    EXPECT_EQ(watch.NewPhotos.Names(), Names{"a.jpg"});
}

// Hundreds of photos: the index grows several times over while the camera writes, and
// must still find every photo in any letter case and nothing else, so that no
// photo of a long shoot is shown twice or left out.
TEST(PhotoWatch, HundredsOfPhotosFoundEachOnce) {
    TempDir dir;
    for (int i = 0; i < 200; ++i) {
        dir.Write("IMG_" + std::to_string(10000 + i) + ".JPG", "");
    }
    PhotoWatch watch;
    BeginPhotoWatch(watch, dir.Path());
    EXPECT_EQ(watch.KnownPhotos.Count(), 200u);
    for (int i = 200; i < 800; ++i) {
        dir.Write("img_" + std::to_string(10000 + i) + ".jpg", "");
    }
    const Names added = RefreshNewPhotos(watch, dir.Path());
    ASSERT_EQ(added.size(), 600u);
    EXPECT_EQ(added.front(), "img_10200.jpg");
    EXPECT_EQ(added.back(), "img_10799.jpg");
    EXPECT_TRUE(std::is_sorted(added.begin(), added.end()));
    EXPECT_EQ(RefreshNewPhotos(watch, dir.Path()), Names{});
    for (int i = 0; i < 800; i += 3) {
        const std::string name = "Img_" + std::to_string(10000 + i) + ".jpG";
        EXPECT_EQ(watch.KnownPhotos.Contains(name), i < 200) << name;
        EXPECT_EQ(watch.NewPhotos.Contains(name), i >= 200) << name;
    }
    EXPECT_FALSE(watch.NewPhotos.Contains("img_10800.jpg"));
}
