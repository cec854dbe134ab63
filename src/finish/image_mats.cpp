#include "image_mats.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

#include <opencv2/imgproc.hpp>

namespace zentrivo {

cv::Mat Resized(const cv::Mat& image, const cv::Size& size, int interpolation) {
    if (image.size() == size) {
        return image;
    }
    cv::Mat out;
    cv::resize(image, out, size, 0, 0, interpolation);
    return out;
}

namespace {

// `bytes` made `step` times smaller each way: each pixel the mean of a
// square of `step` x `step`, rounded as OpenCV rounds it (the sum times the
// exact 1/step², to the nearest, ties to even). OpenCV looks each of the
// square's pixels up through a table; summing whole rows first is several
// times faster for a large frame.
cv::Mat BlockMeans(const cv::Mat& bytes, int step) {
    const cv::Size size(bytes.cols / step, bytes.rows / step);
    cv::Mat out(size, CV_8UC3);
    const int width = 3 * size.width * step;
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(width));
    const float scale = 1.0f / static_cast<float>(step * step);
    for (int y = 0; y < size.height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int k = 0; k < step; ++k) {
            const std::uint8_t* row = bytes.ptr<std::uint8_t>(y * step + k);
            for (int i = 0; i < width; ++i) {
                sums[static_cast<std::size_t>(i)] += row[i];
            }
        }
        std::uint8_t* to = out.ptr<std::uint8_t>(y);
        for (int x = 0; x < size.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int k = 0; k < step; ++k) {
                    sum += sums[static_cast<std::size_t>(3 * (x * step + k) + c)];
                }
                to[3 * x + c] = cv::saturate_cast<std::uint8_t>(static_cast<float>(sum) * scale);
            }
        }
    }
    return out;
}

}  // namespace

cv::Mat AreaResized(const cv::Mat& bytes, const cv::Size& size) {
    CV_Assert(bytes.type() == CV_8UC3);
    const int step = size.width > 0 ? bytes.cols / size.width : 0;
    // Up to 16 rows' bytes add up within the sums' 16 bits. Halving has a
    // fast way of OpenCV's own, which rounds ties up.
    if (step >= 3 && step <= 16 && bytes.cols == step * size.width &&
        bytes.rows == step * size.height) {
        return BlockMeans(bytes, step);
    }
    cv::Mat out;
    cv::resize(bytes, out, size, 0, 0, cv::INTER_AREA);
    return out;
}

namespace {

// Along one side: which source pixels [from, to) a linear resize from
// `source` to `target` pixels reads for the target pixels [begin, end),
// with one more either side, begun where a whole number of target pixels
// begins (`at`), so that the part resized alone is mapped exactly as in the
// whole.
struct Span {
    int from;
    int to;
    int at;
    int count;  // target pixels of [from, to)
};

Span SpanRead(int source, int target, int begin, int end) {
    const int common = std::gcd(source, target);
    const int step = source / common;
    const int targetStep = target / common;
    const double scale = static_cast<double>(source) / target;
    const int first = static_cast<int>(std::floor((begin + 0.5) * scale - 0.5)) - 1;
    const int last = static_cast<int>(std::floor((end - 0.5) * scale - 0.5)) + 2;
    Span span;
    span.from = std::max(0, first) / step * step;
    span.to = std::min(source, (last + step - 1) / step * step);
    span.at = span.from / step * targetStep;
    span.count = span.to == source ? target - span.at : (span.to - span.from) / step * targetStep;
    return span;
}

}  // namespace

cv::Mat ResizedPart(const cv::Mat& image, const cv::Size& size, const cv::Rect& region) {
    if (image.size() == size) {
        return image(region);
    }
    const Span x = SpanRead(image.cols, size.width, region.x, region.x + region.width);
    const Span y = SpanRead(image.rows, size.height, region.y, region.y + region.height);
    const cv::Mat read = image(cv::Rect(x.from, y.from, x.to - x.from, y.to - y.from));
    cv::Mat part;
    cv::resize(read, part, cv::Size(x.count, y.count), 0, 0, cv::INTER_LINEAR);
    return part(region - cv::Point(x.at, y.at));
}

cv::Mat BytesOf(const RgbImage& image) {
    return cv::Mat(image.height, image.width, CV_8UC3,
                   const_cast<std::uint8_t*>(image.pixels.data()), image.stride());
}

cv::Mat ToFloatMat(const RgbImage& image) {
    // The wrap only reads: convertTo copies before anything is written.
    cv::Mat floats;
    BytesOf(image).convertTo(floats, CV_32FC3);
    return floats;
}

RgbaImage ToRgbaImage(const cv::Mat& rgbaFloat) {
    CV_Assert(rgbaFloat.type() == CV_32FC4);
    RgbaImage image(rgbaFloat.cols, rgbaFloat.rows, Unfilled{});
    cv::Mat scaled;
    // Alpha to 0-255 like the colour, then every channel rounded alike.
    cv::multiply(rgbaFloat, cv::Scalar(1, 1, 1, 255), scaled);
    cv::Mat bytes(image.height, image.width, CV_8UC4, image.pixels.data(), image.stride());
    scaled.convertTo(bytes, CV_8UC4);
    return image;
}

cv::Mat ToFloatMat(const RgbaImage& image) {
    const cv::Mat bytes(image.height, image.width, CV_8UC4,
                        const_cast<std::uint8_t*>(image.pixels.data()), image.stride());
    cv::Mat floats;
    bytes.convertTo(floats, CV_32FC4);
    cv::multiply(floats, cv::Scalar(1, 1, 1, 1.0 / 255), floats);
    return floats;
}

}  // namespace zentrivo
