#include "product_evidence.h"

#include <algorithm>

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

float Distance(const cv::Vec3f& a, const cv::Vec3f& b) {
    return static_cast<float>(cv::norm(a - b));
}

}  // namespace

cv::Mat ProductEvidence(const cv::Mat& frame, const cv::Mat& backdrop) {
    // The darkening that best explains each pixel, by least squares in RGB.
    cv::Mat scale(frame.size(), CV_32F);
    cv::Mat shadowed(frame.size(), CV_32FC3);
    for (int y = 0; y < frame.rows; ++y) {
        for (int x = 0; x < frame.cols; ++x) {
            const cv::Vec3f f = frame.at<cv::Vec3f>(y, x);
            const cv::Vec3f b = backdrop.at<cv::Vec3f>(y, x);
            const float s = static_cast<float>(f.dot(b) / std::max(b.dot(b), 1e-6f));
            scale.at<float>(y, x) = s;
            shadowed.at<cv::Vec3f>(y, x) = b * std::clamp(s, kDeepestShadow, 1.0f);
        }
    }
    const cv::Mat frameLab = ToLab(frame);
    const cv::Mat backdropLab = ToLab(backdrop);
    const cv::Mat shadowedLab = ToLab(shadowed);
    cv::Mat evidence(frame.size(), CV_32F);
    for (int y = 0; y < frame.rows; ++y) {
        for (int x = 0; x < frame.cols; ++x) {
            const cv::Vec3f f = frameLab.at<cv::Vec3f>(y, x);
            float e = Distance(f, backdropLab.at<cv::Vec3f>(y, x));
            const float s = scale.at<float>(y, x);
            if (s < 1 && s >= kDeepestShadow) {
                e = std::min(e, Distance(f, shadowedLab.at<cv::Vec3f>(y, x)));
            }
            evidence.at<float>(y, x) = e;
        }
    }
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
