#pragma once

#include <opencv2/core.hpp>

#include "soft_edge.h"

namespace zentrivo {

// The part of a frame of `size` that RefineEdgeNearProduct reads for a
// hard mask whose box is `box`: nothing of the frame beyond it.
cv::Rect EdgeReadArea(const cv::Rect& box, int reach, const cv::Size& size);

// The part of it that can come out with any share of product: the mask
// with its reach and the edge's band around it.
cv::Rect EdgeShareArea(const cv::Rect& box, int reach, const cv::Size& size);

// The product's soft edge (RefineEdge), read only near the product: a
// product filling a tenth of a large photo costs a tenth of it. `coarse`
// is the hard mask; `reach` says how far its edge may be from where this
// frame puts it, when it was decided on a smaller frame and enlarged (0
// when it was decided on this one): so far from it, each pixel is decided
// again here.
SoftEdge RefineEdgeNearProduct(const cv::Mat& image, const cv::Mat& coarse, const cv::Mat& backdrop,
                               float threshold, int reach);

}  // namespace zentrivo
