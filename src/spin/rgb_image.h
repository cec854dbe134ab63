#pragma once

#include <cstddef>
#include <cstdint>

#include "picture_bytes.h"

namespace zentrivo {

// A picture as red, green, blue bytes, rows top to bottom, no padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    PictureBytes pixels;  // width * height * 3

    RgbImage() = default;
    RgbImage(int w, int h)
        : width(w),
          height(h),
          pixels(ZeroedBytes(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3)) {}
    // Every byte to be written before it is read.
    RgbImage(int w, int h, Unfilled)
        : width(w),
          height(h),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3) {}
    std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * stride(); }
    const std::uint8_t* row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * stride();
    }
};

}  // namespace zentrivo
