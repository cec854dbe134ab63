#pragma once

#include <opencv2/core.hpp>

#include "product_evidence.h"

namespace zentrivo {

// The product as a hard mask (CV_8U, 0 or 255): the pixels whose evidence
// passes the threshold, without specks too small to be a product's part,
// with holes filled unless they show the backdrop (a handle's opening stays
// open).
cv::Mat ProductMask(const cv::Mat& evidence, const EvidenceLevels& levels);

}  // namespace zentrivo
