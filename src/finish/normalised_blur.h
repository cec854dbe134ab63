#pragma once

#include <opencv2/core.hpp>

namespace zentrivo {

// The mean of `image` (float, any channels) over the pixels of `chosen`
// (CV_8U, 0 or 255) near each pixel, weighted by a Gaussian of `sigma`: a
// blur that reaches into the pixels left out without taking their values.
// `found`, when given, receives how much chosen weight was near (CV_32F,
// 0-1); where it is near 0 the mean says nothing.
cv::Mat NormalisedBlur(const cv::Mat& image, const cv::Mat& chosen, double sigma,
                       cv::Mat* found = nullptr);

}  // namespace zentrivo
