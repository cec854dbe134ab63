#include "image_resize.h"

#include <algorithm>
#include <cmath>

namespace zentrivo {

PixelSize FitLongEdge(int width, int height, int longEdge) {
    const int longest = std::max(width, height);
    if (longest <= longEdge) {
        return {width, height};
    }
    const double scale = static_cast<double>(longEdge) / longest;
    const auto scaled = [scale](int edge) {
        return std::max(1, static_cast<int>(std::lround(edge * scale)));
    };
    return width >= height ? PixelSize{longEdge, scaled(height)}
                           : PixelSize{scaled(width), longEdge};
}

namespace {

// Which source pixels make one destination pixel, with weights in 1/65536
// that add up to exactly 65536.
struct Taps {
    int first = 0;
    std::vector<std::uint32_t> weights;
};

std::vector<Taps> AreaTaps(int from, int to) {
    std::vector<Taps> taps(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        double start = i * scale;
        double end = (i + 1) * scale;
        if (scale < 1.0) {
            // Enlarging: a pixel-wide window round the matching point.
            const double centre = (i + 0.5) * scale;
            start = std::max(0.0, centre - 0.5);
            end = std::min(static_cast<double>(from), centre + 0.5);
        }
        Taps& t = taps[static_cast<std::size_t>(i)];
        t.first = static_cast<int>(std::floor(start));
        const int last = std::min(from - 1, static_cast<int>(std::ceil(end)) - 1);
        std::uint32_t given = 0;
        for (int s = t.first; s <= last; ++s) {
            const double cover = std::min(end, s + 1.0) - std::max(start, static_cast<double>(s));
            const auto w = static_cast<std::uint32_t>(std::lround(cover / (end - start) * 65536));
            t.weights.push_back(w);
            given += w;
        }
        // Rounding must neither darken nor brighten: the largest weight
        // takes up the difference.
        auto biggest = std::max_element(t.weights.begin(), t.weights.end());
        *biggest += 65536 - given;
    }
    return taps;
}

std::uint8_t Rounded(std::uint32_t sum) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (sum + 32768) >> 16));
}

// Destination pixels [from, from + count) of the taps, read from a source
// that starts at `offset` of the whole.
struct TapSpan {
    const std::vector<Taps>* taps;
    int from;
    int count;
    int offset;
    const Taps& at(int i) const { return (*taps)[static_cast<std::size_t>(from + i)]; }
    int first(int i) const { return at(i).first - offset; }
};

RgbImage Resample(const RgbImage& source, const TapSpan& across, const TapSpan& down) {
    // Rows first, into a picture of the new width and the source's rows,
    // then columns; both passes touch memory in order. Only the rows the
    // columns read are made.
    const int firstRow = down.first(0);
    const int lastRow =
        down.first(down.count - 1) + static_cast<int>(down.at(down.count - 1).weights.size());
    RgbImage narrow(across.count, lastRow - firstRow);
    for (int y = firstRow; y < lastRow; ++y) {
        const std::uint8_t* in = source.row(y);
        std::uint8_t* out = narrow.row(y - firstRow);
        for (int x = 0; x < across.count; ++x) {
            const Taps& t = across.at(x);
            std::uint32_t r = 0, g = 0, b = 0;
            const std::uint8_t* p = in + static_cast<std::size_t>(across.first(x)) * 3;
            for (std::uint32_t w : t.weights) {
                r += std::uint32_t{p[0]} * w;
                g += std::uint32_t{p[1]} * w;
                b += std::uint32_t{p[2]} * w;
                p += 3;
            }
            out[x * 3] = Rounded(r);
            out[x * 3 + 1] = Rounded(g);
            out[x * 3 + 2] = Rounded(b);
        }
    }

    RgbImage result(across.count, down.count);
    const std::size_t rowBytes = result.stride();
    std::vector<std::uint32_t> sums(rowBytes);
    for (int y = 0; y < down.count; ++y) {
        const Taps& t = down.at(y);
        std::fill(sums.begin(), sums.end(), 0);
        int s = down.first(y) - firstRow;
        for (std::uint32_t w : t.weights) {
            const std::uint8_t* in = narrow.row(s++);
            for (std::size_t i = 0; i < rowBytes; ++i) {
                sums[i] += std::uint32_t{in[i]} * w;
            }
        }
        std::uint8_t* out = result.row(y);
        for (std::size_t i = 0; i < rowBytes; ++i) {
            out[i] = Rounded(sums[i]);
        }
    }
    return result;
}

// The source pixels [first, end) that destination pixels [from, from +
// count) read.
std::pair<int, int> Read(const std::vector<Taps>& taps, int from, int count) {
    int first = taps[static_cast<std::size_t>(from)].first;
    int end = first;
    for (int i = from; i < from + count; ++i) {
        const Taps& t = taps[static_cast<std::size_t>(i)];
        first = std::min(first, t.first);
        end = std::max(end, t.first + static_cast<int>(t.weights.size()));
    }
    return {first, end};
}

}  // namespace

RgbImage ResizeByArea(const RgbImage& source, int width, int height) {
    if (source.width == width && source.height == height) {
        return source;
    }
    const std::vector<Taps> across = AreaTaps(source.width, width);
    const std::vector<Taps> down = AreaTaps(source.height, height);
    return Resample(source, {&across, 0, width, 0}, {&down, 0, height, 0});
}

PixelRect AreaRead(PixelSize whole, PixelSize size, const PixelRect& part) {
    const auto [left, right] = Read(AreaTaps(whole.width, size.width), part.left, part.width);
    const auto [top, bottom] = Read(AreaTaps(whole.height, size.height), part.top, part.height);
    return {left, top, right - left, bottom - top};
}

RgbImage ResizePartByArea(const RgbImage& source, int left, int top, PixelSize whole,
                          PixelSize size, const PixelRect& part) {
    const std::vector<Taps> across = AreaTaps(whole.width, size.width);
    const std::vector<Taps> down = AreaTaps(whole.height, size.height);
    return Resample(source, {&across, part.left, part.width, left},
                    {&down, part.top, part.height, top});
}

}  // namespace zentrivo
