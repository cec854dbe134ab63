#include "product_box.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "compose.h"

namespace zentrivo {
namespace {

constexpr float kHalf = 0.5f;

// Where a profile first and last crosses one half, to a fraction of a
// pixel: a pixel's centre is at index + 0.5, and the crossing is found by
// straight interpolation between neighbours.
std::pair<double, double> Extent(const std::vector<float>& most) {
    const int count = static_cast<int>(most.size());
    auto at = [&most](int i) { return most[static_cast<std::size_t>(i)]; };
    int first = 0;
    while (at(first) < kHalf) {
        ++first;
    }
    int last = count - 1;
    while (at(last) < kHalf) {
        --last;
    }
    double begin = first;  // the frame's edge when the product is cut by it
    if (first > 0) {
        begin = first - 0.5 + (kHalf - at(first - 1)) / (at(first) - at(first - 1));
    }
    double end = count;
    if (last < count - 1) {
        end = last + 0.5 + (at(last) - kHalf) / (at(last) - at(last + 1));
    }
    return {begin, end};
}

// The most product in each column and each row, averaged over nine pixels
// along the edge, so a few stray pixels (JPEG's blocks above a hard edge)
// cannot move a side.
std::pair<std::vector<float>, std::vector<float>> Profiles(const cv::Mat& alpha) {
    cv::Mat along;
    cv::Mat across;
    cv::blur(alpha, along, cv::Size(1, 9));
    cv::blur(alpha, across, cv::Size(9, 1));
    cv::Mat columns;
    cv::Mat rows;
    cv::reduce(along, columns, 0, cv::REDUCE_MAX);
    cv::reduce(across, rows, 1, cv::REDUCE_MAX);
    return {std::vector<float>(columns.begin<float>(), columns.end<float>()),
            std::vector<float>(rows.begin<float>(), rows.end<float>())};
}

}  // namespace

std::optional<ProductBox> BoxOf(const cv::Mat& alpha) {
    const auto [columns, rows] = Profiles(alpha);
    const float peak = *std::max_element(columns.begin(), columns.end());
    if (peak < kHalf) {
        return std::nullopt;
    }
    ProductBox box;
    std::tie(box.left, box.right) = Extent(columns);
    std::tie(box.top, box.bottom) = Extent(rows);
    return box;
}

bool TouchesEdge(const cv::Mat& alpha) {
    for (int x = 0; x < alpha.cols; ++x) {
        if (alpha.at<float>(0, x) >= kHalf || alpha.at<float>(alpha.rows - 1, x) >= kHalf) {
            return true;
        }
    }
    for (int y = 0; y < alpha.rows; ++y) {
        if (alpha.at<float>(y, 0) >= kHalf || alpha.at<float>(y, alpha.cols - 1) >= kHalf) {
            return true;
        }
    }
    return false;
}

void DescribeProduct(const cv::Mat& alpha, const cv::Mat& shadow, const cv::Point& offset,
                     FinishedFrame& finished) {
    cv::Mat coverage(alpha.size(), CV_8U);
    alpha.convertTo(coverage, CV_8U, 255);
    finished.product.assign(coverage.datastart, coverage.dataend);
    const auto box = BoxOf(alpha);
    if (!box) {
        return;
    }
    finished.hasProduct = true;
    finished.box = {box->left + offset.x, box->top + offset.y, box->right + offset.x,
                    box->bottom + offset.y};
    finished.withShadow = finished.box;
    finished.touchesEdge = TouchesEdge(alpha);
    // Cut where the shadow changes the frame by even one step: a fainter
    // cut would leave 254s at the frame's edge, the very grey line a crop
    // must not show. The shadow reaches only so far from the product, so
    // this finds no stray specks across the table.
    if (shadow.empty()) {
        return;
    }
    const cv::Rect shows = cv::boundingRect(ShadowShows(shadow)) + offset;
    if (!shows.empty()) {
        ProductBox& whole = finished.withShadow;
        whole.left = std::min<double>(whole.left, shows.x);
        whole.top = std::min<double>(whole.top, shows.y);
        whole.right = std::max<double>(whole.right, shows.br().x);
        whole.bottom = std::max<double>(whole.bottom, shows.br().y);
    }
}

}  // namespace zentrivo
