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

// The middle of the box around the pixels of `image` that are not white
// (on white) or at least half opaque (transparent); x then y.
std::pair<double, double> MarkedCentre(const RgbaImage& image, bool transparent);

}  // namespace zentrivo::testing
