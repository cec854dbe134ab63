#include "compose.h"

#include <vector>

namespace zentrivo {
namespace {

// Alpha and shadow are stored as bytes in the end; taking them at that step
// now keeps a pixel with neither exactly white, rather than 254.6.
cv::Mat AsStored(const cv::Mat& shares) {
    cv::Mat bytes;
    shares.convertTo(bytes, CV_8U, 255);
    cv::Mat stored;
    bytes.convertTo(stored, CV_32F, 1.0 / 255);
    return stored;
}

cv::Mat ThreeTimes(const cv::Mat& single) {
    cv::Mat three;
    cv::merge(std::vector<cv::Mat>(3, single), three);
    return three;
}

}  // namespace

cv::Mat Compose(const cv::Mat& productColour, const cv::Mat& alpha, const cv::Mat& backdrop,
                const cv::Mat& shadow, bool transparent) {
    // Whole images at a time, which OpenCV runs vectorised.
    const cv::Mat a = AsStored(alpha);
    const cv::Mat s =
        shadow.empty() ? cv::Mat(alpha.size(), CV_32F, cv::Scalar(0)) : AsStored(shadow);
    cv::Mat product;
    cv::divide(productColour, cv::max(backdrop, 1.0f), product);
    product = cv::min(cv::max(product * 255, 0.0f), 255.0f);
    // The product over the shadow, the shadow being black.
    const cv::Mat cover = a + (1 - a).mul(s);
    std::vector<cv::Mat> channels;
    if (transparent) {
        cv::Mat share;
        cv::divide(a, cover, share);
        share.setTo(0, cover == 0);  // nothing covers the pixel: no colour
        cv::split(product.mul(ThreeTimes(share)), channels);
        channels.push_back(cover);
    } else {
        const cv::Mat white = 255 * (1 - cover);
        cv::split(product.mul(ThreeTimes(a)) + ThreeTimes(white), channels);
        channels.push_back(cv::Mat(alpha.size(), CV_32F, cv::Scalar(1)));
    }
    cv::Mat out;
    cv::merge(channels, out);
    return out;
}

cv::Mat ShadowShows(const cv::Mat& shadow) {
    // Stored as at least one step: at least half a step before rounding.
    return shadow * 255 >= 0.5f;
}

}  // namespace zentrivo
