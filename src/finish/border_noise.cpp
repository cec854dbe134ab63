#include "border_noise.h"

#include <algorithm>
#include <vector>

namespace zentrivo {

float NoiseReach(const cv::Mat& values, const cv::Mat& chosen, double tail) {
    std::vector<float> noise;
    for (int y = 0; y < values.rows; ++y) {
        for (int x = 0; x < values.cols; ++x) {
            if (chosen.at<std::uint8_t>(y, x)) {
                noise.push_back(values.at<float>(y, x));
            }
        }
    }
    if (noise.empty()) {
        return 0;
    }
    auto at = noise.begin() +
              static_cast<std::ptrdiff_t>((1 - tail) * static_cast<double>(noise.size() - 1));
    std::nth_element(noise.begin(), at, noise.end());
    return *at;
}

}  // namespace zentrivo
