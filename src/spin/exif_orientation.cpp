#include "exif_orientation.h"

#include <cstring>

namespace zentrivo {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;

}  // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t length) {
    // "Exif\0\0", then a TIFF file: byte order, 42, offset of the first
    // directory, whose entries are 12 bytes each: tag, type, count, value.
    if (length < 14 || std::memcmp(data, "Exif\0\0", 6) != 0) {
        return 1;
    }
    const std::uint8_t* tiff = data + 6;
    const std::size_t size = length - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) {
        return 1;
    }
    const auto read16 = [&](std::size_t at) -> std::uint32_t {
        return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
    };
    const auto read32 = [&](std::size_t at) -> std::uint32_t {
        return little ? read16(at) | read16(at + 2) << 16 : read16(at) << 16 | read16(at + 2);
    };
    if (read16(2) != 42) {
        return 1;
    }
    const std::size_t directory = read32(4);
    if (directory > size - 2 || size < 2) {
        return 1;
    }
    const std::size_t entries = read16(directory);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + i * 12;
        if (entry + 12 > size) {
            break;
        }
        if (read16(entry) == kOrientationTag) {
            const std::uint32_t value = read16(entry + 8);
            return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
        }
    }
    return 1;
}

RgbImage Upright(RgbImage stored, int orientation) {
    if (orientation <= 1 || orientation > 8) {
        return stored;
    }
    const int w = stored.width;
    const int h = stored.height;
    RgbImage upright =
        SwapsSides(orientation) ? RgbImage(h, w, Unfilled{}) : RgbImage(w, h, Unfilled{});
    for (int y = 0; y < upright.height; ++y) {
        std::uint8_t* out = upright.row(y);
        for (int x = 0; x < upright.width; ++x) {
            // Which stored pixel shows at (x, y) once upright.
            int sx = x, sy = y;
            switch (orientation) {
                case 2:  // mirrored
                    sx = w - 1 - x;
                    break;
                case 3:  // upside down
                    sx = w - 1 - x;
                    sy = h - 1 - y;
                    break;
                case 4:  // mirrored upside down
                    sy = h - 1 - y;
                    break;
                case 5:  // mirrored, a quarter turn
                    sx = y;
                    sy = x;
                    break;
                case 6:  // a quarter turn clockwise to stand upright
                    sx = y;
                    sy = h - 1 - x;
                    break;
                case 7:
                    sx = w - 1 - y;
                    sy = h - 1 - x;
                    break;
                default:  // 8: a quarter turn anticlockwise
                    sx = w - 1 - y;
                    sy = x;
                    break;
            }
            std::memcpy(out + x * 3, stored.row(sy) + sx * 3, 3);
        }
    }
    return upright;
}

}  // namespace zentrivo
