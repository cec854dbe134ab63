#include "compose.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace zentrivo {
namespace {

// Each stored step as a share, worked out once rather than divided out
// for every pixel.
constexpr std::array<float, 256> StepShares() {
    std::array<float, 256> shares{};
    for (int step = 0; step < 256; ++step) {
        shares[static_cast<std::size_t>(step)] = static_cast<float>(step) / 255;
    }
    return shares;
}

constexpr std::array<float, 256> kStepShares = StepShares();

// Alpha and shadow are stored as bytes in the end; taking them at that step
// now keeps a pixel with neither exactly white, rather than 254.6.
float AsStored(float share) {
    return kStepShares[cv::saturate_cast<std::uint8_t>(share * 255)];
}

std::uint8_t Byte(float value) {
    return cv::saturate_cast<std::uint8_t>(value);
}

// Whether AsStored makes `share` nothing: it rounds to the nearest step,
// and a tie to the even one.
bool StoredAsNone(float share) {
    return share * 255 <= 0.5f;
}

}  // namespace

RgbaImage Compose(const cv::Mat& productColour, const cv::Mat& alpha, const cv::Mat& backdrop,
                  const cv::Mat& shadow, bool transparent) {
    CV_Assert(productColour.type() == CV_32FC3 && backdrop.type() == CV_32FC3 &&
              alpha.type() == CV_32F);
    RgbaImage out(alpha.cols, alpha.rows, Unfilled{});
    const std::uint8_t bare = transparent ? 0 : 255;
    std::vector<std::uint8_t> covered(static_cast<std::size_t>(alpha.cols));
    // One pass, row by row: a frame of a spin is large, and every whole-image
    // step in between would be written to memory and read back.
    for (int y = 0; y < alpha.rows; ++y) {
        const auto* colour = productColour.ptr<cv::Vec3f>(y);
        const auto* behind = backdrop.ptr<cv::Vec3f>(y);
        const float* shares = alpha.ptr<float>(y);
        const float* shadows = shadow.empty() ? nullptr : shadow.ptr<float>(y);
        std::uint8_t* const start = out.pixels.data() + static_cast<std::size_t>(y) * out.stride();
        // Much of a frame is bare backdrop, white or nothing: it is told
        // apart for the whole row at once, and its runs are filled whole.
        for (int x = 0; x < alpha.cols; ++x) {
            covered[static_cast<std::size_t>(x)] = !StoredAsNone(shares[x]);
        }
        if (shadows) {
            for (int x = 0; x < alpha.cols; ++x) {
                covered[static_cast<std::size_t>(x)] |= !StoredAsNone(shadows[x]);
            }
        }
        std::fill(start, start + out.stride(), bare);
        std::uint8_t* row = start;
        for (int x = 0; x < alpha.cols; ++x, row += 4) {
            if (!covered[static_cast<std::size_t>(x)]) {
                continue;
            }
            const float a = AsStored(shares[x]);
            const float s = shadows ? AsStored(shadows[x]) : 0.0f;
            // The product over the shadow, the shadow being black. Where
            // there is no product its colour counts for nothing, and the
            // backdrop behind a shadow alone is not read.
            const float cover = a + (1 - a) * s;
            float product[3] = {0, 0, 0};
            for (int c = 0; a > 0 && c < 3; ++c) {
                const float divided = colour[x][c] / std::max(behind[x][c], 1.0f);
                product[c] = std::min(std::max(divided * 255, 0.0f), 255.0f);
            }
            if (transparent) {
                // Nothing covers the pixel: no colour.
                const float share = cover == 0 ? 0.0f : a / cover;
                for (int c = 0; c < 3; ++c) {
                    row[c] = Byte(product[c] * share);
                }
                row[3] = Byte(cover * 255);
            } else {
                const float white = 255 * (1 - cover);
                for (int c = 0; c < 3; ++c) {
                    row[c] = Byte(product[c] * a + white);
                }
                row[3] = 255;
            }
        }
    }
    return out;
}

}  // namespace zentrivo
