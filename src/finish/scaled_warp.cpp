#include "scaled_warp.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

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

// One source row weighed across for every output column, in 1/32; rows
// beyond the source are all `beyond`.
void Across(const cv::Mat& source, int row, const std::vector<Tap>& columns, int beyond,
            std::vector<std::uint16_t>& sums) {
    const int channels = source.channels();
    const int width = source.cols;
    const std::uint8_t* in =
        row >= 0 && row < source.rows ? source.ptr<std::uint8_t>(row) : nullptr;
    std::uint16_t* to = sums.data();
    for (const Tap& tap : columns) {
        const bool firstIn = in != nullptr && tap.first >= 0 && tap.first < width;
        const bool secondIn = in != nullptr && tap.first + 1 >= 0 && tap.first + 1 < width;
        const int w1 = tap.weight;
        const int w0 = kSteps - w1;
        if (firstIn && secondIn) {
            const std::uint8_t* p = in + static_cast<std::ptrdiff_t>(tap.first) * channels;
            for (int c = 0; c < channels; ++c) {
                *to++ = static_cast<std::uint16_t>(w0 * p[c] + w1 * p[c + channels]);
            }
            continue;
        }
        for (int c = 0; c < channels; ++c) {
            const int a = firstIn ? in[tap.first * channels + c] : beyond;
            const int b = secondIn ? in[(tap.first + 1) * channels + c] : beyond;
            *to++ = static_cast<std::uint16_t>(w0 * a + w1 * b);
        }
    }
}

}  // namespace

void WarpScaled(const cv::Mat& source, const cv::Matx23d& toOutput, cv::Mat& out,
                std::uint8_t beyond) {
    CV_Assert(source.depth() == CV_8U && out.type() == source.type() && toOutput(0, 1) == 0 &&
              toOutput(1, 0) == 0);
    const Inverse back = Inverted(toOutput);
    const int scale = 1 << kCoordinateBits;
    const int startX = Rounded(back.shiftX * scale) + kHalfStep;
    std::vector<Tap> columns(static_cast<std::size_t>(out.cols));
    for (int x = 0; x < out.cols; ++x) {
        columns[static_cast<std::size_t>(x)] =
            TapAt((startX + Rounded(back.scaleX * x * scale)) >> (kCoordinateBits - kStepBits));
    }
    const std::size_t values = static_cast<std::size_t>(out.cols) * out.channels();
    // The two source rows the last output row read, weighed across.
    std::vector<std::uint16_t> upper(values);
    std::vector<std::uint16_t> lower(values);
    int upperRow = 0;
    bool read = false;
    for (int y = 0; y < out.rows; ++y) {
        const Tap row = TapAt((Rounded((back.scaleY * y + back.shiftY) * scale) + kHalfStep) >>
                              (kCoordinateBits - kStepBits));
        if (!read || row.first != upperRow) {
            if (read && row.first == upperRow + 1) {
                upper.swap(lower);
            } else {
                Across(source, row.first, columns, beyond, upper);
            }
            Across(source, row.first + 1, columns, beyond, lower);
            upperRow = row.first;
            read = true;
        }
        const int w1 = row.weight;
        const int w0 = kSteps - w1;
        std::uint8_t* to = out.ptr<std::uint8_t>(y);
        for (std::size_t i = 0; i < values; ++i) {
            const std::uint32_t sum = w0 * std::uint32_t{upper[i]} + w1 * std::uint32_t{lower[i]};
            to[i] =
                static_cast<std::uint8_t>((sum + (1u << (2 * kStepBits - 1))) >> (2 * kStepBits));
        }
    }
}

}  // namespace zentrivo
