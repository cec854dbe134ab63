#pragma once

#include <opencv2/core.hpp>

#include "product_evidence.h"

namespace zentrivo {

// The product as a hard mask (CV_8U, 0 or 255): the pixels whose evidence
// passes the threshold, without specks too small to be a product's part,
// with holes filled unless they show the backdrop (a handle's opening stays
// open). With `ringing`, threads a pixel wide hanging off the product are
// taken for JPEG's ringing and cut off: so they are where a pixel of the
// evidence is no more than two of the frame read. On a frame made much
// smaller, ringing is averaged away, and a thread a pixel wide is the
// product's own thin part (a cable, a strap), to be kept.
cv::Mat ProductMask(const cv::Mat& evidence, const EvidenceLevels& levels, bool ringing);

}  // namespace zentrivo
