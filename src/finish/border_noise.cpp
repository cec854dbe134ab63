#include "border_noise.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zentrivo {

float NoiseReach(std::vector<float> values, double tail) {
    if (values.empty()) {
        return 0;
    }
    auto at = values.begin() +
              static_cast<std::ptrdiff_t>((1 - tail) * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

float NoiseReach(const cv::Mat& values, const cv::Mat& chosen, double tail) {
    CV_Assert(values.type() == CV_32F && chosen.type() == CV_8U && values.size() == chosen.size());
    std::vector<float> noise;
    noise.reserve(static_cast<std::size_t>(cv::countNonZero(chosen)));
    for (int y = 0; y < values.rows; ++y) {
        const float* value = values.ptr<float>(y);
        const auto* isChosen = chosen.ptr<std::uint8_t>(y);
        for (int x = 0; x < values.cols; ++x) {
            if (isChosen[x]) {
                noise.push_back(value[x]);
            }
        }
    }
    return NoiseReach(std::move(noise), tail);
}

}  // namespace zentrivo
