#include "normalised_blur.h"

#include <vector>

#include <opencv2/imgproc.hpp>

namespace zentrivo {

cv::Mat NormalisedBlur(const cv::Mat& image, const cv::Mat& chosen, double sigma, cv::Mat* found) {
    cv::Mat weight;
    chosen.convertTo(weight, CV_32F, 1.0 / 255);
    cv::Mat weightPerChannel;
    cv::merge(std::vector<cv::Mat>(static_cast<std::size_t>(image.channels()), weight),
              weightPerChannel);
    cv::Mat sum;
    cv::GaussianBlur(image.mul(weightPerChannel), sum, cv::Size(), sigma);
    cv::Mat near;
    cv::GaussianBlur(weight, near, cv::Size(), sigma);
    cv::Mat nearPerChannel;
    cv::merge(std::vector<cv::Mat>(static_cast<std::size_t>(image.channels()), near),
              nearPerChannel);
    cv::Mat mean;
    cv::divide(sum, cv::max(nearPerChannel, 1e-6), mean);
    if (found) {
        *found = near;
    }
    return mean;
}

}  // namespace zentrivo
