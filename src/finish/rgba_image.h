#pragma once

#include <cstddef>
#include <cstdint>

#include "spin/picture_bytes.h"

namespace zentrivo {

// A picture as red, green, blue, alpha bytes, rows top to bottom, no
// padding. The colour is not premultiplied: a pixel of alpha 0 has no
// colour worth reading.
struct RgbaImage {
    int width = 0;
    int height = 0;
    PictureBytes pixels;  // width * height * 4

    RgbaImage() = default;
    RgbaImage(int w, int h)
        : width(w),
          height(h),
          pixels(ZeroedBytes(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4)) {}
    // Every byte to be written before it is read.
    RgbaImage(int w, int h, Unfilled)
        : width(w),
          height(h),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4) {}
    std::size_t stride() const { return static_cast<std::size_t>(width) * 4; }
    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * stride(); }
    const std::uint8_t* row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * stride();
    }
};

}  // namespace zentrivo
