#pragma once

#include <cstdint>

#include <opencv2/core.hpp>

namespace zentrivo {

// `source` (8-bit, any number of channels) moved and scaled, without
// turning, by `toOutput` into `out` (already of the output's size and
// `source`'s type), read bilinearly, `beyond` in every channel where the
// source ends: the same bytes as cv::warpAffine with INTER_LINEAR and a
// constant border. Its weights are whole 1/32 steps along each side, so
// the sum it rounds is one side's sums weighed along the other: each row is
// read once for all the columns, where OpenCV reads four pixels for each;
// and what reads only `beyond` (a finished frame's white) is only filled.
void WarpScaled(const cv::Mat& source, const cv::Matx23d& toOutput, cv::Mat& out,
                std::uint8_t beyond);

}  // namespace zentrivo
