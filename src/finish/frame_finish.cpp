#include "frame_finish.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "backdrop.h"
#include "compose.h"
#include "decided_frame.h"
#include "image_mats.h"
#include "product_box.h"
#include "product_edge.h"
#include "product_evidence.h"
#include "soft_edge.h"

namespace zentrivo {
namespace {

// The backdrop over `region` of a frame of `size`: the surface fitted to
// the border, or the plate (CV_32FC3, any size of the frame's shape) as it
// was when the frame was decided. Only the edge and the product read it,
// all within `read` (of the region); a fitted surface is worked out there
// alone, and the rest of the region is left as it comes.
cv::Mat BackdropAt(const cv::Size& size, const cv::Rect& region, const cv::Rect& read,
                   const FrameDecisions::Held& decided, const cv::Mat& plate) {
    if (!decided.surface.empty()) {
        cv::Mat backdrop(region.size(), CV_32FC3);
        cv::Mat within = backdrop(read);
        SurfaceInto(decided.surface, size, read + region.tl(), within);
        return backdrop;
    }
    CV_Assert(!plate.empty());
    const cv::Mat colour = PlateColour(Resized(plate, decided.size, cv::INTER_AREA));
    return ResizedPart(colour, size, region);
}

cv::Mat FloatPlate(const RgbImage* plate) {
    return plate != nullptr ? ToFloatMat(*plate) : cv::Mat();
}

// What FinishImage tells beyond where the product is.
enum class Told {
    kWhereOnly,
    kPicture,
    kPictureAndCoverage,  // and each pixel's share of product
};

// `image` is `region` of a frame of `size`: CV_32FC3, or its bytes
// (CV_8UC3), of which only what the edge reads is made floats. With a
// picture, the floats are changed where the edge mixes product and
// backdrop (to the product's colour), so they must be no one else's.
FinishedFrame FinishImage(cv::Mat image, const cv::Size& size, const cv::Rect& region,
                          const cv::Mat& plate, const FrameDecisions::Held& decided,
                          bool keepShadow, bool transparent, Told told) {
    // Back at the frame's size the backdrop and the shadow, being smooth,
    // are interpolated; the mask's edge falls where its interpolation
    // crosses the half, and is then read from the sharp frame.
    cv::Mat shadow;
    if (keepShadow && !decided.shadow.empty()) {
        shadow = ResizedPart(decided.WholeShadow(), size, region);
    }
    const cv::Mat mask = ResizedPart(decided.WholeMask(), size, region) >= 128;
    const int reach =
        decided.size == size
            ? 0
            : 1 + static_cast<int>(std::ceil(static_cast<double>(size.width) / decided.size.width));
    // The backdrop is read on the edge's band and under the product alone.
    const cv::Rect read = EdgeShareArea(cv::boundingRect(mask), reach, region.size());
    const cv::Mat backdrop = BackdropAt(size, region, read, decided, plate);
    if (image.type() == CV_8UC3) {
        // Beyond what the edge reads, the product's colour is read only
        // where there is product (Compose), and that is within it too.
        cv::Mat floats(image.size(), CV_32FC3);
        const cv::Rect near = EdgeReadArea(cv::boundingRect(mask), reach, image.size());
        cv::Mat within = floats(near);
        image(near).convertTo(within, CV_32FC3);
        image = floats;
    }
    const SoftEdge edge = RefineEdgeNearProduct(image, mask, backdrop, decided.threshold, reach);

    FinishedFrame finished;
    if (told != Told::kWhereOnly) {
        for (const auto& [at, colour] : edge.colours) {
            image.at<cv::Vec3f>(at) = colour;
        }
        finished.image = Compose(image, edge.alpha, backdrop, shadow, transparent);
    }
    DescribeProduct(edge.alpha, shadow, region.tl(), told == Told::kPictureAndCoverage, finished);
    return finished;
}

// The part of a frame of `size` that holds the decided mask and shadow, and
// beyond them what the edge's reading sees (its margin, the enlargement's
// reach, a blur), so that the part reads as the whole frame would; then the
// product touches the part's side only where that is the frame's. Empty
// when nothing was decided to be there.
cv::Rect NearDecided(const cv::Size& size, const FrameDecisions::Held& decided) {
    if (decided.near.empty()) {
        return {};
    }
    const double x = static_cast<double>(size.width) / decided.size.width;
    const double y = static_cast<double>(size.height) / decided.size.height;
    const int margin = 48 + static_cast<int>(std::ceil(x));
    const cv::Rect near(static_cast<int>(std::floor(decided.near.x * x)) - margin,
                        static_cast<int>(std::floor(decided.near.y * y)) - margin,
                        static_cast<int>(std::ceil(decided.near.width * x)) + 2 * margin,
                        static_cast<int>(std::ceil(decided.near.height * y)) + 2 * margin);
    return near & cv::Rect(cv::Point(), size);
}

}  // namespace

void PrepareFinishing() {
    PrepareColourTables();
}

FinishedFrame FindDecidedProduct(const cv::Mat& image, const cv::Mat& plate,
                                 const FrameDecisions::Held& decided, bool shadows) {
    const cv::Rect region = NearDecided(image.size(), decided);
    if (region.empty()) {
        return {};
    }
    return FinishImage(image(region), image.size(), region, plate, decided, shadows, false,
                       Told::kWhereOnly);
}

FinishedFrame FinishFrame(const RgbImage& frame, const RgbImage* plate,
                          const FinishOptions& options) {
    cv::Mat image = ToFloatMat(frame);  // ours: finishing changes it
    const cv::Mat plateImage = PlateOfFrame(frame, plate);
    const FrameDecisions decisions =
        DecideImage(image, plateImage, DecidedSize(image.size()), options.keepShadow, nullptr);
    return FinishImage(image, image.size(), cv::Rect(cv::Point(), image.size()), plateImage,
                       decisions.held(), options.keepShadow, options.transparent,
                       Told::kPictureAndCoverage);
}

FinishedFrame FinishDecided(const RgbImage& part, const FrameRegion& where, int frameWidth,
                            int frameHeight, const RgbImage* plate, const FrameDecisions& decisions,
                            const FinishOptions& options) {
    const cv::Size size(frameWidth, frameHeight);
    const cv::Rect region = where.empty()
                                ? cv::Rect(cv::Point(), size)
                                : cv::Rect(where.left, where.top, where.width, where.height);
    CV_Assert(part.width == region.width && part.height == region.height);
    return FinishImage(BytesOf(part), size, region, FloatPlate(plate), decisions.held(),
                       options.keepShadow, options.transparent, Told::kPicture);
}

FrameRegion DecidedPart(const FrameDecisions& decisions, int frameWidth, int frameHeight) {
    const cv::Rect region = NearDecided(cv::Size(frameWidth, frameHeight), decisions.held());
    return {region.x, region.y, region.width, region.height};
}

}  // namespace zentrivo
