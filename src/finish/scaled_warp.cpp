#include "scaled_warp.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "bare_box.h"

namespace zentrivo {
namespace {

// OpenCV's fixed point: coordinates in 1/1024, rounded to 1/32.
constexpr int kCoordinateBits = 10;
constexpr int kStepBits = 5;
constexpr int kSteps = 1 << kStepBits;
constexpr int kHalfStep = (1 << kCoordinateBits) / kSteps / 2;

int Rounded(double value) {
    return static_cast<int>(std::lrint(value));
}

// Where an output pixel reads along one side: the first of its two source
// pixels and the second's weight in 1/32.
struct Tap {
    int first;
    int weight;
};

Tap TapAt(int coordinate) {
    const int index = coordinate >> kStepBits;
    return {std::clamp(index, -32768, 32767), coordinate & (kSteps - 1)};
}

// The inverse of a scale and shift, computed as OpenCV does, so that it
// rounds alike.
struct Inverse {
    double scaleX, shiftX, scaleY, shiftY;
};

Inverse Inverted(const cv::Matx23d& m) {
    double d = m(0, 0) * m(1, 1) - m(0, 1) * m(1, 0);
    d = d != 0 ? 1. / d : 0;
    const double scaleX = m(1, 1) * d;
    const double scaleY = m(0, 0) * d;
    const double across = m(0, 1) * -d;
    const double down = m(1, 0) * -d;
    return {scaleX, -scaleX * m(0, 2) - across * m(1, 2), scaleY,
            -down * m(0, 2) - scaleY * m(1, 2)};
}

// The least box of `source` outside which every byte is `beyond`: a
// finished frame is mostly white, and there the output is white too.
cv::Rect NotBeyond(const cv::Mat& source, std::uint8_t beyond) {
    const PixelRect box =
        NotBareBox(source.data, source.step, source.cols, source.rows, source.channels(), beyond);
    return {box.left, box.top, box.width, box.height};
}

// Where each output column reads; the columns [begin, end) read some of
// the source's content, and those of them in [inBegin, inEnd) read only
// it. The others read nothing but `beyond`.
struct Columns {
    std::vector<Tap> taps;
    int begin = 0;
    int end = 0;
    int inBegin = 0;
    int inEnd = 0;
};

Columns ColumnsOf(std::vector<Tap> taps, int left, int right) {
    Columns columns;
    const int count = static_cast<int>(taps.size());
    const auto at = [&taps](int x) { return taps[static_cast<std::size_t>(x)]; };
    // The taps move right as x does.
    while (columns.begin < count && at(columns.begin).first + 1 < left) {
        ++columns.begin;
    }
    columns.end = columns.begin;
    while (columns.end < count && at(columns.end).first < right) {
        ++columns.end;
    }
    columns.inBegin = columns.begin;
    while (columns.inBegin < columns.end && at(columns.inBegin).first < left) {
        ++columns.inBegin;
    }
    columns.inEnd = std::max(columns.inBegin, columns.end);
    while (columns.inEnd > columns.inBegin && at(columns.inEnd - 1).first + 1 >= right) {
        --columns.inEnd;
    }
    columns.taps = std::move(taps);
    return columns;
}

// One source row weighed across for the columns that read it, in 1/32;
// outside `content` every pixel is `beyond`.
template <int kChannels>
void Across(const cv::Mat& source, const cv::Rect& content, int row, const Columns& columns,
            int beyond, std::vector<std::int16_t>& sums) {
    std::int16_t* to = sums.data() + static_cast<std::ptrdiff_t>(columns.begin) * kChannels;
    if (row < content.y || row >= content.y + content.height) {
        std::fill(to, to + static_cast<std::ptrdiff_t>(columns.end - columns.begin) * kChannels,
                  static_cast<std::int16_t>(kSteps * beyond));
        return;
    }
    const auto* in = source.ptr<std::uint8_t>(row);
    const int right = content.x + content.width;
    const auto edge = [&](int x) {
        const Tap tap = columns.taps[static_cast<std::size_t>(x)];
        const bool firstIn = tap.first >= content.x && tap.first < right;
        const bool secondIn = tap.first + 1 >= content.x && tap.first + 1 < right;
        for (int c = 0; c < kChannels; ++c) {
            const int a = firstIn ? in[tap.first * kChannels + c] : beyond;
            const int b = secondIn ? in[(tap.first + 1) * kChannels + c] : beyond;
            *to++ = static_cast<std::int16_t>((kSteps - tap.weight) * a + tap.weight * b);
        }
    };
    for (int x = columns.begin; x < columns.inBegin; ++x) {
        edge(x);
    }
    const Tap* tap = columns.taps.data() + columns.inBegin;
    for (int x = columns.inBegin; x < columns.inEnd; ++x, ++tap) {
        const std::uint8_t* p = in + static_cast<std::ptrdiff_t>(tap->first) * kChannels;
        const int w1 = tap->weight;
        const int w0 = kSteps - w1;
        for (int c = 0; c < kChannels; ++c) {
            *to++ = static_cast<std::int16_t>(w0 * p[c] + w1 * p[c + kChannels]);
        }
    }
    for (int x = columns.inEnd; x < columns.end; ++x) {
        edge(x);
    }
}

template <int kChannels>
void Warp(const cv::Mat& source, const Inverse& back, cv::Mat& out, std::uint8_t beyond) {
    const int scale = 1 << kCoordinateBits;
    const int shift = kCoordinateBits - kStepBits;
    const cv::Rect content = NotBeyond(source, beyond);
    if (content.empty()) {
        out.setTo(cv::Scalar::all(beyond));
        return;
    }
    const int startX = Rounded(back.shiftX * scale) + kHalfStep;
    std::vector<Tap> taps(static_cast<std::size_t>(out.cols));
    for (int x = 0; x < out.cols; ++x) {
        taps[static_cast<std::size_t>(x)] =
            TapAt((startX + Rounded(back.scaleX * x * scale)) >> shift);
    }
    const Columns columns = ColumnsOf(std::move(taps), content.x, content.x + content.width);
    const auto from = static_cast<std::size_t>(columns.begin) * kChannels;
    const auto to = static_cast<std::size_t>(columns.end) * kChannels;
    const std::size_t rowBytes = static_cast<std::size_t>(out.cols) * kChannels;
    // The two source rows the last output row read, weighed across.
    std::vector<std::int16_t> upper(rowBytes);
    std::vector<std::int16_t> lower(rowBytes);
    int upperRow = 0;
    bool read = false;
    for (int y = 0; y < out.rows; ++y) {
        auto* row = out.ptr<std::uint8_t>(y);
        const Tap down =
            TapAt((Rounded((back.scaleY * y + back.shiftY) * scale) + kHalfStep) >> shift);
        if (down.first + 1 < content.y || down.first >= content.y + content.height) {
            std::memset(row, beyond, rowBytes);
            continue;
        }
        if (!read || down.first != upperRow) {
            if (read && down.first == upperRow + 1) {
                upper.swap(lower);
            } else {
                Across<kChannels>(source, content, down.first, columns, beyond, upper);
            }
            Across<kChannels>(source, content, down.first + 1, columns, beyond, lower);
            upperRow = down.first;
            read = true;
        }
        std::memset(row, beyond, from);
        std::memset(row + to, beyond, rowBytes - to);
        const auto w1 = static_cast<std::int16_t>(down.weight);
        const auto w0 = static_cast<std::int16_t>(kSteps - down.weight);
        const std::int16_t* a = upper.data();
        const std::int16_t* b = lower.data();
        for (std::size_t i = from; i < to; ++i) {
            const std::int32_t sum = std::int32_t{a[i]} * w0 + std::int32_t{b[i]} * w1;
            row[i] =
                static_cast<std::uint8_t>((sum + (1 << (2 * kStepBits - 1))) >> (2 * kStepBits));
        }
    }
}

}  // namespace

void WarpScaled(const cv::Mat& source, const cv::Matx23d& toOutput, cv::Mat& out,
                std::uint8_t beyond) {
    CV_Assert(source.depth() == CV_8U && out.type() == source.type() && toOutput(0, 1) == 0 &&
              toOutput(1, 0) == 0);
    const Inverse back = Inverted(toOutput);
    switch (source.channels()) {
        case 3:
            Warp<3>(source, back, out, beyond);
            break;
        case 4:
            Warp<4>(source, back, out, beyond);
            break;
        default:
            CV_Error(cv::Error::StsBadArg, "Only pictures of three or four channels are framed.");
    }
}

}  // namespace zentrivo
