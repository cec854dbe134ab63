#include "product_edge.h"

#include <cstdint>
#include <utility>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "gaussian_blur.h"
#include "product_evidence.h"

namespace zentrivo {
namespace {

// The edge is read only near the product: within the mask's box and far
// enough beyond it for every filter the reading chains (two pixels of reach,
// a blur of ten, an erosion of four) to see what it would on the whole
// frame, so a product filling a tenth of a large photo costs a tenth of it.
constexpr int kEdgeMargin = 32;

// Which pixels of `band` show more evidence of product (ProductEvidence)
// than `threshold` (CV_8U, 255): all the edge asks about. With `smoothed`
// they are read on the frame smoothed as the decisions were, worked out
// only around the band's own pixels (BandParts). Each part's filter reads
// the pixels around it from `image` itself, so it comes out as the whole
// would.
cv::Mat AboveInBand(const cv::Mat& image, const cv::Mat& backdrop, const cv::Mat& band,
                    float threshold, bool smoothed) {
    const auto inBandCount = static_cast<std::size_t>(cv::countNonZero(band));
    std::vector<cv::Point> where;
    std::vector<cv::Vec3f> seen;
    std::vector<cv::Vec3f> behind;
    where.reserve(inBandCount);
    seen.reserve(inBandCount);
    behind.reserve(inBandCount);
    cv::Mat part;
    for (const cv::Rect& at : BandParts(band, 64)) {
        if (smoothed) {
            GaussianSmooth(image(at), part, 1.0);
        } else {
            part = image(at);
        }
        for (int y = at.y; y < at.br().y; ++y) {
            const auto* inBand = band.ptr<std::uint8_t>(y);
            for (int x = at.x; x < at.br().x; ++x) {
                if (inBand[x]) {
                    where.emplace_back(x, y);
                    seen.push_back(part.at<cv::Vec3f>(y - at.y, x - at.x));
                    behind.push_back(backdrop.at<cv::Vec3f>(y, x));
                }
            }
        }
    }
    cv::Mat above(image.size(), CV_8U, cv::Scalar(0));
    if (where.empty()) {
        return above;
    }
    const int count = static_cast<int>(where.size());
    const cv::Mat found = ProductEvidence(cv::Mat(1, count, CV_32FC3, seen.data()),
                                          cv::Mat(1, count, CV_32FC3, behind.data()));
    for (int i = 0; i < count; ++i) {
        if (found.at<float>(i) > threshold) {
            above.at<std::uint8_t>(where[static_cast<std::size_t>(i)]) = 255;
        }
    }
    return above;
}

// The hard mask of a smaller frame, enlarged, made as sharp as this frame:
// as far from its edge as the enlargement may have moved it, each pixel is
// decided again here, on the frame smoothed as the decisions were. A mask
// decided small reaches further into the blur of a dark product's foot,
// and the edge would then be read too far out.
cv::Mat SharpenedMask(const cv::Mat& image, const cv::Mat& coarse, const cv::Mat& backdrop,
                      float threshold, int reach) {
    const cv::Mat square = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3));
    cv::Mat grown;
    cv::Mat shrunk;
    cv::dilate(coarse, grown, square, {-1, -1}, reach);
    cv::erode(coarse, shrunk, square, {-1, -1}, reach, cv::BORDER_CONSTANT, cv::Scalar(255));
    const cv::Mat band = grown & ~shrunk;
    cv::Mat mask = shrunk | AboveInBand(image, backdrop, band, threshold, true);
    // As when it was decided: threads a pixel wide are JPEG's ringing.
    cv::morphologyEx(mask, mask, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(3, 3)));
    return mask;
}

}  // namespace

namespace {

cv::Rect Grown(const cv::Rect& box, int by, const cv::Size& size) {
    if (box.empty()) {
        return {};
    }
    return (box + cv::Size(2 * by, 2 * by) - cv::Point(by, by)) & cv::Rect(cv::Point(), size);
}

}  // namespace

cv::Rect EdgeReadArea(const cv::Rect& box, int reach, const cv::Size& size) {
    return Grown(box, kEdgeMargin + reach, size);
}

cv::Rect EdgeShareArea(const cv::Rect& box, int reach, const cv::Size& size) {
    // The sharpened mask stays within the reach, and the band within its
    // own reach of that mask.
    return Grown(box, reach + kEdgeBandReach, size);
}

SoftEdge RefineEdgeNearProduct(const cv::Mat& image, const cv::Mat& coarse, const cv::Mat& backdrop,
                               float threshold, int reach) {
    SoftEdge edge;
    edge.alpha = cv::Mat(image.size(), CV_32F, cv::Scalar(0));
    const cv::Rect near = EdgeReadArea(cv::boundingRect(coarse), reach, image.size());
    if (near.empty()) {
        return edge;
    }
    const cv::Mat mask =
        reach > 0 ? SharpenedMask(image(near), coarse(near), backdrop(near), threshold, reach)
                  : coarse(near);
    // Whether the backdrop, or a shadow on it, explains a pixel on its own:
    // read unsmoothed, pixel by pixel, as smoothing spreads the product over
    // the backdrop next to it.
    const cv::Mat band = EdgeBand(mask);
    const cv::Mat bare = band & ~AboveInBand(image(near), backdrop(near), band, threshold, false);
    SoftEdge refined{edge.alpha(near), {}};
    mask.convertTo(refined.alpha, CV_32F, 1.0 / 255);
    RefineEdge(image(near), mask, bare, backdrop(near), refined);
    edge.colours = std::move(refined.colours);
    for (auto& [at, colour] : edge.colours) {
        at += near.tl();
    }
    return edge;
}

}  // namespace zentrivo
