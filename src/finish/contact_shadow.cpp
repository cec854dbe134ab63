#include "contact_shadow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "border_noise.h"
#include "gaussian_blur.h"
#include "normalised_blur.h"

namespace zentrivo {
namespace {

// Wider than the blurs reach (the carried shadow's, then the last one's).
constexpr int kBlurMargin = 16;

cv::Mat Darkening(const cv::Mat& frame, const cv::Mat& backdrop) {
    cv::Mat frameGrey;
    cv::Mat backdropGrey;
    cv::cvtColor(frame, frameGrey, cv::COLOR_RGB2GRAY);
    cv::cvtColor(backdrop, backdropGrey, cv::COLOR_RGB2GRAY);
    cv::Mat ratio;
    cv::divide(frameGrey, cv::max(backdropGrey, 1.0), ratio);
    cv::Mat darkening = 1.0 - ratio;
    return cv::max(darkening, 0.0);
}

// How far the bare border's darkening reaches, as noise: read on the clean
// border's pixels alone, gathered in a row, not on the whole frame.
float BorderNoise(const cv::Mat& frame, const cv::Mat& backdrop, const cv::Mat& cleanBorder) {
    const auto clean = static_cast<std::size_t>(cv::countNonZero(cleanBorder));
    std::vector<cv::Vec3f> seen;
    std::vector<cv::Vec3f> behind;
    seen.reserve(clean);
    behind.reserve(clean);
    for (int y = 0; y < cleanBorder.rows; ++y) {
        const auto* isClean = cleanBorder.ptr<std::uint8_t>(y);
        const auto* frameRow = frame.ptr<cv::Vec3f>(y);
        const auto* backdropRow = backdrop.ptr<cv::Vec3f>(y);
        for (int x = 0; x < cleanBorder.cols; ++x) {
            if (isClean[x]) {
                seen.push_back(frameRow[x]);
                behind.push_back(backdropRow[x]);
            }
        }
    }
    if (seen.empty()) {
        return 0;
    }
    const int count = static_cast<int>(seen.size());
    const cv::Mat darkening = Darkening(cv::Mat(1, count, CV_32FC3, seen.data()),
                                        cv::Mat(1, count, CV_32FC3, behind.data()));
    const float* first = darkening.ptr<float>(0);
    return NoiseReach(std::vector<float>(first, first + count), 0.005);
}

// How far from the product a contact shadow may reach: a quarter of its
// height. A darker patch further off is something else on the table.
double Reach(const cv::Rect& productBox) {
    return std::max(4.0, 0.25 * productBox.height);
}

// 1 near the product, fading to 0 at the reach.
cv::Mat Nearness(const cv::Mat& productMask, double reach) {
    cv::Mat outside;
    cv::bitwise_not(productMask, outside);
    cv::Mat distance;
    cv::distanceTransform(outside, distance, cv::DIST_L2, cv::DIST_MASK_PRECISE);
    cv::Mat nearness = (reach - distance) / (0.3 * reach);
    return cv::min(cv::max(nearness, 0.0), 1.0);
}

// The shadow within `near`, which holds the product and its reach with room
// to spare: beyond the reach the shadow is nothing.
cv::Mat ShadowNear(const cv::Mat& darkening, float noise, const cv::Mat& productMask,
                   double reach) {
    // Fades in over the noise's own width, so the shadow's rim has no step.
    cv::Mat fade = (darkening - noise) / noise;
    fade = cv::min(cv::max(fade, 0.0), 1.0);
    cv::Mat shadow = darkening.mul(fade);
    // Right at the product the smoothed frame is darkened by the product
    // itself; there the shadow is carried on from just beyond.
    cv::Mat beyond;
    cv::dilate(productMask, beyond, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(9, 9)));
    cv::bitwise_not(beyond, beyond);
    const cv::Mat carried = NormalisedBlur(shadow, beyond, 2.0);
    carried.copyTo(shadow, ~beyond);
    shadow = shadow.mul(Nearness(productMask, reach));
    GaussianSmooth(shadow, shadow, 1.0);
    return shadow;
}

}  // namespace

cv::Mat ContactShadow(const cv::Mat& frame, const cv::Mat& backdrop, const cv::Mat& productMask,
                      const cv::Mat& cleanBorder) {
    cv::Mat shadow(frame.size(), CV_32F, cv::Scalar(0));
    const cv::Rect box = cv::boundingRect(productMask);
    if (box.empty()) {
        return shadow;
    }
    // A border without bare backdrop still leaves a floor for the noise.
    const float noise = std::max(BorderNoise(frame, backdrop, cleanBorder), 0.005f);
    // Only near the product is worked on, the margin beyond the reach wider
    // than the blurs: a product in a tenth of a large photo costs a tenth.
    const int margin = static_cast<int>(std::ceil(Reach(box))) + kBlurMargin;
    const cv::Rect near = (box + cv::Size(2 * margin, 2 * margin) - cv::Point(margin, margin)) &
                          cv::Rect(cv::Point(), frame.size());
    ShadowNear(Darkening(frame(near), backdrop(near)), noise, productMask(near), Reach(box))
        .copyTo(shadow(near));
    return shadow;
}

}  // namespace zentrivo
