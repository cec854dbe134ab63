#include "bare_box.h"

#include <algorithm>
#include <cstring>

namespace zentrivo {
namespace {

// How many bytes from `bytes` on are `value`.
std::size_t RunOf(const std::uint8_t* bytes, std::size_t count, std::uint8_t value) {
    const std::uint64_t word = value * 0x0101010101010101ULL;
    std::size_t i = 0;
    for (std::uint64_t read = 0; i + sizeof read <= count; i += sizeof read) {
        std::memcpy(&read, bytes + i, sizeof read);
        if (read != word) {
            break;
        }
    }
    while (i < count && bytes[i] == value) {
        ++i;
    }
    return i;
}

// The same from the end backwards.
std::size_t RunBefore(const std::uint8_t* end, std::size_t count, std::uint8_t value) {
    const std::uint64_t word = value * 0x0101010101010101ULL;
    std::size_t i = 0;
    for (std::uint64_t read = 0; i + sizeof read <= count; i += sizeof read) {
        std::memcpy(&read, end - i - sizeof read, sizeof read);
        if (read != word) {
            break;
        }
    }
    while (i < count && end[-1 - static_cast<std::ptrdiff_t>(i)] == value) {
        ++i;
    }
    return i;
}

}  // namespace

PixelRect NotBareBox(const std::uint8_t* pixels, std::size_t stride, int width, int height,
                     int channels, std::uint8_t bare) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channels;
    int left = width;
    int right = -1;
    int top = height;
    int bottom = -1;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels + stride * static_cast<std::size_t>(y);
        const std::size_t before = RunOf(row, rowBytes, bare);
        if (before == rowBytes) {
            continue;
        }
        const std::size_t after = RunBefore(row + rowBytes, rowBytes - before, bare);
        left = std::min(left, static_cast<int>(before / channels));
        right = std::max(right, static_cast<int>((rowBytes - 1 - after) / channels));
        top = std::min(top, y);
        bottom = y;
    }
    if (right < 0) {
        return {};
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

}  // namespace zentrivo
