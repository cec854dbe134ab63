#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "finish/scaled_warp.h"
#include "finish/spin_framing.h"
#include "shot_measures.h"
#include "synthetic_shot.h"

namespace zentrivo {
namespace {

using testing::ProductKind;
using testing::RenderShot;
using testing::ShotSetup;

constexpr double kPi = 3.14159265358979323846;

double Angle(std::size_t frame, std::size_t frames) {
    return 2 * kPi * static_cast<double>(frame) / static_cast<double>(frames);
}

// The printed box's width in the frame as the generator draws it.
double BoxWidth(std::size_t frame, std::size_t frames) {
    return 120 * (0.75 + 0.25 * std::abs(std::cos(Angle(frame, frames))));
}

// A turn of a box whose width changes as it turns, its axis off the frame's
// middle, on the sweep with its plate.
std::vector<RgbImage> Turn(int frames, double axisX, RgbImage* plate) {
    std::vector<RgbImage> turn;
    for (int i = 0; i < frames; ++i) {
        ShotSetup setup;
        setup.axisX = axisX;
        setup.turn = Angle(static_cast<std::size_t>(i), static_cast<std::size_t>(frames));
        setup.seed = static_cast<unsigned>(10 + i);
        auto shot = RenderShot(setup);
        turn.push_back(std::move(shot.frame));
        if (plate) {
            *plate = std::move(shot.plate);
        }
    }
    return turn;
}

// Every frame of a finished spin on white is scaled this way; a tap read
// one pixel off, or a weight rounded the other way, moves or blurs the
// product. The scalings a spin meets: enlarged a little with the crop at a
// fraction of a pixel, as large, reduced after averaging, and a crop
// reaching past the frame's edge, in three channels and four.
TEST(SpinFinish, FramingReadsThePixelsOpenCVsWarpWould) {
    const std::vector<cv::Matx23d> scalings = {
        {1.0625, 0, 137.84375, 0, 1.0625, 54.96875},
        {1, 0, -12, 0, 1, 7},
        {0.997, 0, 3.3, 0, 1.004, -2.71},
        {2.5, 0, -40.2, 0, 2.5, -35.9},
        {1.31, 0, 150.5, 0, 1.31, 161.25},
    };
    cv::RNG random(7);
    std::vector<cv::Mat> sources;
    for (const int type : {CV_8UC3, CV_8UC4}) {
        cv::Mat noise(97, 83, type);
        random.fill(noise, cv::RNG::UNIFORM, 0, 256);
        sources.push_back(noise);
        // White but for a product and a lone pixel, as a finished frame.
        cv::Mat white(97, 83, type, cv::Scalar::all(255));
        noise(cv::Rect(20, 30, 40, 50)).copyTo(white(cv::Rect(21, 9, 40, 50)));
        white.ptr<std::uint8_t>(88)[3 * white.channels()] = 254;
        sources.push_back(white);
    }
    for (const cv::Mat& source : sources) {
        const int type = source.type();
        for (const cv::Matx23d& toOutput : scalings) {
            cv::Mat expected;
            cv::warpAffine(source, expected, toOutput, cv::Size(160, 150), cv::INTER_LINEAR,
                           cv::BORDER_CONSTANT, cv::Scalar::all(255));
            cv::Mat framed(150, 160, type);
            WarpScaled(source, toOutput, framed, 255);
            EXPECT_EQ(cv::norm(framed, expected, cv::NORM_INF), 0)
                << "channels " << source.channels() << ", scale " << toOutput(0, 0) << ", shift "
                << toOutput(0, 2) << ", " << toOutput(1, 2);
        }
    }
}

TEST(SpinFinish, FramesEveryTurnAlikeAroundTheAxis) {
    const FramingOptions options{0.85, 640, 480};
    for (const bool transparent : {false, true}) {
        SCOPED_TRACE(transparent ? "transparent" : "on white");
        RgbImage plate;
        const std::vector<RgbImage> turn = Turn(6, 185.5, &plate);
        const FinishedSpin spin = FinishSpin(turn, &plate, {false, transparent}, options);
        ASSERT_EQ(spin.frames.size(), turn.size());
        EXPECT_TRUE(spin.framing.anyProduct);
        // The tallest view fills 85 % of the limiting side, here the height,
        // as far as the soft edge lets its box be read.
        EXPECT_NEAR(spin.framing.scale * 0.6 * 300, 0.85 * 480, 0.02 * 408);
        // The widest view's width on the output, its soft edge included.
        const auto [firstLeft, firstRight] =
            testing::MarkedColumns(spin.frames[0].image, transparent);
        for (std::size_t i = 0; i < spin.frames.size(); ++i) {
            const FinishedSpinFrame& frame = spin.frames[i];
            EXPECT_TRUE(frame.hasProduct);
            EXPECT_FALSE(frame.touchesEdge);
            ASSERT_EQ(frame.image.width, 640);
            ASSERT_EQ(frame.image.height, 480);
            // The axis stays in the middle however wide the box turns, and
            // every view keeps the one scale: a narrower view is narrower by
            // just what the box's turn takes off.
            const auto [left, right] = testing::MarkedColumns(frame.image, transparent);
            EXPECT_NEAR((left + right) / 2.0, 320, 2) << "frame " << i;
            const double narrower =
                (BoxWidth(0, turn.size()) - BoxWidth(i, turn.size())) * spin.framing.scale;
            EXPECT_NEAR((firstRight - firstLeft) - (right - left), narrower, 3) << "frame " << i;
        }
    }
}

// The columns of the product's strong print, which no grey shadow has.
std::pair<int, int> PrintedColumns(const RgbaImage& image) {
    int left = image.width;
    int right = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.row(y) + x * 4;
            if (std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 60) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
        }
    }
    return {left, right};
}

TEST(SpinFinish, AKeptShadowStaysWholeInsideTheFrame) {
    // The soft shadow reaches well below the foot and past the sides: the
    // crop holds it all, the axis stays in the middle and the product still
    // fills about its share.
    RgbImage plate;
    const std::vector<RgbImage> turn = Turn(6, 185.5, &plate);
    // The product's height at 85 % on a roomy output; on a small square one
    // the shadow, wider than the product, takes some of it.
    const std::pair<FramingOptions, double> outputs[] = {{{0.85, 640, 480}, 0.8},
                                                         {{0.85, 240, 240}, 0.7}};
    for (const auto& [options, least] : outputs) {
        SCOPED_TRACE(options.width);
        const FinishedSpin spin = FinishSpin(turn, &plate, {true, false}, options);
        ASSERT_EQ(spin.frames.size(), turn.size());
        EXPECT_GT(spin.framing.scale * 0.6 * 300, least * options.height);
        EXPECT_LT(spin.framing.scale * 0.6 * 300, 0.87 * options.height);
        for (std::size_t i = 0; i < spin.frames.size(); ++i) {
            SCOPED_TRACE(i);
            const RgbaImage& image = spin.frames[i].image;
            int grey = 0;
            for (int y = 0; y < image.height; ++y) {
                const int step = y == 0 || y == image.height - 1 ? 1 : image.width - 1;
                for (int x = 0; x < image.width; x += step) {
                    const std::uint8_t* p = image.row(y) + x * 4;
                    grey += p[0] != 255 || p[1] != 255 || p[2] != 255;
                }
            }
            EXPECT_EQ(grey, 0);
            const auto [left, right] = PrintedColumns(image);
            EXPECT_NEAR((left + right) / 2.0, options.width / 2.0, 2);
        }
    }
}

TEST(SpinFinish, CentresTheAxisNotEachViewsBox) {
    // The mug's box is 104 px wide, its body on the axis and its handle on
    // one side: on the right in the first view, on the left in the second.
    std::vector<RgbImage> turn;
    RgbImage plate;
    for (const double angle : {0.0, kPi}) {
        ShotSetup setup;
        setup.kind = ProductKind::Handle;
        setup.turn = angle;
        auto shot = RenderShot(setup);
        turn.push_back(std::move(shot.frame));
        plate = std::move(shot.plate);
    }
    const FinishedSpin spin = FinishSpin(turn, &plate, {false, true}, {0.85, 480, 480});
    EXPECT_NEAR(spin.framing.centreX, 200, 1);
    // Each view's box sits off the middle by half of what the handle adds.
    const double offset = 17 * spin.framing.scale;
    const auto [rightLeft, rightRight] = testing::MarkedColumns(spin.frames[0].image, true);
    const auto [leftLeft, leftRight] = testing::MarkedColumns(spin.frames[1].image, true);
    EXPECT_NEAR((rightLeft + rightRight) / 2.0, 240 + offset, 3);
    EXPECT_NEAR((leftLeft + leftRight) / 2.0, 240 - offset, 3);
}

TEST(SpinFinish, SaysWhichFramesShowNoProductAndNeverCropsToNothing) {
    RgbImage plate;
    std::vector<RgbImage> turn = Turn(2, 200, &plate);
    ShotSetup empty;
    empty.kind = ProductKind::None;
    empty.seed = 77;
    turn.push_back(RenderShot(empty).frame);
    const FramingOptions options{0.85, 300, 300};
    const RgbImage* const plates[] = {&plate, nullptr};
    for (const RgbImage* withPlate : plates) {
        const FinishedSpin spin = FinishSpin(turn, withPlate, {}, options);
        ASSERT_EQ(spin.frames.size(), 3u);
        EXPECT_TRUE(spin.frames[0].hasProduct);
        EXPECT_FALSE(spin.frames[2].hasProduct);
        ASSERT_EQ(spin.frames[2].image.width, 300);
        for (std::size_t i = 0; i < spin.frames[2].image.pixels.size(); ++i) {
            ASSERT_EQ(spin.frames[2].image.pixels[i], 255) << "byte " << i;
        }
    }
    // No product anywhere: the whole frame, fitted.
    const FinishedSpin bare = FinishSpin({turn[2]}, &plate, {}, options);
    EXPECT_FALSE(bare.framing.anyProduct);
    EXPECT_FALSE(bare.frames[0].hasProduct);
    EXPECT_DOUBLE_EQ(bare.framing.scale, 300.0 / 400);
    EXPECT_DOUBLE_EQ(bare.framing.centreX, 200);
}

TEST(SpinFinish, FlagsAProductCutByTheFrameEdge) {
    ShotSetup setup;
    setup.axisX = 30;  // half the box beyond the left edge
    const auto shot = RenderShot(setup);
    const RgbImage* const plates[] = {&shot.plate, nullptr};
    for (const RgbImage* plate : plates) {
        const FinishedSpin spin = FinishSpin({shot.frame}, plate, {}, {0.85, 300, 300});
        ASSERT_EQ(spin.frames.size(), 1u);
        EXPECT_TRUE(spin.frames[0].hasProduct);
        EXPECT_TRUE(spin.frames[0].touchesEdge);
    }
}

}  // namespace
}  // namespace zentrivo
