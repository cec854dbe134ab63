#pragma once

#include <optional>

#include <opencv2/core.hpp>

#include "frame_finish.h"

namespace zentrivo {

// The box around the product (alpha CV_32F, 0-1), each side where the
// product's share crosses one half, to a fraction of a pixel; nothing when
// no pixel is at least half product.
std::optional<ProductBox> BoxOf(const cv::Mat& alpha);

// Whether the product reaches the frame's outermost pixels.
bool TouchesEdge(const cv::Mat& alpha);

// Fills in where the product is in `finished`, from its share of each pixel
// (alpha) and its kept shadow (CV_32F, empty when dropped), both of a part
// of the frame that begins at `offset`; each pixel's share too with
// `coverage`.
void DescribeProduct(const cv::Mat& alpha, const cv::Mat& shadow, const cv::Point& offset,
                     bool coverage, FinishedFrame& finished);

}  // namespace zentrivo
