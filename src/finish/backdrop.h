#pragma once

#include <opencv2/core.hpp>

namespace zentrivo {

// The empty table as it would look behind the product, and the part of the
// frame's border where it shows alone (no product, no shadow).
struct Backdrop {
    cv::Mat colour;       // CV_32FC3, 0-255
    cv::Mat cleanBorder;  // CV_8U, 255 where the border band is backdrop only
    // From the border: the fitted surface's coefficients, from which the
    // colour can be had again at any size (SurfaceOver). Empty for a plate.
    cv::Mat surface;
};

// The fitted surface over a frame of `size`, or over the part `region` of
// it: the same surface whatever the size, as it is fitted in coordinates
// across the frame.
cv::Mat SurfaceOver(const cv::Mat& coefficients, const cv::Size& size);
cv::Mat SurfaceOver(const cv::Mat& coefficients, const cv::Size& size, const cv::Rect& region);
// The same written into `out` (CV_32FC3, of `region`'s size).
void SurfaceInto(const cv::Mat& coefficients, const cv::Size& size, const cv::Rect& region,
                 cv::Mat& out);

// The plate as the backdrop's colour: smoothed, as the table is smooth and
// its noise would otherwise add to the frame's.
cv::Mat PlateColour(const cv::Mat& plate);

// From a clean plate of the frame's size (PlateColour).
Backdrop BackdropFromPlate(const cv::Mat& frame, const cv::Mat& plate);

// From the frame's border alone: per channel a smooth surface (a second
// order polynomial in x and y) fitted by least squares to a band along the
// edges, which follows vignetting, the sweep's gradient and a tint. Pixels
// that do not fit (the product or its shadow reaching the border) are
// rejected and the fit repeated until it settles.
Backdrop BackdropFromBorder(const cv::Mat& frame);

}  // namespace zentrivo
