#include "contact_shadow.h"

#include <algorithm>

#include <opencv2/imgproc.hpp>

#include "border_noise.h"
#include "normalised_blur.h"

namespace zentrivo {
namespace {

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

// 1 near the product, fading to 0 at a quarter of its height away: a
// contact shadow lies at its foot, a darker patch further off is something
// else on the table.
cv::Mat Nearness(const cv::Mat& productMask) {
    const cv::Rect box = cv::boundingRect(productMask);
    const double reach = std::max(4.0, 0.25 * box.height);
    cv::Mat outside;
    cv::bitwise_not(productMask, outside);
    cv::Mat distance;
    cv::distanceTransform(outside, distance, cv::DIST_L2, cv::DIST_MASK_PRECISE);
    cv::Mat nearness = (reach - distance) / (0.3 * reach);
    return cv::min(cv::max(nearness, 0.0), 1.0);
}

}  // namespace

cv::Mat ContactShadow(const cv::Mat& frame, const cv::Mat& backdrop, const cv::Mat& productMask,
                      const cv::Mat& cleanBorder) {
    if (cv::countNonZero(productMask) == 0) {
        return cv::Mat(frame.size(), CV_32F, cv::Scalar(0));
    }
    const cv::Mat darkening = Darkening(frame, backdrop);
    // A border without bare backdrop still leaves a floor for the noise.
    const float noise = std::max(NoiseReach(darkening, cleanBorder, 0.005), 0.005f);
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
    shadow = shadow.mul(Nearness(productMask));
    cv::GaussianBlur(shadow, shadow, cv::Size(), 1.0);
    return shadow;
}

}  // namespace zentrivo
