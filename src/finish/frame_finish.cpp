#include "frame_finish.h"

#include <algorithm>

#include <opencv2/imgproc.hpp>

#include "backdrop.h"
#include "compose.h"
#include "contact_shadow.h"
#include "image_mats.h"
#include "product_box.h"
#include "product_evidence.h"
#include "product_mask.h"
#include "soft_edge.h"

namespace zentrivo {
namespace {

bool SameSize(const RgbImage& a, const RgbImage& b) {
    return a.width == b.width && a.height == b.height;
}

// The edge is read only near the product: within the mask's box and far
// enough beyond it for every filter the reading chains (two pixels of reach,
// a blur of ten, an erosion of four) to see what it would on the whole
// frame, so the result is the same and a product filling a tenth of a large
// photo costs a tenth of it.
constexpr int kEdgeMargin = 32;

SoftEdge RefineEdgeNearProduct(const cv::Mat& image, const cv::Mat& mask, const Backdrop& backdrop,
                               float threshold) {
    SoftEdge edge;
    edge.alpha = cv::Mat(image.size(), CV_32F, cv::Scalar(0));
    edge.colour = image.clone();
    const cv::Rect box = cv::boundingRect(mask);
    if (box.empty()) {
        return edge;
    }
    const cv::Rect near =
        (box + cv::Size(2 * kEdgeMargin, 2 * kEdgeMargin) - cv::Point(kEdgeMargin, kEdgeMargin)) &
        cv::Rect(cv::Point(), image.size());
    // Pixel by pixel, unsmoothed: smoothing spreads the product over the
    // backdrop next to it.
    const cv::Mat bare = ProductEvidence(image(near), backdrop.colour(near)) <= threshold;
    const SoftEdge refined = RefineEdge(image(near), mask(near), bare, backdrop.colour(near));
    refined.alpha.copyTo(edge.alpha(near));
    refined.colour.copyTo(edge.colour(near));
    return edge;
}

}  // namespace

FinishedFrame FinishFrame(const RgbImage& frame, const RgbImage* plate,
                          const FinishOptions& options) {
    const cv::Mat image = ToFloatMat(frame);
    // The decisions (what is product, what is shadow) are taken on a lightly
    // smoothed copy, so the sensor's grain does not decide them; the edge's
    // place is then read from the sharp one.
    cv::Mat smooth;
    cv::GaussianBlur(image, smooth, cv::Size(), 1.0);
    const Backdrop backdrop = plate && SameSize(*plate, frame)
                                  ? BackdropFromPlate(smooth, ToFloatMat(*plate))
                                  : BackdropFromBorder(smooth);
    const cv::Mat evidence = ProductEvidence(smooth, backdrop.colour);
    const EvidenceLevels levels = LevelsFromBorder(evidence, backdrop.cleanBorder);
    const cv::Mat mask = ProductMask(evidence, levels);
    const SoftEdge edge = RefineEdgeNearProduct(image, mask, backdrop, levels.threshold);

    cv::Mat shadow;
    if (options.keepShadow) {
        const cv::Mat product = edge.alpha >= 0.5;
        shadow = ContactShadow(smooth, backdrop.colour, product, backdrop.cleanBorder);
    }
    FinishedFrame finished;
    finished.image =
        ToRgbaImage(Compose(edge.colour, edge.alpha, backdrop.colour, shadow, options.transparent));
    cv::Mat coverage(frame.height, frame.width, CV_8U);
    edge.alpha.convertTo(coverage, CV_8U, 255);
    finished.product.assign(coverage.datastart, coverage.dataend);
    if (const auto box = BoxOf(edge.alpha)) {
        finished.hasProduct = true;
        finished.box = *box;
        finished.withShadow = *box;
        finished.touchesEdge = TouchesEdge(edge.alpha);
        // Cut where the shadow changes the frame by even one step: a fainter
        // cut would leave 254s at the frame's edge, the very grey line a
        // crop must not show. The shadow reaches only so far from the
        // product, so this finds no stray specks across the table.
        if (!shadow.empty()) {
            const cv::Rect shows = cv::boundingRect(ShadowShows(shadow));
            if (!shows.empty()) {
                ProductBox& whole = finished.withShadow;
                whole.left = std::min<double>(whole.left, shows.x);
                whole.top = std::min<double>(whole.top, shows.y);
                whole.right = std::max<double>(whole.right, shows.br().x);
                whole.bottom = std::max<double>(whole.bottom, shows.br().y);
            }
        }
    }
    return finished;
}

}  // namespace zentrivo
