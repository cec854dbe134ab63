#include "product_box.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "compose.h"

namespace zentrivo {
namespace {

constexpr float kHalf = 0.5f;

// The most product along each column (or row, `rows`) of `alpha`, averaged
// over nine pixels along it, so a few stray pixels (JPEG's blocks above a
// hard edge) cannot move a side. Worked out only for the lines asked for:
// the box needs a few near each side, and the average is never more than
// the line's plain most, which one reduction gives for all of them.
class Profile {
public:
    Profile(const cv::Mat& alpha, bool rows) : alpha_(alpha), rows_(rows) {
        cv::Mat most;
        cv::reduce(alpha, most, rows ? 1 : 0, cv::REDUCE_MAX);
        plain_.assign(most.begin<float>(), most.end<float>());
    }

    int count() const { return static_cast<int>(plain_.size()); }

    // Whether line `i`'s average reaches one half.
    bool Reaches(int i) const {
        return plain_[static_cast<std::size_t>(i)] >= kHalf && at(i) >= kHalf;
    }

    float at(int i) const {
        if (plain_[static_cast<std::size_t>(i)] == 0) {
            return 0;
        }
        cv::Mat averaged;
        if (rows_) {
            cv::blur(alpha_.row(i), averaged, cv::Size(9, 1));
        } else {
            cv::blur(alpha_.col(i), averaged, cv::Size(1, 9));
        }
        double most = 0;
        cv::minMaxLoc(averaged, nullptr, &most);
        return static_cast<float>(most);
    }

private:
    cv::Mat alpha_;
    bool rows_;
    std::vector<float> plain_;
};

// Where a profile first and last crosses one half, to a fraction of a
// pixel: a pixel's centre is at index + 0.5, and the crossing is found by
// straight interpolation between neighbours. None when it never does.
std::optional<std::pair<double, double>> Extent(const Profile& profile) {
    const int count = profile.count();
    int first = 0;
    while (first < count && !profile.Reaches(first)) {
        ++first;
    }
    if (first == count) {
        return std::nullopt;
    }
    int last = count - 1;
    while (!profile.Reaches(last)) {
        --last;
    }
    double begin = first;  // the frame's edge when the product is cut by it
    if (first > 0) {
        const float before = profile.at(first - 1);
        begin = first - 0.5 + (kHalf - before) / (profile.at(first) - before);
    }
    double end = count;
    if (last < count - 1) {
        const float at = profile.at(last);
        end = last + 0.5 + (at - kHalf) / (at - profile.at(last + 1));
    }
    return std::make_pair(begin, end);
}

// The box of the pixels where the shadow shows at all.
cv::Rect ShadowBox(const cv::Mat& shadow) {
    int left = shadow.cols;
    int right = -1;
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < shadow.rows; ++y) {
        const float* row = shadow.ptr<float>(y);
        for (int x = 0; x < shadow.cols; ++x) {
            if (ShadowShows(row[x])) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
    }
    return top < 0 ? cv::Rect() : cv::Rect(left, top, right - left + 1, bottom - top + 1);
}

}  // namespace

std::optional<ProductBox> BoxOf(const cv::Mat& alpha) {
    const auto across = Extent(Profile(alpha, false));
    const auto down = across ? Extent(Profile(alpha, true)) : std::nullopt;
    if (!across || !down) {
        return std::nullopt;
    }
    ProductBox box;
    std::tie(box.left, box.right) = *across;
    std::tie(box.top, box.bottom) = *down;
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
                     bool coverage, FinishedFrame& finished) {
    // As the share is stored, in steps of 1/255.
    cv::Mat bytes;
    alpha.convertTo(bytes, CV_8U, 255);
    finished.productArea = cv::sum(bytes)[0] / 255;
    if (coverage) {
        finished.product.assign(bytes.datastart, bytes.dataend);
    }
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
    const cv::Rect shows = ShadowBox(shadow) + offset;
    if (!shows.empty()) {
        ProductBox& whole = finished.withShadow;
        whole.left = std::min<double>(whole.left, shows.x);
        whole.top = std::min<double>(whole.top, shows.y);
        whole.right = std::max<double>(whole.right, shows.br().x);
        whole.bottom = std::max<double>(whole.bottom, shows.br().y);
    }
}

}  // namespace zentrivo
