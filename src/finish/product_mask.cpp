#include "product_mask.h"

#include <algorithm>
#include <vector>

#include <opencv2/imgproc.hpp>

namespace zentrivo {
namespace {

// Smaller than this is noise or dust, whatever the photo's size.
int SpeckArea(const cv::Size& size) {
    return std::max(16, static_cast<int>(size.area() / 2000));
}

// The pixels whose component is chosen, in one pass however many there are.
cv::Mat Chosen(const cv::Mat& labels, const std::vector<bool>& chosen) {
    cv::Mat mask(labels.size(), CV_8U, cv::Scalar(0));
    for (int y = 0; y < labels.rows; ++y) {
        const int* row = labels.ptr<int>(y);
        auto* out = mask.ptr<std::uint8_t>(y);
        for (int x = 0; x < labels.cols; ++x) {
            if (chosen[static_cast<std::size_t>(row[x])]) {
                out[x] = 255;
            }
        }
    }
    return mask;
}

cv::Mat WithoutSpecks(const cv::Mat& mask) {
    cv::Mat labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
    const int speck = SpeckArea(mask.size());
    std::vector<bool> kept(static_cast<std::size_t>(count), false);
    for (int label = 1; label < count; ++label) {
        kept[static_cast<std::size_t>(label)] = stats.at<int>(label, cv::CC_STAT_AREA) >= speck;
    }
    return Chosen(labels, kept);
}

bool TouchesBorder(const cv::Mat& stats, int label, const cv::Size& size) {
    const int left = stats.at<int>(label, cv::CC_STAT_LEFT);
    const int top = stats.at<int>(label, cv::CC_STAT_TOP);
    return left == 0 || top == 0 || left + stats.at<int>(label, cv::CC_STAT_WIDTH) == size.width ||
           top + stats.at<int>(label, cv::CC_STAT_HEIGHT) == size.height;
}

float Median(std::vector<float> values) {
    auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// A hole is backdrop seen through the product (a handle's opening) when it
// mostly differs from the backdrop well below the threshold; else it is a
// part of the product close to the backdrop's colour (a highlight, a white
// label) that only just missed it. Not "as little as bare backdrop": the
// lens and JPEG's coarse colour spill the product's colour a few pixels
// into a small opening.
cv::Mat WithHolesFilled(const cv::Mat& whole, const cv::Mat& wholeEvidence,
                        const EvidenceLevels& levels) {
    // Holes lie within the product's box. Read with a pixel of backdrop
    // around it, which joins all that lies outside the box, as in the
    // frame, so a component that reaches it is no hole.
    const cv::Rect frame(cv::Point(), whole.size());
    const cv::Rect box = (cv::boundingRect(whole) + cv::Size(2, 2) - cv::Point(1, 1)) & frame;
    if (box.empty()) {
        return whole;
    }
    const cv::Mat mask = whole(box);
    const cv::Mat evidence = wholeEvidence(box);
    cv::Mat background;
    cv::bitwise_not(mask, background);
    cv::Mat labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count =
        cv::connectedComponentsWithStats(background, labels, stats, centroids, 4, CV_32S);
    // Only holes are weighed: the backdrop around the product, most of the
    // frame, touches the border.
    std::vector<bool> hole(static_cast<std::size_t>(count), false);
    for (int label = 1; label < count; ++label) {
        hole[static_cast<std::size_t>(label)] = !TouchesBorder(stats, label, mask.size());
    }
    std::vector<std::vector<float>> holeEvidence(static_cast<std::size_t>(count));
    for (int y = 0; y < mask.rows; ++y) {
        const int* row = labels.ptr<int>(y);
        for (int x = 0; x < mask.cols; ++x) {
            if (hole[static_cast<std::size_t>(row[x])]) {
                holeEvidence[static_cast<std::size_t>(row[x])].push_back(evidence.at<float>(y, x));
            }
        }
    }
    const int speck = SpeckArea(whole.size());
    std::vector<bool> fill(static_cast<std::size_t>(count), false);
    for (int label = 1; label < count; ++label) {
        if (!hole[static_cast<std::size_t>(label)]) {
            continue;
        }
        const auto& values = holeEvidence[static_cast<std::size_t>(label)];
        const bool small = static_cast<int>(values.size()) < speck;
        if (small || Median(values) > 0.6f * levels.threshold) {
            fill[static_cast<std::size_t>(label)] = true;
        }
    }
    cv::Mat filled = whole.clone();
    filled(box) |= Chosen(labels, fill);
    return filled;
}

}  // namespace

cv::Mat ProductMask(const cv::Mat& evidence, const EvidenceLevels& levels, bool ringing) {
    cv::Mat mask = evidence > levels.threshold;
    if (ringing) {
        cv::morphologyEx(mask, mask, cv::MORPH_OPEN,
                         cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(3, 3)));
    }
    mask = WithoutSpecks(mask);
    return WithHolesFilled(mask, evidence, levels);
}

}  // namespace zentrivo
