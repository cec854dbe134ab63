#include "gaussian_blur.h"

#include <map>

#include <opencv2/imgproc.hpp>

namespace zentrivo {

void GaussianSmooth(const cv::Mat& image, cv::Mat& smoothed, double sigma) {
    CV_Assert(image.depth() == CV_32F);
    thread_local std::map<double, cv::Mat> kernels;
    cv::Mat& kernel = kernels[sigma];
    if (kernel.empty()) {
        // The size GaussianBlur takes for a float image: four sigmas a side.
        kernel = cv::getGaussianKernel(cvRound(sigma * 4 * 2 + 1) | 1, sigma, CV_32F);
    }
    cv::sepFilter2D(image, smoothed, CV_32F, kernel, kernel);
}

}  // namespace zentrivo
