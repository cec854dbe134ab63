#include "compose.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zentrivo {
namespace {

// Alpha and shadow are stored as bytes in the end; taking them at that step
// now keeps a pixel with neither exactly white, rather than 254.6.
float AsStored(float share) {
    return std::round(std::clamp(share, 0.0f, 1.0f) * 255) / 255;
}

}  // namespace

cv::Mat Compose(const cv::Mat& productColour, const cv::Mat& alpha, const cv::Mat& backdrop,
                const cv::Mat& shadow, bool transparent) {
    cv::Mat out(productColour.size(), CV_32FC4);
    for (int y = 0; y < out.rows; ++y) {
        for (int x = 0; x < out.cols; ++x) {
            const float a = AsStored(alpha.at<float>(y, x));
            const float s = shadow.empty() ? 0.0f : AsStored(shadow.at<float>(y, x));
            const cv::Vec3f b = backdrop.at<cv::Vec3f>(y, x);
            const cv::Vec3f c = productColour.at<cv::Vec3f>(y, x);
            cv::Vec3f product;
            for (int i = 0; i < 3; ++i) {
                product[i] = std::clamp(c[i] / std::max(b[i], 1.0f) * 255, 0.0f, 255.0f);
            }
            // The product over the shadow, the shadow being black.
            const float cover = a + (1 - a) * s;
            cv::Vec4f& pixel = out.at<cv::Vec4f>(y, x);
            if (transparent) {
                const cv::Vec3f colour = cover > 0 ? product * (a / cover) : cv::Vec3f();
                pixel = {colour[0], colour[1], colour[2], cover};
            } else {
                const cv::Vec3f colour = product * a + cv::Vec3f::all(255 * (1 - cover));
                pixel = {colour[0], colour[1], colour[2], 1};
            }
        }
    }
    return out;
}

cv::Mat ShadowShows(const cv::Mat& shadow) {
    cv::Mat shows(shadow.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < shadow.rows; ++y) {
        for (int x = 0; x < shadow.cols; ++x) {
            if (AsStored(shadow.at<float>(y, x)) > 0) {
                shows.at<std::uint8_t>(y, x) = 255;
            }
        }
    }
    return shows;
}

}  // namespace zentrivo
