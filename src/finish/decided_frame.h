#pragma once

#include <opencv2/core.hpp>

#include "frame_decisions.h"

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

// The size a frame of `size` is decided at.
cv::Size DecidedSize(const cv::Size& size);

}  // namespace zentrivo
