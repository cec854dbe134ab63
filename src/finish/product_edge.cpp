#include "product_edge.h"

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

// The evidence (ProductEvidence) of the pixels of `band` only, 0 elsewhere:
// all the edge asks about.
cv::Mat EvidenceInBand(const cv::Mat& image, const cv::Mat& backdrop, const cv::Mat& band) {
    cv::Mat evidence(image.size(), CV_32F, cv::Scalar(0));
    std::vector<cv::Point> where;
    cv::findNonZero(band, where);
    if (where.empty()) {
        return evidence;
    }
    cv::Mat pixels(1, static_cast<int>(where.size()), CV_32FC3);
    cv::Mat behind(1, static_cast<int>(where.size()), CV_32FC3);
    for (std::size_t i = 0; i < where.size(); ++i) {
        pixels.at<cv::Vec3f>(static_cast<int>(i)) = image.at<cv::Vec3f>(where[i]);
        behind.at<cv::Vec3f>(static_cast<int>(i)) = backdrop.at<cv::Vec3f>(where[i]);
    }
    const cv::Mat found = ProductEvidence(pixels, behind);
    for (std::size_t i = 0; i < where.size(); ++i) {
        evidence.at<float>(where[i]) = found.at<float>(static_cast<int>(i));
    }
    return evidence;
}

// `image` smoothed as the decisions were, only around the pixels of `band`
// in each square of 64 pixels (the rest is left unset): only those are
// read, and the band is a thin ring around a large product. Each part's
// filter reads the pixels around it from `image` itself, so it comes out as
// the whole would.
cv::Mat SmoothedNear(const cv::Mat& image, const cv::Mat& band) {
    constexpr int kSquare = 64;
    cv::Mat smooth(image.size(), image.type());
    const cv::Rect whole(cv::Point(), image.size());
    cv::Mat smoothed;
    for (int top = 0; top < image.rows; top += kSquare) {
        for (int left = 0; left < image.cols; left += kSquare) {
            const cv::Rect square = cv::Rect(left, top, kSquare, kSquare) & whole;
            const cv::Rect at = cv::boundingRect(band(square)) + square.tl();
            if (!at.empty()) {
                GaussianSmooth(image(at), smoothed, 1.0);
                smoothed.copyTo(smooth(at));
            }
        }
    }
    return smooth;
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
    cv::Mat mask =
        shrunk | (band & (EvidenceInBand(SmoothedNear(image, band), backdrop, band) > threshold));
    // As when it was decided: threads a pixel wide are JPEG's ringing.
    cv::morphologyEx(mask, mask, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(3, 3)));
    return mask;
}

}  // namespace

SoftEdge RefineEdgeNearProduct(const cv::Mat& image, const cv::Mat& coarse, const cv::Mat& backdrop,
                               float threshold, int reach) {
    SoftEdge edge;
    edge.alpha = cv::Mat(image.size(), CV_32F, cv::Scalar(0));
    const cv::Rect box = cv::boundingRect(coarse);
    if (box.empty()) {
        return edge;
    }
    const int margin = kEdgeMargin + reach;
    const cv::Rect near = (box + cv::Size(2 * margin, 2 * margin) - cv::Point(margin, margin)) &
                          cv::Rect(cv::Point(), image.size());
    const cv::Mat mask =
        reach > 0 ? SharpenedMask(image(near), coarse(near), backdrop(near), threshold, reach)
                  : coarse(near);
    // Whether the backdrop, or a shadow on it, explains a pixel on its own:
    // read unsmoothed, pixel by pixel, as smoothing spreads the product over
    // the backdrop next to it.
    const cv::Mat band = EdgeBand(mask);
    const cv::Mat bare = band & (EvidenceInBand(image(near), backdrop(near), band) <= threshold);
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
