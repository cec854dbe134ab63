#pragma once

#include <opencv2/core.hpp>

namespace zentrivo {

// The product's contact shadow as a layer (CV_32F, 0-1): how much darker
// than the backdrop each pixel is, outside the product and near it, with
// the darkening the border's noise gives taken away. `frame` should be
// smoothed, so the layer is soft and not grainy.
cv::Mat ContactShadow(const cv::Mat& frame, const cv::Mat& backdrop, const cv::Mat& productMask,
                      const cv::Mat& cleanBorder);

}  // namespace zentrivo
