#include "compose.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace zentrivo {
namespace {

// A value rounded to a byte as OpenCV's saturate_cast rounds it (to the
// nearest, ties to even, then held to 0..255), in plain float arithmetic
// the compiler can widen: a float from 0 to 255 plus 2^23 has no fraction
// left, the addition rounding it, and taking 2^23 away again is exact.
float RoundedByte(float value) {
    constexpr float kNoFraction = 8388608.0f;
    const float held = std::min(std::max(value, 0.0f), 255.0f);
    return (held + kNoFraction) - kNoFraction;
}

// Alpha and shadow are stored as bytes in the end; taking them at that step
// now keeps a pixel with neither exactly white, rather than 254.6.
float AsStored(float share) {
    return RoundedByte(share * 255) / 255;
}

// The least share AsStored gives but none.
constexpr float kStep = 1.0f / 255;

// Whether AsStored makes `share` nothing: it rounds to the nearest step,
// and a tie to the even one.
bool StoredAsNone(float share) {
    return share * 255 <= 0.5f;
}

// The pixels [from, to) of a row that some product or shadow covers, each
// worked out alike with no branch, so the compiler widens the loop.
template <bool kShadow, bool kTransparent>
void ComposeRun(const float* colour, const float* behind, const float* shares, const float* shadows,
                std::uint8_t* row, int from, int to) {
    for (int x = from; x < to; ++x) {
        const float a = AsStored(shares[x]);
        const float s = kShadow ? AsStored(shadows[x]) : 0.0f;
        // The product over the shadow, the shadow being black. Where there
        // is no product its colour counts for nothing: neither it nor the
        // backdrop need hold anything there (a shadow alone), and what
        // they hold is passed over.
        const float cover = a + (1 - a) * s;
        float product[3];
        for (int c = 0; c < 3; ++c) {
            const float divided = colour[3 * x + c] / std::max(behind[3 * x + c], 1.0f);
            product[c] = a > 0 ? std::min(std::max(divided * 255, 0.0f), 255.0f) : 0.0f;
        }
        std::uint8_t* pixel = row + 4 * x;
        if (kTransparent) {
            // Covered at all, the pixel is covered at least a step; not
            // covered, it has no colour (a is 0).
            const float share = a / std::max(cover, kStep);
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<std::uint8_t>(RoundedByte(product[c] * share));
            }
            pixel[3] = static_cast<std::uint8_t>(RoundedByte(cover * 255));
        } else {
            const float white = 255 * (1 - cover);
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<std::uint8_t>(RoundedByte(product[c] * a + white));
            }
            pixel[3] = 255;
        }
    }
}

template <bool kShadow, bool kTransparent>
void ComposeRow(const float* colour, const float* behind, const float* shares, const float* shadows,
                std::uint8_t* row, int width, std::vector<std::uint8_t>& covered) {
    for (int x = 0; x < width; ++x) {
        covered[static_cast<std::size_t>(x)] = !StoredAsNone(shares[x]);
    }
    if (kShadow) {
        for (int x = 0; x < width; ++x) {
            covered[static_cast<std::size_t>(x)] |= !StoredAsNone(shadows[x]);
        }
    }
    // Much of a frame is bare backdrop, white or nothing: its runs are left
    // as filled, and the covered runs worked out whole.
    int x = 0;
    while (x < width) {
        while (x < width && !covered[static_cast<std::size_t>(x)]) {
            ++x;
        }
        const int from = x;
        while (x < width && covered[static_cast<std::size_t>(x)]) {
            ++x;
        }
        ComposeRun<kShadow, kTransparent>(colour, behind, shares, shadows, row, from, x);
    }
}

}  // namespace

RgbaImage Compose(const cv::Mat& productColour, const cv::Mat& alpha, const cv::Mat& backdrop,
                  const cv::Mat& shadow, bool transparent) {
    CV_Assert(productColour.type() == CV_32FC3 && backdrop.type() == CV_32FC3 &&
              alpha.type() == CV_32F);
    RgbaImage out(alpha.cols, alpha.rows, Unfilled{});
    const std::uint8_t bare = transparent ? 0 : 255;
    std::vector<std::uint8_t> covered(static_cast<std::size_t>(alpha.cols));
    const auto compose = shadow.empty()
                             ? (transparent ? ComposeRow<false, true> : ComposeRow<false, false>)
                             : (transparent ? ComposeRow<true, true> : ComposeRow<true, false>);
    // One pass, row by row: a frame of a spin is large, and every whole-image
    // step in between would be written to memory and read back.
    for (int y = 0; y < alpha.rows; ++y) {
        std::uint8_t* row = out.pixels.data() + static_cast<std::size_t>(y) * out.stride();
        std::fill(row, row + out.stride(), bare);
        compose(productColour.ptr<float>(y), backdrop.ptr<float>(y), alpha.ptr<float>(y),
                shadow.empty() ? nullptr : shadow.ptr<float>(y), row, alpha.cols, covered);
    }
    return out;
}

}  // namespace zentrivo
