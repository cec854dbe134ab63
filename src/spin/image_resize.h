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

// A part of a picture, in its pixels; empty for none.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// Shrinks (or copies) `source` to `width` x `height`, each new pixel the
// average of the area it covers, so fine detail does not alias into moire.
// Also enlarges, by the same weights, should a picture be smaller.
RgbImage ResizeByArea(const RgbImage& source, int width, int height);

// The pixels of a picture of size `whole` that `part` of its resize to
// `size` by area reads.
PixelRect AreaRead(PixelSize whole, PixelSize size, const PixelRect& part);

// Only `part` of that resize, the very pixels ResizeByArea gives there,
// made from `source`: the picture's pixels from (left, top) on, at least
// those AreaRead names.
RgbImage ResizePartByArea(const RgbImage& source, int left, int top, PixelSize whole,
                          PixelSize size, const PixelRect& part);

}  // namespace zentrivo
