#include "product_evidence.h"

#include <algorithm>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "border_noise.h"

namespace zentrivo {
namespace {

// Darker than this is no shadow of ours: a contact shadow that deep would
// be a black mark, and a dark product must not pass for one.
constexpr float kDeepestShadow = 0.3f;

cv::Mat ToLab(const cv::Mat& rgb) {
    cv::Mat unit;
    rgb.convertTo(unit, CV_32FC3, 1.0 / 255);
    cv::Mat lab;
    cv::cvtColor(unit, lab, cv::COLOR_RGB2Lab);
    return lab;
}

// Per pixel the sum of a three-channel image's channels.
cv::Mat ChannelSum(const cv::Mat& image) {
    cv::Mat sum;
    cv::transform(image, sum, cv::Matx13f(1, 1, 1));
    return sum;
}

cv::Mat Distance(const cv::Mat& a, const cv::Mat& b) {
    const cv::Mat difference = a - b;
    cv::Mat distance;
    cv::sqrt(ChannelSum(difference.mul(difference)), distance);
    return distance;
}

}  // namespace

cv::Mat ProductEvidence(const cv::Mat& frame, const cv::Mat& backdrop) {
    // The darkening that best explains each pixel, by least squares in RGB;
    // whole images at a time, which OpenCV runs vectorised.
    const cv::Mat scale =
        ChannelSum(frame.mul(backdrop)) / cv::max(ChannelSum(backdrop.mul(backdrop)), 1e-6);
    const cv::Mat darkening = cv::min(cv::max(scale, kDeepestShadow), 1.0f);
    cv::Mat shadowed;
    cv::merge(std::vector<cv::Mat>(3, darkening), shadowed);
    shadowed = shadowed.mul(backdrop);
    const cv::Mat frameLab = ToLab(frame);
    cv::Mat evidence = Distance(frameLab, ToLab(backdrop));
    // Only a darkening a shadow could make may explain the pixel away.
    const cv::Mat fromShadow = cv::min(evidence, Distance(frameLab, ToLab(shadowed)));
    fromShadow.copyTo(evidence, (scale < 1) & (scale >= kDeepestShadow));
    return evidence;
}

EvidenceLevels LevelsFromBorder(const cv::Mat& evidence, const cv::Mat& cleanBorder) {
    EvidenceLevels levels;
    // Well above the noise's tail: the backdrop gives no specks, and the
    // colour JPEG spills a few pixels beyond a hard edge stays below it too.
    // Never below a difference the eye can hardly see.
    levels.threshold = std::max(1.5f, 2.5f * NoiseReach(evidence, cleanBorder, 0.005));
    return levels;
}

}  // namespace zentrivo
