#pragma once

#include <opencv2/core.hpp>

namespace zentrivo {

// cv::GaussianBlur of a float image (CV_32F, any channels) with the kernel
// size it picks for `sigma`, and the same result, with each kernel made
// once per thread: OpenCV makes it anew at every call, in exact software
// arithmetic, which costs more than blurring the small tiles an edge is
// read in.
void GaussianSmooth(const cv::Mat& image, cv::Mat& smoothed, double sigma);

}  // namespace zentrivo
