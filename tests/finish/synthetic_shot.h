#pragma once

#include <cstdint>
#include <vector>

#include "spin/rgb_image.h"

namespace zentrivo::testing {

enum class ProductKind {
    Textured,      // a box printed in strong colours
    DarkGlossy,    // a near-black bottle with a soft highlight
    WhiteOnWhite,  // an ivory box on the white sweep
    Handle,        // a mug on the axis, a thin handle around an opening showing the sweep
    None,          // the empty table
};

struct ShotSetup {
    ProductKind kind = ProductKind::Textured;
    int width = 400;
    int height = 300;
    double axisX = 200;  // the turntable's axis: the product (the mug's body) is centred on it
    // The table's angle in radians: the box's width and print follow it, and
    // the mug's handle is on the right, or on the left once turned half way.
    double turn = 0;
    unsigned seed = 1;
    // The product's sizes and its shadow's reach are given for a 640 x 480
    // photo; larger photos of the same scene take them times this.
    double scale = 1;
};

// A photo of the turntable as the studio's camera would take it: the sweep
// with vignetting and a warm tint, the product standing on it with its
// contact shadow, the lens's slight blur, sensor noise and JPEG compression
// (through the export's own JPEG writer and reader), and the clean plate
// taken at the same settings with noise of its own.
struct SyntheticShot {
    RgbImage frame;
    RgbImage plate;
    std::vector<std::uint8_t> product;  // the truth: how much of each pixel is product, 0-255
    std::vector<float> shadow;          // the truth: how much the shadow darkens the bare sweep
};

SyntheticShot RenderShot(const ShotSetup& setup);

}  // namespace zentrivo::testing
