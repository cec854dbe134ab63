#pragma once

#include <cstddef>
#include <cstdint>

#include "spin/image_resize.h"

namespace zentrivo {

// The least box of a picture outside which every byte is `bare` (a finished
// frame's white, or clear); empty when all of it is. The picture is
// `height` rows of `width` pixels of `channels` bytes, `stride` bytes apart.
// A pixel is bare when all its bytes are, so each row is read as bytes, a
// word at a time, from both ends towards the first that is not: around a
// product most of a row is bare, and its middle is never read.
PixelRect NotBareBox(const std::uint8_t* pixels, std::size_t stride, int width, int height,
                     int channels, std::uint8_t bare);

}  // namespace zentrivo
