// zentrivo-spin finishing a turn of rendered studio photos, as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <webp/demux.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "shot_measures.h"
#include "spin/jpeg_file.h"
#include "synthetic_shot.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace zentrivo {
namespace {

using testing::ProductKind;
using testing::RenderShot;
using testing::ShotSetup;

struct Outcome {
    int exit = -1;
    std::string out;
    std::string err;
};

Outcome Spin(const TempDir& dir, const std::string& arguments) {
    const std::string command = std::string("'") + ZENTRIVO_SPIN + "' " + arguments + " >'" +
                                dir.File("out.txt") + "' 2>'" + dir.File("err.txt") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Read("out.txt"), dir.Read("err.txt")};
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

// How many pixels of each frame of the animated WebP at `webp` differ
// clearly (by more than a quarter of the range in a channel) from the
// viewer's frame of that number in `frames`, which shows the same picture
// through a JPEG.
std::vector<int> WebpFramesOff(const fs::path& webp, const fs::path& frames) {
    const std::string bytes = ReadWholeFile(webp);
    const WebPData data{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    std::vector<int> off;
    while (decoder != nullptr && WebPAnimDecoderHasMoreFrames(decoder)) {
        std::uint8_t* shown = nullptr;
        int end = 0;
        if (!WebPAnimDecoderGetNext(decoder, &shown, &end)) {
            break;
        }
        const RgbImage frame =
            DecodeJpegAtLeast(frames / (std::to_string(off.size() + 1) + ".jpg"), 100000);
        int count = 0;
        for (int i = 0; i < frame.width * frame.height; ++i) {
            for (int c = 0; c < 3; ++c) {
                count += std::abs(frame.pixels[i * 3 + c] - shown[i * 4 + c]) > 64;
            }
        }
        off.push_back(count);
    }
    WebPAnimDecoderDelete(decoder);
    return off;
}

// The alpha of a PNG still's corners, read back through zlib: the writer
// puts one IDAT after the header, rows unfiltered.
std::vector<int> CornerAlphas(const std::string& png, std::uint32_t width, std::uint32_t height) {
    const std::uint32_t packed = BigEndian(png, 33);
    EXPECT_EQ(png.substr(37, 4), "IDAT");
    std::vector<std::uint8_t> rows((width * 4 + 1) * height);
    uLongf size = rows.size();
    EXPECT_EQ(
        uncompress(rows.data(), &size, reinterpret_cast<const Bytef*>(png.data() + 41), packed),
        Z_OK);
    const auto alpha = [&](std::uint32_t x, std::uint32_t y) {
        return static_cast<int>(rows[y * (width * 4 + 1) + 1 + x * 4 + 3]);
    };
    return {alpha(0, 0), alpha(width - 1, 0), alpha(0, height - 1), alpha(width - 1, height - 1)};
}

// `views` photos of a turn as 1.jpg ... in `photos`: a textured box turned
// by i / views of the way and seeded from `seed`, then as `adjust` sets
// view i; the clean plate into `plate`, if named.
void WriteTurn(const fs::path& photos, int views, unsigned seed, const fs::path& plate,
               const std::function<void(int, ShotSetup&)>& adjust) {
    fs::create_directories(photos);
    for (int i = 0; i < views; ++i) {
        ShotSetup setup;
        setup.turn = 2 * 3.14159265358979 * i / views;
        setup.seed = seed + static_cast<unsigned>(i);
        adjust(i, setup);
        const auto shot = RenderShot(setup);
        WriteJpeg(shot.frame, photos / (std::to_string(i + 1) + ".jpg"), 95);
        if (i == 0 && !plate.empty()) {
            WriteJpeg(shot.plate, plate, 95);
        }
    }
}

// Six views of a turn, the fourth of the empty table, and the clean plate.
// On white the shadow is kept, then dropped: either way the stills' border
// is pure white, a kept shadow being held whole inside the crop.
TEST(FinishExport, ASpinOnWhiteAndTransparentIsFramedAlikeAndNamesTheEmptyView) {
    TempDir dir;
    const fs::path photos = fs::path(dir.Path()) / "turn";
    const fs::path view = fs::path(dir.Path()) / "view";
    WriteTurn(photos, 6, 20, fs::path(dir.Path()) / "plate.jpg", [](int i, ShotSetup& setup) {
        setup.kind = i == 3 ? ProductKind::None : ProductKind::Textured;
        setup.axisX = 185;
    });
    const std::string folders = "'" + photos.string() + "' '" + view.string() + "' --quiet";
    const std::string emptyView =
        "zentrivo-spin: Frame 4 (4.jpg) looks wrong: no product was found.\n";

    Outcome run;
    for (const std::string shadow : {"keep", "drop"}) {
        SCOPED_TRACE(shadow);
        run = Spin(dir, folders + " --background white --shadow " + shadow +
                            " --framing spin --stills --size 240 --plate '" +
                            dir.File("plate.jpg") + "'");
        ASSERT_EQ(run.exit, 0) << run.err;
        EXPECT_EQ(run.out, (view / "frames").string() + "\n" + (view / "spin.js").string() + "\n" +
                               (view / "index.html").string() + "\n" +
                               (view / "spin.webp").string() + "\n" + (view / "stills").string() +
                               "\n");
        EXPECT_EQ(run.err, emptyView);
        // The finished parts kept between the passes go with the export's
        // hidden folder: nothing but what was published is left.
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(view)) {
            left.push_back(entry.path().filename().string());
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"frames", "index.html", "spin.js", "spin.webp",
                                                  "stills"}));
        // Each frame of the animation is laid over the one before: where the
        // product was and is no more, it must show white, not what was there.
        EXPECT_EQ(WebpFramesOff(view / "spin.webp", view / "frames"), std::vector<int>(6, 0));
        for (int n = 1; n <= 6; ++n) {
            SCOPED_TRACE(n);
            const fs::path still = view / "stills" / (std::to_string(n) + ".jpg");
            ASSERT_TRUE(fs::is_regular_file(still));
            const RgbImage image = DecodeJpegAtLeast(still, 100000);
            ASSERT_EQ(image.width, 240);
            ASSERT_EQ(image.height, 240);
            EXPECT_EQ(
                DecodeJpegAtLeast(view / "frames" / (std::to_string(n) + ".jpg"), 100000).width,
                240);
            int grey = 0;
            for (int i = 0; i < 240; ++i) {
                for (const auto& [x, y] : {std::pair{i, 0}, {i, 239}, {0, i}, {239, i}}) {
                    const std::uint8_t* p = image.row(y) + x * 3;
                    grey += p[0] != 255 || p[1] != 255 || p[2] != 255;
                }
            }
            EXPECT_EQ(grey, 0);
        }
    }

    // Again, transparent: the stills become PNGs with alpha and replace the
    // earlier ones; a bad word is refused before anything is written.
    run = Spin(dir, folders +
                        " --background transparent --framing spin --stills "
                        "--size 200 --formats webp");
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.err, emptyView);
    EXPECT_FALSE(fs::exists(view / "stills" / "1.jpg"));
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        const std::string png = ReadWholeFile(view / "stills" / (std::to_string(n) + ".png"));
        ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(png.substr(12, 4), "IHDR");
        EXPECT_EQ(BigEndian(png, 16), 200u);
        EXPECT_EQ(BigEndian(png, 20), 200u);
        EXPECT_EQ(png[25], 6);  // RGBA
        EXPECT_EQ(CornerAlphas(png, 200, 200), (std::vector<int>{0, 0, 0, 0}));
    }
    run = Spin(dir, folders + " --background grey");
    EXPECT_EQ(run.exit, 2);
    EXPECT_EQ(run.err,
              "zentrivo-spin: --background takes as-shot, white or transparent, not \"grey\".\n"
              "Try zentrivo-spin --help.\n");
    run = Spin(dir, folders + " --shadow drop");
    EXPECT_EQ(run.exit, 2);
    EXPECT_EQ(run.err,
              "zentrivo-spin: The shadow can be dropped only on a white or transparent "
              "background.\n");
}

// Photos larger than the frames are first searched at a smaller size for
// the product's place; the crop must come out as for photos read whole:
// centred on the axis, the product filling 85 % of the height.
TEST(FinishExport, LargePhotosAreFramedAroundTheAxis) {
    TempDir dir;
    const fs::path photos = fs::path(dir.Path()) / "turn";
    const fs::path view = fs::path(dir.Path()) / "view";
    WriteTurn(photos, 4, 40, {}, [](int, ShotSetup& setup) {
        setup.width = 1600;
        setup.height = 1200;
        setup.axisX = 800;
        setup.scale = 2.5;
    });
    const Outcome run = Spin(dir, "'" + photos.string() + "' '" + view.string() +
                                      "' --quiet --formats html --background white --shadow drop "
                                      "--framing spin --size 1200 --stills");
    ASSERT_EQ(run.exit, 0) << run.err;
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        const RgbImage still =
            DecodeJpegAtLeast(view / "stills" / (std::to_string(n) + ".jpg"), 100000);
        ASSERT_EQ(still.width, 1200);
        ASSERT_EQ(still.height, 1200);
        RgbaImage image(still.width, still.height);
        int top = still.height;
        int bottom = 0;
        for (int y = 0; y < still.height; ++y) {
            for (int x = 0; x < still.width; ++x) {
                const std::uint8_t* p = still.row(y) + x * 3;
                std::copy_n(p, 3, image.row(y) + x * 4);
                if (p[0] < 250 || p[1] < 250 || p[2] < 250) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y + 1);
                }
            }
        }
        const auto [left, right] = testing::MarkedColumns(image, false);
        EXPECT_NEAR((left + right) / 2.0, 600, 2);
        EXPECT_NEAR((top + bottom) / 2.0, 600, 2);
        EXPECT_NEAR(bottom - top, 0.85 * 1200, 6);
    }
}

}  // namespace
}  // namespace zentrivo
