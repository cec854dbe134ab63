#pragma once

#include <filesystem>

#include "finish/rgba_image.h"

namespace zentrivo {

// A finished part of a frame and where it lies in the frame, kept on disk
// between a spin's two passes: the first finishes every frame before the
// spin's crop is known, and a long spin of large frames would not fit in
// memory until the second.
struct KeptPicture {
    RgbaImage image;
    int left = 0;
    int top = 0;
};

// Throws std::filesystem::filesystem_error with the path and the system's
// reason (a full disk, say).
void WriteKeptPicture(const KeptPicture& kept, const std::filesystem::path& path);
// Throws ImageFileError when the file is missing or not whole.
KeptPicture ReadKeptPicture(const std::filesystem::path& path);

}  // namespace zentrivo
