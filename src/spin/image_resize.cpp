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

// The taps of a span laid out flat, each padded with taps that weigh
// nothing to as many as the most any has, so that the loop over them has
// one length throughout and the compiler can unroll it. A padded tap that
// would read past the source's row is moved before the first instead.
struct FlatTaps {
    int count = 0;  // taps per destination pixel
    std::vector<int> first;
    std::vector<std::uint32_t> weights;
};

FlatTaps Flattened(const TapSpan& span, int sourceWidth) {
    FlatTaps flat;
    for (int i = 0; i < span.count; ++i) {
        flat.count = std::max(flat.count, static_cast<int>(span.at(i).weights.size()));
    }
    flat.first.resize(static_cast<std::size_t>(span.count));
    flat.weights.assign(static_cast<std::size_t>(span.count) * flat.count, 0);
    for (int i = 0; i < span.count; ++i) {
        const std::vector<std::uint32_t>& weights = span.at(i).weights;
        const int first = std::max(0, std::min(span.first(i), sourceWidth - flat.count));
        flat.first[static_cast<std::size_t>(i)] = first;
        std::copy(weights.begin(), weights.end(),
                  flat.weights.begin() + static_cast<std::ptrdiff_t>(i) * flat.count +
                      (span.first(i) - first));
    }
    return flat;
}

template <int kCount>
void NarrowRow(const std::uint8_t* in, std::uint8_t* out, const FlatTaps& flat) {
    const int taps = kCount > 0 ? kCount : flat.count;
    const std::uint32_t* w = flat.weights.data();
    for (std::size_t x = 0; x < flat.first.size(); ++x, w += taps, out += 3) {
        std::uint32_t r = 0, g = 0, b = 0;
        const std::uint8_t* p = in + static_cast<std::size_t>(flat.first[x]) * 3;
        for (int k = 0; k < taps; ++k, p += 3) {
            r += std::uint32_t{p[0]} * w[k];
            g += std::uint32_t{p[1]} * w[k];
            b += std::uint32_t{p[2]} * w[k];
        }
        out[0] = Rounded(r);
        out[1] = Rounded(g);
        out[2] = Rounded(b);
    }
}

// Two taps whose weights add up to 65536: the rounded sum is the first
// pixel moved towards the second, (a w0 + b w1 + 32768) >> 16 being a +
// ((b - a) w1 + 32768) >> 16 exactly; one product a value, not two.
std::uint8_t Between(int a, int b, std::int32_t toSecond) {
    return static_cast<std::uint8_t>(a + (((b - a) * toSecond + 32768) >> 16));
}

template <>
void NarrowRow<2>(const std::uint8_t* in, std::uint8_t* out, const FlatTaps& flat) {
    const std::uint32_t* w = flat.weights.data() + 1;
    for (std::size_t x = 0; x < flat.first.size(); ++x, w += 2, out += 3) {
        const std::uint8_t* p = in + static_cast<std::size_t>(flat.first[x]) * 3;
        const auto toSecond = static_cast<std::int32_t>(*w);
        out[0] = Between(p[0], p[3], toSecond);
        out[1] = Between(p[1], p[4], toSecond);
        out[2] = Between(p[2], p[5], toSecond);
    }
}

RgbImage Resample(const RgbImage& source, const TapSpan& across, const TapSpan& down) {
    // Rows first, into a picture of the new width and the source's rows,
    // then columns; both passes touch memory in order. Only the rows the
    // columns read are made.
    const int firstRow = down.first(0);
    const int lastRow =
        down.first(down.count - 1) + static_cast<int>(down.at(down.count - 1).weights.size());
    RgbImage narrow(across.count, lastRow - firstRow, Unfilled{});
    const FlatTaps flat = Flattened(across, source.width);
    // A reduction by less than two reads two or three pixels for each.
    const auto narrowRow = flat.count == 2   ? NarrowRow<2>
                           : flat.count == 3 ? NarrowRow<3>
                                             : NarrowRow<0>;
    for (int y = firstRow; y < lastRow; ++y) {
        narrowRow(source.row(y), narrow.row(y - firstRow), flat);
    }

    RgbImage result(across.count, down.count, Unfilled{});
    const std::size_t rowBytes = result.stride();
    std::vector<std::uint32_t> sums(rowBytes);
    for (int y = 0; y < down.count; ++y) {
        const Taps& t = down.at(y);
        std::uint8_t* out = result.row(y);
        if (t.weights.size() == 2) {
            const std::uint8_t* a = narrow.row(down.first(y) - firstRow);
            const std::uint8_t* b = a + rowBytes;
            const auto toSecond = static_cast<std::int32_t>(t.weights[1]);
            for (std::size_t i = 0; i < rowBytes; ++i) {
                out[i] = Between(a[i], b[i], toSecond);
            }
            continue;
        }
        std::fill(sums.begin(), sums.end(), 0);
        int s = down.first(y) - firstRow;
        for (std::uint32_t w : t.weights) {
            const std::uint8_t* in = narrow.row(s++);
            for (std::size_t i = 0; i < rowBytes; ++i) {
                sums[i] += std::uint32_t{in[i]} * w;
            }
        }
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
