#include "image_mats.h"

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

cv::Mat ToFloatMat(const RgbImage& image) {
    // The wrap only reads: convertTo copies before anything is written.
    const cv::Mat bytes(image.height, image.width, CV_8UC3,
                        const_cast<std::uint8_t*>(image.pixels.data()), image.stride());
    cv::Mat floats;
    bytes.convertTo(floats, CV_32FC3);
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
