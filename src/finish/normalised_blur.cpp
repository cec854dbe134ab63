#include "normalised_blur.h"

#include <algorithm>

#include "gaussian_blur.h"

namespace zentrivo {

cv::Mat NormalisedBlur(const cv::Mat& image, const cv::Mat& chosen, double sigma, cv::Mat* found) {
    // Each pixel weighs all or nothing: the chosen ones as they are, the
    // others as nought.
    cv::Mat weighted(image.size(), image.type(), cv::Scalar::all(0));
    image.copyTo(weighted, chosen);
    cv::Mat weight;
    chosen.convertTo(weight, CV_32F, 1.0 / 255);
    cv::Mat sum;
    GaussianSmooth(weighted, sum, sigma);
    cv::Mat near;
    GaussianSmooth(weight, near, sigma);
    cv::Mat mean(image.size(), image.type());
    const int channels = image.channels();
    for (int y = 0; y < image.rows; ++y) {
        const float* total = sum.ptr<float>(y);
        const float* weights = near.ptr<float>(y);
        float* out = mean.ptr<float>(y);
        for (int x = 0; x < image.cols; ++x) {
            const float by = std::max(weights[x], 1e-6f);
            for (int c = 0; c < channels; ++c) {
                out[x * channels + c] = total[x * channels + c] / by;
            }
        }
    }
    if (found) {
        *found = near;
    }
    return mean;
}

}  // namespace zentrivo
