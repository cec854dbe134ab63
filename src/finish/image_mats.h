#pragma once

#include <opencv2/core.hpp>

#include "rgba_image.h"
#include "spin/rgb_image.h"

namespace zentrivo {

// Between our own pictures and OpenCV's: the finishing works on 0-255
// floats in three channels, red first.
cv::Mat ToFloatMat(const RgbImage& image);
// `image`'s own bytes as a three-channel matrix, to be read only.
cv::Mat BytesOf(const RgbImage& image);
// `image` at `size` by cv::resize, or itself when it is that size already.
cv::Mat Resized(const cv::Mat& image, const cv::Size& size, int interpolation);
// `bytes` (CV_8UC3) made smaller to `size` by area, as cv::resize does.
cv::Mat AreaResized(const cv::Mat& bytes, const cv::Size& size);
// `region` of `image` made `size` by linear interpolation, as it is in the
// whole so enlarged; only the pixels that part reads are enlarged.
cv::Mat ResizedPart(const cv::Mat& image, const cv::Size& size, const cv::Rect& region);
// Four float channels (colour 0-255, alpha 0-1, not premultiplied) to bytes.
RgbaImage ToRgbaImage(const cv::Mat& rgbaFloat);
// Bytes to four float channels as above.
cv::Mat ToFloatMat(const RgbaImage& image);

}  // namespace zentrivo
