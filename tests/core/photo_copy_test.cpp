#include "core/photos/photo_copy.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "core/clock_text.h"
#include "core/photos/photo_folder_name.h"
#include "temp_dir.h"

using namespace zentrivo;
namespace fs = std::filesystem;

namespace {

// Every copy of a test happens at this one moment, so that two automatic
// copies fall within the same second.
const std::tm kNow = LocalNow();
const std::string kStamp = FolderStamp(kNow);

struct Message {
    MessageKind kind;
    std::string title;
    std::string text;
};

// Dialogs that answer as scripted and remember what they were asked to show.
struct ScriptedDialogs {
    std::optional<std::string> answer;
    int asked = 0;
    std::string offered;
    std::vector<Message> shown;

    CopyDialogs Dialogs() {
        CopyDialogs d;
        d.askFolderName = [this](const std::string& stamp) {
            ++asked;
            offered = stamp;
            return answer;
        };
        d.showMessage = [this](MessageKind kind, const std::string& title,
                               const std::string& text) {
            shown.push_back({kind, title, text});
        };
        return d;
    }
};

// A camera folder with three photos and an empty destination.
struct CopyFixture : ::testing::Test {
    TempDir camera;
    TempDir destination;
    ScriptedDialogs dialogs;
    CopyRequest request;

    CopyFixture() {
        camera.Write("IMG_0003.JPG", "third");
        camera.Write("IMG_0001.JPG", "first");
        camera.Write("IMG_0002.JPG", "second");
        request.cameraFolder = camera.Path();
        request.destinationFolder = destination.Path();
        request.photos = {"IMG_0003.JPG", "IMG_0001.JPG", "IMG_0002.JPG"};
        request.now = kNow;
    }
    CopyResult Copy() { return CopyNewPhotos(request, dialogs.Dialogs()); }
};

}  // namespace

TEST(FolderName, CleaningDeletesForbiddenCharactersAndCutsTheEnds) {
    EXPECT_EQ(CleanFolderName("a/b:c"), "abc");
    EXPECT_EQ(CleanFolderName("\\/:*?\"<>|"), "");
    EXPECT_EQ(CleanFolderName(" \t\r\n shoot  one\x01 "), "shoot  one");
    EXPECT_EQ(CleanFolderName(" :x: "), "x");
    EXPECT_EQ(CleanFolderName("Čaša"), "Čaša");
}

TEST(FolderName, UnusableOrExistingNamesGiveTheStampWithANotice) {
    TempDir dest;
    fs::create_directory(dest.File("taken"));
    const std::string invalid = "Invalid directory name !\r\nI will name it: " + kStamp;
    for (const char* typed : {"   ", "", "/:?", ".", "..", " ./ ", "/../"}) {
        const FolderNameChoice choice = ChooseFolderName(dest.Path(), typed, kStamp);
        EXPECT_EQ(choice.name, kStamp) << typed;
        EXPECT_EQ(choice.notice, invalid) << typed;
    }
    const FolderNameChoice taken = ChooseFolderName(dest.Path(), " ta:ken ", kStamp);
    EXPECT_EQ(taken.name, kStamp);
    EXPECT_EQ(taken.notice, "Directory already exists !\r\nI will name it: " + kStamp);

    const FolderNameChoice fresh = ChooseFolderName(dest.Path(), "...", kStamp);
#ifdef _WIN32
    // Windows drops the dots at the end of a name: "..." is the destination.
    EXPECT_EQ(fresh.name, kStamp);
#else
    EXPECT_EQ(fresh.name, "...");
    EXPECT_EQ(fresh.notice, "");
#endif
}

TEST_F(CopyFixture, CopiesInListOrderIntoTheTypedFolder) {
    dialogs.answer = "a/b:c";
    const CopyResult result = Copy();
    ASSERT_TRUE(result.done);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(result.target, destination.File("abc"));
    EXPECT_EQ(destination.Read("abc/1.jpg"), "third");
    EXPECT_EQ(destination.Read("abc/2.jpg"), "first");
    EXPECT_EQ(destination.Read("abc/3.jpg"), "second");
    EXPECT_TRUE(result.notCopied.empty());
}

TEST_F(CopyFixture, APhotoThatCannotBeCopiedLeavesAGapAndOneCutShortIsNamed) {
    fs::remove(camera.File("IMG_0001.JPG"));
    fs::create_directory(camera.File("folder.jpg"));
    request.photos.push_back("folder.jpg");
    request.photos.push_back("IMG_0002.JPG");
    // A JPEG the camera has begun and not ended is copied, and named.
    camera.Write("IMG_0009.JPG", std::string("\xFF\xD8", 2) + "half");
    request.photos.push_back("IMG_0009.JPG");
    request.autoName = true;
    const CopyResult result = Copy();
    ASSERT_TRUE(result.done);
    EXPECT_EQ(dialogs.asked, 0);
    const std::string target = destination.File(kStamp);
    EXPECT_EQ(result.target, target);
    EXPECT_TRUE(fs::exists(target + "/1.jpg"));
    EXPECT_FALSE(fs::exists(target + "/2.jpg"));
    EXPECT_TRUE(fs::exists(target + "/3.jpg"));
    EXPECT_FALSE(fs::exists(target + "/4.jpg"));
    EXPECT_EQ(destination.Read(kStamp + "/5.jpg"), "second");
    EXPECT_EQ(result.notCopied, (std::vector<std::string>{"IMG_0001.JPG", "folder.jpg"}));
    EXPECT_TRUE(fs::exists(target + "/6.jpg"));
    EXPECT_EQ(result.incomplete, std::vector<std::string>{"6.jpg"});
}

TEST_F(CopyFixture, APlaceWithoutAPhotoKeepsItsNumberAndSetAsidePhotosKeepTheirNames) {
    request.photos = {"IMG_0001.JPG", "", "IMG_0003.JPG"};
    request.setAside = {"IMG_0002.JPG"};
    request.autoName = true;
    std::size_t counted = 0;
    CopyDialogs d = dialogs.Dialogs();
    d.beforeCopy = [&](std::size_t, std::size_t count, const std::string&) {
        counted = count;
        return true;
    };
    const CopyResult result = CopyNewPhotos(request, d);
    ASSERT_TRUE(result.done);
    EXPECT_EQ(counted, 3u);
    EXPECT_EQ(result.count, 3u);
    EXPECT_TRUE(result.notCopied.empty());
    EXPECT_EQ(destination.Read(kStamp + "/1.jpg"), "first");
    EXPECT_FALSE(fs::exists(destination.File(kStamp + "/2.jpg")));
    EXPECT_EQ(destination.Read(kStamp + "/3.jpg"), "third");
    EXPECT_EQ(destination.Read(kStamp + "/extra/IMG_0002.JPG"), "second");
}

TEST_F(CopyFixture, TheWindowCanHoldBackAPhotoBeforeItIsCopied) {
    request.autoName = true;
    std::vector<std::size_t> numbers;
    CopyDialogs d = dialogs.Dialogs();
    d.beforeCopy = [&](std::size_t number, std::size_t count, const std::string& source) {
        EXPECT_EQ(count, 3u);
        EXPECT_TRUE(fs::exists(source));
        numbers.push_back(number);
        return number != 2;
    };
    const CopyResult result = CopyNewPhotos(request, d);
    EXPECT_EQ(numbers, (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_EQ(result.notCopied, std::vector<std::string>{"IMG_0001.JPG"});
    EXPECT_FALSE(fs::exists(destination.File(kStamp + "/2.jpg")));
}

TEST_F(CopyFixture, CancelGivesTheStampWithoutANotice) {
    const CopyResult result = Copy();
    ASSERT_TRUE(result.done);
    EXPECT_EQ(dialogs.asked, 1);
    EXPECT_EQ(dialogs.offered, kStamp);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(destination.Read(kStamp + "/1.jpg"), "third");
}

TEST_F(CopyFixture, BlankOrExistingNamesGiveTheStampAfterANotice) {
    dialogs.answer = "  \t ";
    ASSERT_TRUE(Copy().done);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::kNotice);
    EXPECT_EQ(dialogs.shown[0].title, "Notice");
    EXPECT_EQ(dialogs.shown[0].text, "Invalid directory name !\r\nI will name it: " + kStamp);
    EXPECT_TRUE(fs::is_directory(destination.File(kStamp)));

    fs::create_directory(destination.File("shoot"));
    dialogs.answer = "shoot";
    dialogs.shown.clear();
    request.now.tm_year += 1;
    const std::string nextStamp = FolderStamp(request.now);
    ASSERT_TRUE(Copy().done);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Directory already exists !\r\nI will name it: " + nextStamp);
    EXPECT_EQ(destination.Read(nextStamp + "/3.jpg"), "second");
}

TEST_F(CopyFixture, CopiesWithinOneSecondEachGetAFolderOfTheirOwn) {
    request.autoName = true;
    ASSERT_TRUE(Copy().done);
    ASSERT_TRUE(Copy().done);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(destination.Read(kStamp + "/1.jpg"), "third");
    EXPECT_EQ(destination.Read(kStamp + "_2/1.jpg"), "third");
    // Asked, the user is offered the free name; a name that is taken falls
    // back to it too.
    request.autoName = false;
    dialogs.answer = kStamp;
    const CopyResult third = Copy();
    ASSERT_TRUE(third.done);
    EXPECT_EQ(dialogs.offered, kStamp + "_3");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "Directory already exists !\r\nI will name it: " + kStamp + "_3");
    EXPECT_EQ(third.target, destination.File(kStamp + "_3"));

    // A name the file system refuses still fails.
    dialogs.shown.clear();
    dialogs.answer = std::string(300, 'x');
    EXPECT_FALSE(Copy().done);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::kError);
    EXPECT_EQ(dialogs.shown[0].title, "Error");
    EXPECT_EQ(dialogs.shown[0].text, "I could not create a directory for new photos !");
}

TEST_F(CopyFixture, MissingDestinationStopsBeforeAsking) {
    request.destinationFolder = destination.File("gone");
    const CopyResult result = Copy();
    EXPECT_FALSE(result.done);
    EXPECT_EQ(dialogs.asked, 0);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, MessageKind::kError);
    EXPECT_EQ(dialogs.shown[0].title, "Error");
    EXPECT_EQ(dialogs.shown[0].text,
              "First you must choose a directory for new photos to be copied !");
    EXPECT_FALSE(fs::exists(destination.File("gone")));
}

TEST(CopyPhoto, OverwritesKeepsTheCamerasTimeAndLeavesNothingBehindOnFailure) {
    TempDir dir;
    dir.Write("photo.jpg", "new");
    dir.Write("1.jpg", "old and longer");
    // Taken a day ago: the copy is dated as the photo, not as the copy.
    const auto taken = fs::last_write_time(dir.File("photo.jpg")) - std::chrono::hours(24);
    fs::last_write_time(dir.File("photo.jpg"), taken);
    EXPECT_TRUE(CopyPhoto(dir.File("photo.jpg"), dir.File("1.jpg")));
    EXPECT_EQ(dir.Read("1.jpg"), "new");
    EXPECT_EQ(fs::last_write_time(dir.File("1.jpg")), taken);

    EXPECT_FALSE(CopyPhoto(dir.File("missing.jpg"), dir.File("1.jpg")));
    EXPECT_FALSE(fs::exists(dir.File("1.jpg")));
    EXPECT_FALSE(CopyPhoto(dir.File("photo.jpg"), dir.File("photo.jpg")));
    EXPECT_EQ(dir.Read("photo.jpg"), "new");
}
