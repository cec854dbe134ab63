#include "product_evidence.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "border_noise.h"

namespace zentrivo {
namespace {

// Darker than this is no shadow of ours: a contact shadow that deep would
// be a black mark, and a dark product must not pass for one.
constexpr float kDeepestShadow = 0.3f;

float Distance(const float* a, const float* b) {
    const float x = a[0] - b[0];
    const float y = a[1] - b[1];
    const float z = a[2] - b[2];
    return std::sqrt(x * x + y * y + z * z);
}

}  // namespace

void PrepareColourTables() {
    // OpenCV builds its Lab tables on the first conversion, with nothing
    // to stop two threads building them at once: a spin's workers, which
    // start together, both did. They are built here once, the others
    // waiting.
    static std::once_flag once;
    std::call_once(once, [] {
        cv::Mat lab;
        cv::cvtColor(cv::Mat(1, 1, CV_32FC3, cv::Scalar::all(0.5)), lab, cv::COLOR_RGB2Lab);
    });
}

cv::Mat ProductEvidence(const cv::Mat& frame, const cv::Mat& backdrop) {
    CV_Assert(frame.type() == CV_32FC3 && backdrop.type() == CV_32FC3 &&
              frame.size() == backdrop.size());
    PrepareColourTables();
    cv::Mat evidence(frame.size(), CV_32F);
    // A row at a time, so the row's colours (the frame, the backdrop, the
    // backdrop as a shadow would darken it) go to Lab in one call while
    // they are still in the cache: a spin's frames are large. The shadowed
    // backdrop only where a shadow could explain the pixel: about half of
    // them are lighter than the backdrop.
    const int width = frame.cols;
    cv::Mat units(1, 3 * width, CV_32FC3);
    cv::Mat lab;
    std::vector<float> scales(static_cast<std::size_t>(width));
    std::vector<int> shadowed(static_cast<std::size_t>(width));
    constexpr float kUnit = 1.0f / 255;
    for (int y = 0; y < frame.rows; ++y) {
        const float* seen = frame.ptr<float>(y);
        const float* behind = backdrop.ptr<float>(y);
        float* unitSeen = units.ptr<float>(0);
        float* unitBehind = unitSeen + 3 * width;
        float* unitShadowed = unitBehind + 3 * width;
        // The colours as units, and the darkening that best explains each
        // pixel, by least squares in RGB: flat loops the compiler widens.
        for (int i = 0; i < 3 * width; ++i) {
            unitSeen[i] = seen[i] * kUnit;
            unitBehind[i] = behind[i] * kUnit;
        }
        for (int x = 0; x < width; ++x) {
            const float* s = seen + 3 * x;
            const float* b = behind + 3 * x;
            scales[static_cast<std::size_t>(x)] =
                (s[0] * b[0] + s[1] * b[1] + s[2] * b[2]) /
                std::max(b[0] * b[0] + b[1] * b[1] + b[2] * b[2], 1e-6f);
        }
        // Only a darkening a shadow could make may explain the pixel away.
        int count = 0;
        for (int x = 0; x < width; ++x) {
            const float scale = scales[static_cast<std::size_t>(x)];
            if (scale < 1 && scale >= kDeepestShadow) {
                const float step = scale / 255.0f;
                const float* b = behind + 3 * x;
                float* to = unitShadowed + 3 * count;
                to[0] = b[0] * step;
                to[1] = b[1] * step;
                to[2] = b[2] * step;
                shadowed[static_cast<std::size_t>(count++)] = x;
            }
        }
        cv::cvtColor(units.colRange(0, 2 * width + count), lab, cv::COLOR_RGB2Lab);
        const float* labSeen = lab.ptr<float>(0);
        const float* labBehind = labSeen + 3 * width;
        const float* labShadowed = labBehind + 3 * width;
        float* out = evidence.ptr<float>(y);
        for (int x = 0; x < width; ++x) {
            out[x] = Distance(labSeen + 3 * x, labBehind + 3 * x);
        }
        for (int i = 0; i < count; ++i) {
            const int x = shadowed[static_cast<std::size_t>(i)];
            out[x] = std::min(out[x], Distance(labSeen + 3 * x, labShadowed + 3 * i));
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
