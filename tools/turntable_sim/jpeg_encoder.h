#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit grey picture, rows top to bottom, 0 black to 255 white.
struct GrayImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;  // Width * Height, row after row

    GrayImage(int width, int height, std::uint8_t fill)
        : Width(width),
          Height(height),
          Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    std::uint8_t& At(int x, int y) {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                      static_cast<std::size_t>(x)];
    }
    std::uint8_t At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                      static_cast<std::size_t>(x)];
    }
};

// The bytes of a baseline JPEG file (JFIF, one grey component) holding the
// picture: the example quantisation and Huffman tables every decoder knows,
// so the file is small and plain. Any size from 1x1 to 65535x65535.
std::string EncodeGrayJpeg(const GrayImage& image);

// The JPEG made `size` bytes long, as a camera's full-size photo is, by
// comment segments after its JFIF header, so that it stays a valid file
// showing the same picture. Unchanged when it is that long already, or
// shorter than that by less than one segment's overhead.
std::string PaddedJpeg(const std::string& jpeg, std::size_t size);

// The JPEG with `text` in a comment segment after its JFIF header.
std::string CommentedJpeg(const std::string& jpeg, const std::string& text);
