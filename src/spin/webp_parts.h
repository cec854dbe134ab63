#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "image_resize.h"
#include "rgb_image.h"

namespace zentrivo {

// One frame of an animated WebP encoded on its own: only the part of it
// that differs from the frame before, to be laid over that one.
struct WebpPart {
    std::string bytes;  // a lossy WebP of the part
    int left = 0;
    int top = 0;
};

// Encodes `part` of `frame` (the whole frame when empty) as the animation
// encoder would encode a frame, on the calling thread: the frames of a
// spin can then be encoded on every core at once. The part is widened to
// start on an even pixel, as the format places frames. Throws
// std::runtime_error on failure.
WebpPart EncodeWebpPart(const RgbImage& frame, PixelRect part);

// The parts, in order, made one endless animation, spread evenly over one
// turn as WebpAnimation does; each replaces what it covers and leaves the
// rest as it was. Throws std::runtime_error when they cannot be made one
// file, as WriteWholeFile when it cannot be written.
void SaveWebpParts(const std::vector<WebpPart>& parts, int width, int height, int turnMilliseconds,
                   const std::filesystem::path& path);

}  // namespace zentrivo
