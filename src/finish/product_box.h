#pragma once

#include <optional>

#include <opencv2/core.hpp>

#include "frame_finish.h"

namespace zentrivo {

// The box around the product (alpha CV_32F, 0-1), each side placed within
// its edge pixel by how much of that pixel the product covers; nothing
// when no pixel is at least half product.
std::optional<ProductBox> BoxOf(const cv::Mat& alpha);

// Whether the product reaches the frame's outermost pixels.
bool TouchesEdge(const cv::Mat& alpha);

}  // namespace zentrivo
