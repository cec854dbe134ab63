#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include <opencv2/imgproc.hpp>

#include "finish/frame_decisions.h"
#include "finish/frame_finish.h"
#include "finish/image_mats.h"
#include "finish/product_box.h"
#include "shot_measures.h"
#include "spin/image_resize.h"
#include "synthetic_shot.h"

namespace zentrivo {
namespace {

using testing::ProductKind;
using testing::RenderShot;
using testing::ShotSetup;

// Any shadow in the truth at all: where it is kept, grey is right.
constexpr float kNoShadow = 1e-6f;

struct Kind {
    ProductKind kind;
    const char* name;
    double overlapWithPlate;
    double overlapWithoutPlate;
};

// The handle's opening is nearly 1 % of the bare sweep, so a filled opening
// fails both the overlap and the white share.
const Kind kKinds[] = {
    {ProductKind::Textured, "textured", 0.98, 0.98},
    {ProductKind::DarkGlossy, "dark glossy", 0.98, 0.98},
    {ProductKind::WhiteOnWhite, "white on white", 0.95, 0.95},
    {ProductKind::Handle, "handle", 0.98, 0.98},
};

TEST(FrameFinish, CutsEveryKindOfProductWithAndWithoutAPlate) {
    for (const Kind& kind : kKinds) {
        ShotSetup setup;
        setup.kind = kind.kind;
        const auto shot = RenderShot(setup);
        for (const bool withPlate : {true, false}) {
            SCOPED_TRACE(std::string(kind.name) + (withPlate ? ", plate" : ", no plate"));
            const RgbImage* plate = withPlate ? &shot.plate : nullptr;
            const FinishedFrame dropped = FinishFrame(shot.frame, plate, {false, false});
            const FinishedFrame kept = FinishFrame(shot.frame, plate, {true, false});
            const double overlap = testing::Overlap(shot.product, dropped.product);
            const double whiteDropped =
                testing::WhiteShare(dropped.image, shot.product, shot.shadow, 2.0f);
            const double whiteKept =
                testing::WhiteShare(kept.image, shot.product, shot.shadow, kNoShadow);
            std::printf("%-15s %-9s overlap %.4f  white (shadow dropped) %.4f  (kept) %.4f\n",
                        kind.name, withPlate ? "plate" : "no plate", overlap, whiteDropped,
                        whiteKept);
            EXPECT_GE(overlap, withPlate ? kind.overlapWithPlate : kind.overlapWithoutPlate);
            EXPECT_TRUE(dropped.hasProduct);
            EXPECT_FALSE(dropped.touchesEdge);
            EXPECT_GE(whiteDropped, 0.995);
            EXPECT_GE(whiteKept, 0.995);
        }
    }
}

TEST(FrameFinish, KeepsTheContactShadowAsASoftGreyOrDropsIt) {
    const auto shot = RenderShot({});
    const FinishedFrame onWhite = FinishFrame(shot.frame, &shot.plate, {true, false});
    const FinishedFrame transparent = FinishFrame(shot.frame, &shot.plate, {true, true});
    const FinishedFrame dropped = FinishFrame(shot.frame, &shot.plate, {false, true});
    double error = 0;
    int inShadow = 0;
    int clearOnceDropped = 0;
    for (std::size_t i = 0; i < shot.product.size(); ++i) {
        const std::uint8_t* white = onWhite.image.pixels.data() + i * 4;
        const std::uint8_t* clear = transparent.image.pixels.data() + i * 4;
        // The transparent frame laid on white is the frame on white.
        for (int c = 0; c < 3; ++c) {
            const double laid = clear[c] * clear[3] / 255.0 + 255 - clear[3];
            ASSERT_NEAR(laid, white[c], 1.5) << "pixel " << i;
        }
        if (shot.product[i] == 0 && shot.shadow[i] > 0.15f) {
            // Grey as deep as the shadow was, and nothing once dropped.
            error += std::abs((255 - white[1]) / 255.0 - shot.shadow[i]);
            ++inShadow;
            clearOnceDropped += dropped.image.pixels[i * 4 + 3] == 0;
        }
    }
    ASSERT_GT(inShadow, 100);
    EXPECT_LT(error / inShadow, 0.04);
    // All but the row at the product's very foot, where the lens blurs
    // product and shadow together.
    EXPECT_GE(static_cast<double>(clearOnceDropped) / inShadow, 0.9);
}

TEST(FrameFinish, TakesThePlateOnlyWhenItIsTheFrameSize) {
    const auto shot = RenderShot({});
    RgbImage smaller(shot.frame.width / 2, shot.frame.height / 2);
    const FinishedFrame withSmaller = FinishFrame(shot.frame, &smaller, {});
    const FinishedFrame without = FinishFrame(shot.frame, nullptr, {});
    EXPECT_EQ(withSmaller.product, without.product);
    EXPECT_EQ(withSmaller.image.pixels, without.image.pixels);
}

// The box's sides are where the product's share, averaged over nine pixels
// along each line, crosses one half. A wire standing upright passes that
// down its columns but across no row: it has no box then, and every side is
// read within the frame.
TEST(FrameFinish, AWireGivesNoBoxRatherThanSidesReadPastTheFrame) {
    cv::Mat alpha(40, 60, CV_32F, cv::Scalar(0));
    alpha(cv::Rect(30, 5, 3, 30)).setTo(1);
    EXPECT_FALSE(BoxOf(alpha).has_value());

    alpha(cv::Rect(10, 10, 20, 12)).setTo(1);
    const auto box = BoxOf(alpha);
    ASSERT_TRUE(box.has_value());
    EXPECT_NEAR(box->left, 10, 0.5);
    EXPECT_NEAR(box->right, 33, 0.5);
    // Where it stands on its own, the wire moves no side.
    EXPECT_NEAR(box->top, 10, 0.5);
    EXPECT_NEAR(box->bottom, 22, 0.5);
}

// A spin decides its large frames made far smaller, where a thin part is a
// pixel or two wide, as JPEG's ringing is in a photo: a cable or a strap
// must still be finished with the product, not cut off at its side.
TEST(FrameFinish, AThinDarkPartStaysWhenTheFrameIsDecidedMuchSmaller) {
    ShotSetup setup;
    setup.width = 1600;
    setup.height = 1068;
    setup.axisX = 800;
    setup.scale = 2.5;
    auto shot = RenderShot(setup);
    // A black rod 8 pixels thick (2 where it is decided) from the product's
    // right side, half way up.
    int top = setup.height;
    int bottom = 0;
    int right = 0;
    for (int y = 0; y < setup.height; ++y) {
        for (int x = 0; x < setup.width; ++x) {
            if (shot.product[static_cast<std::size_t>(y) * setup.width + x] >= 128) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                right = std::max(right, x);
            }
        }
    }
    const int rodTop = (top + bottom) / 2;
    cv::Mat frame = BytesOf(shot.frame);
    cv::rectangle(frame, cv::Rect(right - 20, rodTop, 240, 8), cv::Scalar(20, 20, 20), cv::FILLED);

    const FrameDecisions decided = DecideFrameAt(shot.frame, 400, 267, 800, nullptr, false);
    const PixelSize work{1280, 854};
    const FrameRegion where = DecidedPart(decided, work.width, work.height);
    const RgbImage part =
        ResizePartByArea(shot.frame, 0, 0, {setup.width, setup.height}, work, where);
    const FinishedFrame finished =
        FinishDecided(part, where, work.width, work.height, nullptr, decided, {false, true});
    // Half way along the rod, all of its width is product.
    const int x = (right + 100) * work.width / setup.width - where.left;
    int kept = 0;
    for (int y = 0; y < finished.image.height; ++y) {
        kept += finished.image.row(y)[4 * x + 3] >= 128 ? 1 : 0;
    }
    EXPECT_GE(kept, 5);
    EXPECT_LE(kept, 8);
}

// A frame's decided mask and shadow are enlarged only over the part of it
// that is finished: that part must hold the very values of the whole
// enlargement, wherever it lies and whatever the scale, or the product's
// edge would move from one frame of a spin to the next.
TEST(FrameFinish, AnEnlargedPartIsThatPartOfTheWholeEnlargement) {
    cv::RNG random(7);
    const std::pair<cv::Size, cv::Size> scales[] = {
        {{750, 500}, {2400, 1600}}, {{751, 499}, {1500, 1000}}, {{375, 250}, {1136, 757}}};
    for (const auto& [small, big] : scales) {
        cv::Mat mask(small, CV_8U);
        cv::Mat shadow(small, CV_32F);
        random.fill(mask, cv::RNG::UNIFORM, 0, 256);
        random.fill(shadow, cv::RNG::UNIFORM, 0.0, 1.0);
        const cv::Mat wholeMask = Resized(mask, big, cv::INTER_LINEAR);
        const cv::Mat wholeShadow = Resized(shadow, big, cv::INTER_LINEAR);
        for (cv::Rect region :
             {cv::Rect(cv::Point(), big), cv::Rect(0, 0, 37, 41),
              cv::Rect(big.width - 53, big.height - 29, 53, 29), cv::Rect(301, 207, 1001, 603)}) {
            region &= cv::Rect(cv::Point(), big);
            SCOPED_TRACE(std::to_string(big.width) + " " + std::to_string(region.x));
            EXPECT_EQ(cv::norm(ResizedPart(mask, big, region), wholeMask(region), cv::NORM_INF), 0);
            EXPECT_EQ(cv::norm(ResizedPart(shadow, big, region), wholeShadow(region), cv::NORM_INF),
                      0);
        }
    }
}

}  // namespace
}  // namespace zentrivo
