#include "spin/spin_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "spin/frame_list.h"
#include "spin/frame_pipeline.h"
#include "turn_photos.h"

using namespace zentrivo;
namespace fs = std::filesystem;

namespace {

struct SpinExportTest : ::testing::Test, TurnFolders {
    SpinRequest Request() const {
        SpinRequest r;
        r.source = source;
        r.target = target;
        r.longEdge = 80;
        r.formats = {true, false, false};
        r.threads = 3;
        return r;
    }

    // The photo numbers the viewer's frames show, in the viewer's order,
    // after checking that the frames folder holds nothing else.
    std::vector<int> Frames() const {
        std::vector<int> shown;
        const auto files = Tree(target / "frames");
        for (std::size_t i = 1; i <= files.size(); ++i) {
            shown.push_back(FrameNumber(target / "frames" / (std::to_string(i) + ".jpg")));
        }
        EXPECT_EQ(shown.size(), files.size());
        return shown;
    }
};

void Truncate(const fs::path& file) {
    fs::resize_file(file, fs::file_size(file) / 2);
}

}  // namespace

TEST_F(SpinExportTest, FramesFollowThePhotoNumbersThenTheNamesAndTheChoice) {
    // Written out of order, with names a camera gives and files that are
    // no photos of the turn.
    for (int n : {10, 2, 9, 1, 3, 8, 4, 7, 5, 6}) {
        WriteTurnPhoto(source / (std::to_string(n) + ".jpg"), n);
    }
    WriteTurnPhoto(source / "IMG_b.JPG", 12);
    WriteTurnPhoto(source / "img_a.jpeg", 11);
    std::ofstream(source / "._1.jpg") << "metadata another system left on the card";
    std::ofstream(source / "notes.txt") << "not a photo";
    fs::create_directory(source / "older");
    WriteTurnPhoto(source / "older" / "1.jpg", 15);

    SpinRequest r = Request();
    ASSERT_EQ(ExportSpin(r).status, SpinStatus::kDone);
    EXPECT_EQ(Frames(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));

    r.frames = {FrameChoice::Kind::kEvery, 3, 0};
    ASSERT_EQ(ExportSpin(r).status, SpinStatus::kDone);
    EXPECT_EQ(Frames(), (std::vector<int>{1, 4, 7, 10}));

    r.frames = {FrameChoice::Kind::kCount, 1, 5};
    ASSERT_EQ(ExportSpin(r).status, SpinStatus::kDone);
    EXPECT_EQ(Frames(), (std::vector<int>{1, 3, 5, 8, 10}));

    // The other way round, still starting from the first photo.
    r.reverse = true;
    const SpinResult reversed = ExportSpin(r);
    ASSERT_EQ(reversed.status, SpinStatus::kDone);
    EXPECT_EQ(Frames(), (std::vector<int>{1, 10, 8, 5, 3}));
    EXPECT_EQ(reversed.frames, 5);

    r.frames = {FrameChoice::Kind::kCount, 1, 13};
    const SpinResult tooMany = ExportSpin(r);
    EXPECT_EQ(tooMany.status, SpinStatus::kBadRequest);
    EXPECT_NE(tooMany.message.find("holds 12 photos"), std::string::npos) << tooMany.message;
    EXPECT_EQ(Frames(), (std::vector<int>{1, 10, 8, 5, 3}));
}

TEST_F(SpinExportTest, FramesTakeTheLongEdgeAndNeverGrow) {
    const auto frameSize = [this] {
        const RgbImage frame = DecodeJpegAtLeast(target / "frames" / "1.jpg", 100000);
        return std::make_pair(frame.width, frame.height);
    };
    WritePhotos(3, 1600, 1200);  // read at an eighth of its size for 200 pixels
    SpinRequest r = Request();
    r.longEdge = 200;
    const SpinResult landscape = ExportSpin(r);
    ASSERT_EQ(landscape.status, SpinStatus::kDone) << landscape.message;
    EXPECT_EQ(frameSize(), std::make_pair(200, 150));
    EXPECT_EQ(std::make_pair(landscape.width, landscape.height), std::make_pair(200, 150));

    WritePhotos(3, 300, 400);
    r.longEdge = 100;
    ASSERT_EQ(ExportSpin(r).status, SpinStatus::kDone);
    EXPECT_EQ(frameSize(), std::make_pair(75, 100));

    r.longEdge = 1000;
    ASSERT_EQ(ExportSpin(r).status, SpinStatus::kDone);
    EXPECT_EQ(frameSize(), std::make_pair(300, 400));
    EXPECT_EQ(Frames(), (std::vector<int>{1, 2, 3}));

    // A camera on its side: the frames stand upright, as any viewer shows
    // the photos.
    for (int n = 1; n <= 3; ++n) {
        WriteSidewaysPhoto(source / (std::to_string(n) + ".jpg"), n);
    }
    r.longEdge = 80;
    ASSERT_EQ(ExportSpin(r).status, SpinStatus::kDone);
    EXPECT_EQ(frameSize(), std::make_pair(60, 80));
    const RgbImage upright = DecodeJpegAtLeast(target / "frames" / "1.jpg", 100000);
    EXPECT_GT(upright.row(2)[(60 - 3) * 3], 200);  // the red corner, top right
    EXPECT_LT(upright.row(2)[2 * 3], 100);         // not top left
    EXPECT_EQ(Frames(), (std::vector<int>{1, 2, 3}));
}

TEST_F(SpinExportTest, AFaultyPhotoOrACancelLeavesTheEarlierExportAsItWas) {
    WritePhotos(8);
    SpinRequest r = Request();
    r.formats.webp = true;
    ASSERT_EQ(ExportSpin(r).status, SpinStatus::kDone);
    const auto earlier = Tree(target);
    const std::string earlierWebp = ReadWholeFile(target / "spin.webp");
    ASSERT_EQ(earlier, (std::vector<std::string>{"frames", "frames/1.jpg", "frames/2.jpg",
                                                 "frames/3.jpg", "frames/4.jpg", "frames/5.jpg",
                                                 "frames/6.jpg", "frames/7.jpg", "frames/8.jpg",
                                                 "index.html", "spin.js", "spin.webp"}));

    const auto failsNaming5 = [&](const std::string& why) {
        const SpinResult result = ExportSpin(r);
        EXPECT_EQ(result.status, SpinStatus::kFailed) << why;
        EXPECT_NE(result.message.find("\"5.jpg\""), std::string::npos)
            << why << ": " << result.message;
        EXPECT_EQ(Tree(target), earlier) << why;
        EXPECT_EQ(ReadWholeFile(target / "spin.webp"), earlierWebp) << why;
        return result.message;
    };
    Truncate(source / "5.jpg");
    failsNaming5("cut off");
    std::ofstream(source / "5.jpg") << "<html>a page saved under a photo's name</html>";
    EXPECT_NE(failsNaming5("not a JPEG").find("Not a JPEG file"), std::string::npos);
    WriteTurnPhoto(source / "5.jpg", 5, 120, 160);
    failsNaming5("turned on its side");

    // A target the failed export made is taken away again.
    r.target = fs::path(dir.Path()) / "new view";
    failsNaming5("into a new folder");
    EXPECT_FALSE(fs::exists(r.target));

    WriteTurnPhoto(source / "5.jpg", 5);
    r.target = target;
    int reports = 0;
    const SpinResult cancelled = ExportSpin(r, [&](const SpinProgress& p) {
        EXPECT_EQ(p.total, 8);
        return ++reports < 4;
    });
    EXPECT_EQ(cancelled.status, SpinStatus::kCancelled);
    EXPECT_EQ(Tree(target), earlier);
}

TEST_F(SpinExportTest, RefusedBeforeAnythingIsWritten) {
    const auto refused = [&](const SpinRequest& r, const std::string& expected) {
        const SpinResult result = ExportSpin(r);
        EXPECT_EQ(result.status, SpinStatus::kBadRequest) << expected;
        EXPECT_NE(result.message.find(expected), std::string::npos) << result.message;
    };
    SpinRequest r = Request();
    refused(r, "There are no JPEG photos in");
    r.source = source / "missing";
    refused(r, "does not exist");
    EXPECT_FALSE(fs::exists(target));

    WritePhotos(30);
    r = Request();
    r.turnMilliseconds = 500;
    refused(r, "A turn of 30 frames must take at least 0.60 seconds.");
    r = Request();
    r.formats.mp4 = true;
    r.ffmpeg = (fs::path(dir.Path()) / "no-such-ffmpeg").string();
    refused(r, "MP4 needs the ffmpeg program, which is not installed.");
    EXPECT_FALSE(fs::exists(target));

    // Exporting into the folder above the photos would replace them with
    // the viewer's frames folder.
    const fs::path shoot = fs::path(dir.Path()) / "shoot";
    fs::create_directories(shoot);
    fs::copy(source, shoot / "frames");
    r = Request();
    r.source = shoot / "frames";
    r.target = shoot;
    refused(r, "which holds the photos");
    EXPECT_EQ(ListTurnPhotos(shoot / "frames").size(), 30u);

    // Nor may an export throw away files of the user's own.
    fs::create_directories(target / "frames");
    std::ofstream(target / "frames" / "notes.txt") << "mine";
    refused(r = Request(), "holds files that are not frames");
    r.source = shoot / "frames";
    r.target = target;
    refused(r, "holds files that are not frames");
    EXPECT_EQ(Tree(target), (std::vector<std::string>{"frames", "frames/notes.txt"}));
}

TEST_F(SpinExportTest, TargetInsideTheSourceWithSpacesAndNonAsciiNames) {
    source = fs::path(dir.Path()) / "Šešir & kapa <2026>";
    target = source / "360° pogled";
    fs::create_directories(source);
    WritePhotos(6);
    const std::vector<fs::path> photos = ListTurnPhotos(source);
    const std::string third = ReadWholeFile(source / "3.jpg");

    SpinRequest r = Request();
    r.formats.webp = true;
    const SpinResult first = ExportSpin(r);
    ASSERT_EQ(first.status, SpinStatus::kDone) << first.message;
    EXPECT_EQ(Frames(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    const std::string page = ReadWholeFile(target / "index.html");
    EXPECT_NE(page.find("<title>\xc5\xa0"
                        "e\xc5\xa1"
                        "ir &amp; kapa &lt;2026&gt;"),
              std::string::npos)
        << page;

    // Again, into the same folder: the frames of the first export are not
    // taken for photos, and the photos are untouched.
    r.frames = {FrameChoice::Kind::kCount, 1, 3};
    ASSERT_EQ(ExportSpin(r).status, SpinStatus::kDone);
    EXPECT_EQ(Frames(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(ListTurnPhotos(source), photos);
    EXPECT_EQ(ReadWholeFile(source / "3.jpg"), third);
    EXPECT_EQ(Tree(target).size(), 3u + 4u);  // frames/, 3 frames, page, script, WebP
}

// A spin's crop is read from each photo alone, with the columns and rows
// around it skipped: it must be the very pixels the whole frame has there,
// whatever the scale the photo is decoded at, wherever the crop lies, and
// for a photo stored on its side too. The photos are fine grain, which the
// decoder's smoothing at a cut would show.
TEST(FramePipelineTest, APartOfEachFrameIsTheWholeFramesPixelsThere) {
    TurnFolders folders;
    RgbImage grain(997, 763);
    for (std::size_t i = 0; i < grain.pixels.size(); ++i) {
        grain.pixels[i] = static_cast<std::uint8_t>((i * 2654435761U) >> 24);
    }
    const fs::path upright = folders.source / "1.jpg";
    WriteJpeg(grain, upright, 90);
    const fs::path sideways = folders.source / "2.jpg";
    WriteSidewaysPhoto(sideways, 2);

    const auto frames = [](const fs::path& photo, PixelSize size, PixelRect part) {
        const JpegSize shape = ReadJpegSize(photo);
        FramePipeline pipeline({photo}, shape, size, 1, {}, {}, part);
        return pipeline.Next().value();
    };
    struct Case {
        fs::path photo;
        PixelSize size;
        PixelRect part;
    };
    for (const Case& c : {Case{upright, {997, 763}, {301, 77, 455, 600}},  // as stored
                          Case{upright, {640, 490}, {0, 0, 333, 490}},     // a left edge
                          Case{upright, {640, 490}, {129, 3, 511, 400}},   // a right edge
                          Case{upright, {400, 306}, {57, 91, 200, 150}},   // at a quarter
                          Case{sideways, {90, 120}, {10, 20, 50, 70}}}) {
        SCOPED_TRACE(c.photo.filename().string() + " at " + std::to_string(c.size.width));
        const RgbImage whole = frames(c.photo, c.size, {});
        const RgbImage part = frames(c.photo, c.size, c.part);
        ASSERT_EQ(part.width, c.part.width);
        ASSERT_EQ(part.height, c.part.height);
        int differing = 0;
        for (int y = 0; y < part.height; ++y) {
            const std::uint8_t* in = whole.row(c.part.top + y) + c.part.left * 3;
            differing += !std::equal(in, in + part.stride(), part.row(y));
        }
        EXPECT_EQ(differing, 0);
    }
}
