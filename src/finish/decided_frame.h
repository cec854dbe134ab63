#pragma once

#include <opencv2/core.hpp>

#include "frame_decisions.h"
#include "frame_finish.h"

namespace zentrivo {

// Kept for as long as a spin's frames wait to be finished: the product's
// mask and its shadow only where they are, the backdrop as the surface's
// few coefficients.
struct FrameDecisions::Held {
    cv::Size size;        // the frame's size as decided
    cv::Rect near;        // where the mask and the shadow are, in it
    cv::Mat mask;         // CV_8U, 0 or 255, of near's size
    cv::Mat shadow;       // CV_16U, 0-65535 for 0-1, of near's size; or none
    float threshold = 0;  // the evidence above which a pixel is product
    cv::Mat surface;      // the backdrop's coefficients; empty for a plate

    // The mask (CV_8U) and the shadow (CV_32F, 0-1) over the whole frame as
    // decided.
    cv::Mat WholeMask() const;
    cv::Mat WholeShadow() const;
};

// The size a frame of `size` is decided at, when it is finished alone: no
// more than a long edge of 1200, or half its own if that is larger.
cv::Size DecidedSize(const cv::Size& size);

// The plate (CV_32FC3) when it is there and of the frame's size, else empty.
cv::Mat PlateOfFrame(const RgbImage& frame, const RgbImage* plate);

// Where the product is in `image` (CV_32FC3), from the decisions taken on
// it at their size: no picture.
FinishedFrame FindDecidedProduct(const cv::Mat& image, const cv::Mat& plate,
                                 const FrameDecisions::Held& decided, bool shadows);

// DecideFrame for `image` (CV_32FC3) at the size `decided`; `found` is
// told where the product is at the image's size.
FrameDecisions DecideImage(const cv::Mat& image, const cv::Mat& plate, const cv::Size& decided,
                           bool shadows, FinishedFrame* found);

}  // namespace zentrivo
