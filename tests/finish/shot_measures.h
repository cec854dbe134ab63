#pragma once

#include <cstdint>
#include <vector>

#include "finish/rgba_image.h"

namespace zentrivo::testing {

// Intersection over union of the pixels at least half product, in the truth
// and in the finished frame.
double Overlap(const std::vector<std::uint8_t>& truth, const std::vector<std::uint8_t>& product);

// The share of pure white (255, 255, 255) among the pixels the product does
// not touch at all, and where the truth's shadow is under `shadowBelow`.
double WhiteShare(const RgbaImage& image, const std::vector<std::uint8_t>& truth,
                  const std::vector<float>& shadow, float shadowBelow);

// The box around the pixels of `image` that are not white (on white) or at
// least half opaque (transparent): left and right, right exclusive.
std::pair<int, int> MarkedColumns(const RgbaImage& image, bool transparent);

}  // namespace zentrivo::testing
