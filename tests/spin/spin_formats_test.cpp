// Each format of an export decoded back as a player would.
#include <gtest/gtest.h>
#include <webp/demux.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "spin/ffmpeg_process.h"
#include "spin/jpeg_file.h"
#include "spin/spin_export.h"
#include "turn_photos.h"

using namespace zentrivo;
namespace fs = std::filesystem;

namespace {

struct SpinFormatsTest : ::testing::Test, TurnFolders {
    SpinFormatsTest() { WritePhotos(12); }

    SpinRequest Request(SpinFormats formats) const {
        SpinRequest r;
        r.source = source;
        r.target = target;
        r.longEdge = 81;  // odd both ways: 81 x 61
        r.turnMilliseconds = 3000;
        r.formats = formats;
        return r;
    }
};

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p) != nullptr) {
            out += buffer;
        }
        ::pclose(p);
    }
    return out;
}

}  // namespace

TEST_F(SpinFormatsTest, WebpLoopsForEverWithEveryFrameInOrderOverOneTurn) {
    SpinRequest r = Request({false, true, false});
    r.reverse = true;
    const SpinResult result = ExportSpin(r);
    ASSERT_EQ(result.status, SpinStatus::kDone) << result.message;
    EXPECT_EQ(Tree(target), std::vector<std::string>{"spin.webp"});

    const std::string bytes = ReadWholeFile(target / "spin.webp");
    WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    ASSERT_NE(decoder, nullptr);
    WebPAnimInfo info;
    ASSERT_TRUE(WebPAnimDecoderGetInfo(decoder, &info));
    EXPECT_EQ(info.frame_count, 12u);
    EXPECT_EQ(info.canvas_width, 81u);
    EXPECT_EQ(info.canvas_height, 61u);
    EXPECT_EQ(info.loop_count, 0u);  // for ever

    std::vector<int> shown;
    int end = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t* rgba = nullptr;
        ASSERT_TRUE(WebPAnimDecoderGetNext(decoder, &rgba, &end));
        const uint8_t* middle = rgba + (30 * 81 + 40) * 4;
        shown.push_back(PhotoNumber(middle));
    }
    WebPAnimDecoderDelete(decoder);
    EXPECT_EQ(shown, (std::vector<int>{1, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_EQ(end, 3000);  // the last frame ends when the turn does
}

TEST_F(SpinFormatsTest, Mp4HasEveryFrameAndAFailingFfmpegIsReported) {
    // A stand-in that fails as an ffmpeg without H.264 would, before
    // reading its input: the export must say so and leave nothing.
    const fs::path broken = fs::path(dir.Path()) / "ffmpeg";
    std::ofstream(broken) << "#!/bin/sh\necho 'Unknown encoder libx264' >&2\nexit 1\n";
    fs::permissions(broken, fs::perms::owner_all);
    SpinRequest r = Request({true, false, true});
    r.ffmpeg = broken.string();
    const SpinResult failed = ExportSpin(r);
    EXPECT_EQ(failed.status, SpinStatus::kFailed);
    EXPECT_NE(failed.message.find("Unknown encoder libx264"), std::string::npos) << failed.message;
    EXPECT_FALSE(fs::exists(target));

    if (!FindProgram("ffmpeg") || !FindProgram("ffprobe")) {
        GTEST_SKIP() << "ffmpeg is not installed, so the MP4 it makes is not checked";
    }
    const SpinResult made = ExportSpin(Request({false, false, true}));
    ASSERT_EQ(made.status, SpinStatus::kDone) << made.message;
    EXPECT_EQ(Tree(target), std::vector<std::string>{"spin.mp4"});
    // Every frame, one turn in 3 s, the odd sides made even.
    EXPECT_EQ(Output("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                     "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of csv=p=0 '" +
                     (target / "spin.mp4").string() + "'"),
              "h264,82,62,4/1,12\n");
}
