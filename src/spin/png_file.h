#pragma once

#include <filesystem>

#include "finish/rgba_image.h"

namespace zentrivo {

// Writes `image` as an 8-bit RGBA PNG, compressed with zlib; throws
// ImageFileError when it cannot be encoded, as WriteWholeFile when it
// cannot be written.
void WritePng(const RgbaImage& image, const std::filesystem::path& path);

}  // namespace zentrivo
