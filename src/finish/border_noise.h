#pragma once

#include <vector>

#include <opencv2/core.hpp>

namespace zentrivo {

// The value (CV_32F) that all but `tail` of the chosen pixels (CV_8U) stay
// under: how far bare backdrop's noise reaches. 0 when none is chosen.
float NoiseReach(const cv::Mat& values, const cv::Mat& chosen, double tail);
// The same over all of `values`.
float NoiseReach(std::vector<float> values, double tail);

}  // namespace zentrivo
