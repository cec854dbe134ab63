#pragma once

#include "rgb_image.h"

namespace zentrivo {

// The size a picture of `width` x `height` takes when its long edge becomes
// `longEdge`, keeping its proportions; a smaller picture keeps its size.
struct PixelSize {
    int width = 0;
    int height = 0;
};
PixelSize FitLongEdge(int width, int height, int longEdge);

// Shrinks (or copies) `source` to `width` x `height`, each new pixel the
// average of the area it covers, so fine detail does not alias into moire.
// Also enlarges, by the same weights, should a picture be smaller.
RgbImage ResizeByArea(const RgbImage& source, int width, int height);

}  // namespace zentrivo
