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
#include "soft_edge.h"

namespace zentrivo {
namespace {

// The backdrop over `region` of a frame of `size`: the surface fitted to
// the border, or the plate as it was when the frame was decided.
cv::Mat BackdropAt(const cv::Size& size, const cv::Rect& region,
                   const FrameDecisions::Held& decided, const RgbImage* plate) {
    if (!decided.surface.empty()) {
        return SurfaceOver(decided.surface, size, region);
    }
    CV_Assert(plate != nullptr);
    const cv::Mat colour = PlateColour(Resized(ToFloatMat(*plate), decided.size, cv::INTER_AREA));
    return Resized(colour, size, cv::INTER_LINEAR)(region);
}

// `image` (CV_32FC3) is `region` of a frame of `size`.
FinishedFrame FinishImage(const cv::Mat& image, const cv::Size& size, const cv::Rect& region,
                          const RgbImage* plate, const FrameDecisions::Held& decided,
                          const FinishOptions& options, bool describe) {
    // Back at the frame's size the backdrop and the shadow, being smooth,
    // are interpolated; the mask's edge falls where its interpolation
    // crosses the half, and is then read from the sharp frame.
    const cv::Mat backdrop = BackdropAt(size, region, decided, plate);
    cv::Mat shadow;
    if (options.keepShadow && !decided.shadow.empty()) {
        shadow = Resized(decided.WholeShadow(), size, cv::INTER_LINEAR)(region);
    }
    const cv::Mat mask = Resized(decided.WholeMask(), size, cv::INTER_LINEAR)(region) >= 128;
    const int reach =
        decided.size == size
            ? 0
            : 1 + static_cast<int>(std::ceil(static_cast<double>(size.width) / decided.size.width));
    const SoftEdge edge = RefineEdgeNearProduct(image, mask, backdrop, decided.threshold, reach);

    FinishedFrame finished;
    finished.image = Compose(edge.colour, edge.alpha, backdrop, shadow, options.transparent);
    if (describe) {
        DescribeProduct(edge.alpha, shadow, region.tl(), finished);
    }
    return finished;
}

}  // namespace

FinishedFrame FinishFrame(const RgbImage& frame, const RgbImage* plate,
                          const FinishOptions& options) {
    const cv::Mat image = ToFloatMat(frame);
    const cv::Mat plateImage = PlateOfFrame(frame, plate);
    return FinishDecided(
        frame, plate,
        DecideImage(image, plateImage, DecidedSize(image.size()), options.keepShadow, nullptr),
        options);
}

FinishedFrame FinishDecided(const RgbImage& frame, const RgbImage* plate,
                            const FrameDecisions& decisions, const FinishOptions& options) {
    const cv::Size size(frame.width, frame.height);
    return FinishImage(ToFloatMat(frame), size, cv::Rect(cv::Point(), size), plate,
                       decisions.held(), options, true);
}

FinishedFrame FinishDecidedPart(const RgbImage& part, const FrameRegion& where, int frameWidth,
                                int frameHeight, const RgbImage* plate,
                                const FrameDecisions& decisions, const FinishOptions& options) {
    CV_Assert(part.width == where.width && part.height == where.height);
    return FinishImage(ToFloatMat(part), cv::Size(frameWidth, frameHeight),
                       cv::Rect(where.left, where.top, where.width, where.height), plate,
                       decisions.held(), options, false);
}

}  // namespace zentrivo
