#pragma once

#include <cstddef>
#include <cstdint>

#include "rgb_image.h"

namespace zentrivo {

// The Exif orientation (1 to 8) in the body of a JPEG's APP1 segment, or 1
// when there is none or the segment cannot be read. A camera mounted on its
// side stores the picture as the sensor saw it and says so here; every
// viewer turns it upright, and so must the frames made from it.
int ExifOrientation(const std::uint8_t* data, std::size_t length);

// Whether an orientation turns the picture by a quarter, swapping its sides.
inline bool SwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// `stored` turned and mirrored as `orientation` says, to stand upright.
RgbImage Upright(RgbImage stored, int orientation);

}  // namespace zentrivo
