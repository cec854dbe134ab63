#pragma once

#include <utility>
#include <vector>

#include <opencv2/core.hpp>

namespace zentrivo {

// The product's edge as it really falls between pixels.
struct SoftEdge {
    cv::Mat alpha;  // CV_32F, 0-1: how much of each pixel is product
    // The product's own colour where a pixel is a mix, in the frame's
    // pixels; elsewhere the frame's colour is the product's. Kept apart, as
    // these are few and a frame is large.
    std::vector<std::pair<cv::Point, cv::Vec3f>> colours;
};

// How far either side of the hard mask's edge RefineEdge reads a pixel as
// a mix: the lens and JPEG spread an edge over a pixel or two.
constexpr int kEdgeBandReach = 2;

// The pixels RefineEdge reads as a mix: those near the hard mask's edge,
// either side of it (CV_8U, 255).
cv::Mat EdgeBand(const cv::Mat& mask);

// Where to read a thin band (CV_8U) around a large product: in each square
// of `side` pixels, the box of the band's own pixels there, if any. A band
// crosses few squares, and most of those in a strip, so the filters' reach
// around the parts is far less than around the whole.
std::vector<cv::Rect> BandParts(const cv::Mat& band, int side);

// Refines the hard mask near its edge. Each pixel there is read as a mix
// of the product's colour just inside and the backdrop's just outside, and
// its share of the product is where it lies on the line between the two;
// that keeps the edge's place to a fraction of a pixel, and lets the
// product's colour be set on white without the old backdrop's fringe.
// `bare` (CV_8U) marks the pixels that the backdrop, or its shadow, explains
// on their own; `backdrop` is the backdrop without shadow. At the product's
// foot the shadow deepens towards the product, so the backdrop read a few
// pixels off is lighter than the one under the edge: there a bare pixel is
// no product at all. Elsewhere it may be (a black product's edge is the
// backdrop made darker too) and the mix decides.
// `edge.alpha` is a view of the frame's size, filled with the hard mask's
// alpha (0 or 1); only the pixels read as a mix are changed, and their
// colours added.
void RefineEdge(const cv::Mat& frame, const cv::Mat& mask, const cv::Mat& bare,
                const cv::Mat& backdrop, SoftEdge& edge);

}  // namespace zentrivo
