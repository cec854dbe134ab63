#include "image_mats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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
    RgbaImage image(rgbaFloat.cols, rgbaFloat.rows);
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
