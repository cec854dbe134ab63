#include "frame_decisions.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

#include "backdrop.h"
#include "contact_shadow.h"
#include "decided_frame.h"
#include "gaussian_blur.h"
#include "image_mats.h"
#include "product_edge.h"
#include "product_evidence.h"
#include "product_mask.h"

namespace zentrivo {
namespace {

// Large enough to find a handle's opening and a thin part; a spin is
// finished from photos several times this size, and deciding on all of
// their pixels would cost four times as much for the same answer.
constexpr int kDecidedLongEdge = 1200;

// Around what the mask and the shadow keep, so that the edge's filters at
// the finished size see nothing cut off.
constexpr int kNearMargin = 8;

constexpr double kShadowSteps = 65535;

bool SameSize(const RgbImage& a, const RgbImage& b) {
    return a.width == b.width && a.height == b.height;
}

cv::Mat Whole(const cv::Mat& part, const cv::Rect& near, const cv::Size& size, int type,
              double scale) {
    cv::Mat whole(size, type, cv::Scalar(0));
    if (!part.empty()) {
        part.convertTo(whole(near), type, scale);
    }
    return whole;
}

// `size` made smaller to a long edge of `longEdge`, its proportions kept.
cv::Size AtLongEdge(const cv::Size& size, int longEdge) {
    const int longest = std::max(size.width, size.height);
    if (longEdge >= longest) {
        return size;
    }
    const double scale = static_cast<double>(longEdge) / longest;
    return {std::max(1, static_cast<int>(std::lround(size.width * scale))),
            std::max(1, static_cast<int>(std::lround(size.height * scale)))};
}

}  // namespace

cv::Size DecidedSize(const cv::Size& size) {
    const int longEdge = std::max(size.width, size.height);
    return AtLongEdge(size, std::max((longEdge + 1) / 2, std::min(longEdge, kDecidedLongEdge)));
}

cv::Mat FrameDecisions::Held::WholeMask() const {
    return Whole(mask, near, size, CV_8U, 1);
}

cv::Mat FrameDecisions::Held::WholeShadow() const {
    return Whole(shadow, near, size, CV_32F, 1.0 / kShadowSteps);
}

cv::Mat PlateOfFrame(const RgbImage& frame, const RgbImage* plate) {
    return plate && SameSize(*plate, frame) ? ToFloatMat(*plate) : cv::Mat();
}

namespace {

// Whether JPEG's ringing can still show a pixel wide in a frame made
// `decidedWidth` pixels wide from one `readWidth` wide: when each of its
// pixels is no more than two of the frame read.
bool RingingShows(int decidedWidth, int readWidth) {
    return 2 * decidedWidth >= readWidth;
}

// The decisions on `small`, a frame made the size they are taken at from
// one `fullWidth` pixels wide; `ringing` as RingingShows says.
std::shared_ptr<FrameDecisions::Held> DecideSmall(const cv::Mat& small, int fullWidth,
                                                  const cv::Mat& plate, bool shadows,
                                                  bool ringing) {
    const cv::Size decided = small.size();
    // The decisions are taken on a lightly smoothed copy, so the sensor's
    // grain does not decide them. Making the frame smaller smooths it too,
    // so the blur shrinks with it.
    cv::Mat smooth;
    GaussianSmooth(small, smooth, static_cast<double>(decided.width) / fullWidth);
    const Backdrop backdrop =
        plate.empty() ? BackdropFromBorder(smooth)
                      : BackdropFromPlate(smooth, Resized(plate, decided, cv::INTER_AREA));
    const cv::Mat evidence = ProductEvidence(smooth, backdrop.colour);
    const EvidenceLevels levels = LevelsFromBorder(evidence, backdrop.cleanBorder);
    const cv::Mat mask = ProductMask(evidence, levels, ringing);
    cv::Mat shadow(decided, CV_32F, cv::Scalar(0));
    if (shadows) {
        // The shadow runs up to the product's edge as the sharp frame reads
        // it: the hard mask, decided on a smoothed frame, reaches into the
        // shadow at the product's foot.
        const SoftEdge edge =
            RefineEdgeNearProduct(small, mask, backdrop.colour, levels.threshold, 0);
        shadow = ContactShadow(smooth, backdrop.colour, edge.alpha >= 0.5, backdrop.cleanBorder);
    }

    auto held = std::make_shared<FrameDecisions::Held>();
    held->size = decided;
    held->threshold = levels.threshold;
    held->surface = backdrop.surface;
    const cv::Rect kept = cv::boundingRect(mask) | cv::boundingRect(shadow > 0);
    if (!kept.empty()) {
        held->near = (kept + cv::Size(2 * kNearMargin, 2 * kNearMargin) -
                      cv::Point(kNearMargin, kNearMargin)) &
                     cv::Rect(cv::Point(), decided);
        held->mask = mask(held->near).clone();
        if (shadows) {
            shadow(held->near).convertTo(held->shadow, CV_16U, kShadowSteps);
        }
    }
    return held;
}

}  // namespace

FrameDecisions DecideImage(const cv::Mat& image, const cv::Mat& plate, const cv::Size& decided,
                           bool shadows, FinishedFrame* found) {
    std::shared_ptr<FrameDecisions::Held> held =
        DecideSmall(Resized(image, decided, cv::INTER_AREA), image.cols, plate, shadows,
                    RingingShows(decided.width, image.cols));
    if (found) {
        // Where the product is, read at the frame's own size: its edge,
        // decided smaller, is read again there.
        *found = FindDecidedProduct(image, plate, *held, shadows);
    }
    return FrameDecisions(std::move(held));
}

FrameDecisions DecideFrame(const RgbImage& frame, const RgbImage* plate, bool shadows,
                           FinishedFrame* found, int decidedLongEdge) {
    const cv::Mat image = ToFloatMat(frame);
    const cv::Size decided =
        decidedLongEdge > 0 ? AtLongEdge(image.size(), decidedLongEdge) : image.size();
    // A plate already made the decided size is smoothed as it is; at no
    // other size is it this table's.
    const bool decidedPlate = plate != nullptr && cv::Size(plate->width, plate->height) == decided;
    return DecideImage(image, decidedPlate ? ToFloatMat(*plate) : PlateOfFrame(frame, plate),
                       decided, shadows, found);
}

FrameDecisions DecideFrameAt(const RgbImage& frame, int decidedWidth, int decidedHeight,
                             int smoothedAs, const RgbImage* plate, bool shadows) {
    // Made small in bytes, a large frame is read once, by averaging, and
    // only the small one is made floats.
    const cv::Mat small = AreaResized(BytesOf(frame), cv::Size(decidedWidth, decidedHeight));
    cv::Mat image;
    small.convertTo(image, CV_32FC3);
    const bool decidedPlate =
        plate != nullptr && plate->width == decidedWidth && plate->height == decidedHeight;
    return FrameDecisions(DecideSmall(image, smoothedAs,
                                      decidedPlate ? ToFloatMat(*plate) : cv::Mat(), shadows,
                                      RingingShows(decidedWidth, frame.width)));
}

}  // namespace zentrivo
