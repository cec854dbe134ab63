#include "product_evidence.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "border_noise.h"

namespace zentrivo {
namespace {

// Darker than this is no shadow of ours: a contact shadow that deep would
// be a black mark, and a dark product must not pass for one.
constexpr float kDeepestShadow = 0.3f;

float Distance(const cv::Vec3f& a, const cv::Vec3f& b) {
    const cv::Vec3f difference = a - b;
    return std::sqrt(difference.dot(difference));
}

}  // namespace

cv::Mat ProductEvidence(const cv::Mat& frame, const cv::Mat& backdrop) {
    CV_Assert(frame.type() == CV_32FC3 && backdrop.type() == CV_32FC3 &&
              frame.size() == backdrop.size());
    cv::Mat evidence(frame.size(), CV_32F);
    // A row at a time, so the row's colours (the frame, the backdrop, the
    // backdrop as a shadow would darken it) go to Lab in one call while
    // they are still in the cache: a spin's frames are large. The shadowed
    // backdrop only where a shadow could explain the pixel: about half of
    // them are lighter than the backdrop.
    const int width = frame.cols;
    cv::Mat units(1, 3 * width, CV_32FC3);
    cv::Mat lab;
    std::vector<int> shadowed(static_cast<std::size_t>(width));
    for (int y = 0; y < frame.rows; ++y) {
        const auto* seen = frame.ptr<cv::Vec3f>(y);
        const auto* behind = backdrop.ptr<cv::Vec3f>(y);
        auto* unitSeen = units.ptr<cv::Vec3f>(0);
        auto* unitBehind = unitSeen + width;
        auto* unitShadowed = unitBehind + width;
        int count = 0;
        for (int x = 0; x < width; ++x) {
            // The darkening that best explains the pixel, by least squares
            // in RGB.
            const float scale = seen[x].dot(behind[x]) / std::max(behind[x].dot(behind[x]), 1e-6f);
            unitSeen[x] = seen[x] / 255.0f;
            unitBehind[x] = behind[x] / 255.0f;
            // Only a darkening a shadow could make may explain the pixel
            // away.
            if (scale < 1 && scale >= kDeepestShadow) {
                unitShadowed[count] = behind[x] * (scale / 255.0f);
                shadowed[static_cast<std::size_t>(count++)] = x;
            }
        }
        cv::cvtColor(units.colRange(0, 2 * width + count), lab, cv::COLOR_RGB2Lab);
        const auto* labSeen = lab.ptr<cv::Vec3f>(0);
        const auto* labBehind = labSeen + width;
        const auto* labShadowed = labBehind + width;
        float* out = evidence.ptr<float>(y);
        for (int x = 0; x < width; ++x) {
            out[x] = Distance(labSeen[x], labBehind[x]);
        }
        for (int i = 0; i < count; ++i) {
            const int x = shadowed[static_cast<std::size_t>(i)];
            out[x] = std::min(out[x], Distance(labSeen[x], labShadowed[i]));
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
