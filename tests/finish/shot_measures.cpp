#include "shot_measures.h"

#include <algorithm>

namespace zentrivo::testing {

double Overlap(const std::vector<std::uint8_t>& truth, const std::vector<std::uint8_t>& product) {
    std::size_t both = 0;
    std::size_t either = 0;
    for (std::size_t i = 0; i < truth.size(); ++i) {
        const bool t = truth[i] >= 128;
        const bool p = product[i] >= 128;
        both += t && p;
        either += t || p;
    }
    return either == 0 ? 1.0 : static_cast<double>(both) / static_cast<double>(either);
}

double WhiteShare(const RgbaImage& image, const std::vector<std::uint8_t>& truth,
                  const std::vector<float>& shadow, float shadowBelow) {
    std::size_t counted = 0;
    std::size_t white = 0;
    for (std::size_t i = 0; i < truth.size(); ++i) {
        if (truth[i] != 0 || shadow[i] >= shadowBelow) {
            continue;
        }
        const std::uint8_t* p = image.pixels.data() + i * 4;
        ++counted;
        white += p[0] == 255 && p[1] == 255 && p[2] == 255;
    }
    return counted == 0 ? 1.0 : static_cast<double>(white) / static_cast<double>(counted);
}

std::pair<int, int> MarkedColumns(const RgbaImage& image, bool transparent) {
    int left = image.width;
    int right = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.row(y) + x * 4;
            const bool marked =
                transparent ? p[3] >= 128 : (p[0] < 250 || p[1] < 250 || p[2] < 250);
            if (marked) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
        }
    }
    return {left, right};
}

}  // namespace zentrivo::testing
