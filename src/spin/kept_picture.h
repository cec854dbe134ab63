#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "picture_bytes.h"

namespace zentrivo {

// A finished part of a frame and where it lies in the frame, kept on disk
// between a spin's two passes: the first finishes every frame before the
// spin's crop is known, and a long spin of large frames would not fit in
// memory until the second.
// Kept on white it has no alpha, three bytes a pixel; transparent, four.
struct KeptPicture {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int channels = 4;
    PictureBytes pixels;  // rows top to bottom, no padding

    std::size_t stride() const { return static_cast<std::size_t>(width) * channels; }
    const std::uint8_t* row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * stride();
    }
};

// Throws std::filesystem::filesystem_error with the path and the system's
// reason (a full disk, say).
void WriteKeptPicture(const KeptPicture& kept, const std::filesystem::path& path);
// Throws ImageFileError when the file is missing or not whole.
KeptPicture ReadKeptPicture(const std::filesystem::path& path);

}  // namespace zentrivo
