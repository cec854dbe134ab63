#pragma once

#include <opencv2/core.hpp>

#include "rgba_image.h"

namespace zentrivo {

// The finished frame (not premultiplied). The backdrop becomes white: the product's colour is
// divided by it, which takes the vignetting and the tint out of the product as well, and the shadow
// (empty when dropped) is kept as black of its strength. On white every alpha is 1; transparent
// keeps them.
RgbaImage Compose(const cv::Mat& productColour, const cv::Mat& alpha, const cv::Mat& backdrop,
                  const cv::Mat& shadow, bool transparent);

// Whether Compose shows a shadow of this share at all: it is stored as at
// least one step of 255, so the pixel is darker than white, or not wholly
// clear when transparent.
inline bool ShadowShows(float shadow) {
    return shadow * 255 >= 0.5f;  // at least half a step before rounding
}

}  // namespace zentrivo
