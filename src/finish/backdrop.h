#pragma once

#include <opencv2/core.hpp>

namespace zentrivo {

// The empty table as it would look behind the product, and the part of the
// frame's border where it shows alone (no product, no shadow).
struct Backdrop {
    cv::Mat colour;       // CV_32FC3, 0-255
    cv::Mat cleanBorder;  // CV_8U, 255 where the border band is backdrop only
};

// From a clean plate of the frame's size; it is smoothed, as the table is
// smooth and its noise would otherwise add to the frame's.
Backdrop BackdropFromPlate(const cv::Mat& frame, const cv::Mat& plate);

// From the frame's border alone: per channel a smooth surface (a second
// order polynomial in x and y) fitted by least squares to a band along the
// edges, which follows vignetting, the sweep's gradient and a tint. Pixels
// that do not fit (the product or its shadow reaching the border) are
// rejected and the fit repeated until it settles.
Backdrop BackdropFromBorder(const cv::Mat& frame);

}  // namespace zentrivo
