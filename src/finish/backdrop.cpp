#include "backdrop.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "gaussian_blur.h"

namespace zentrivo {
namespace {

constexpr int kTerms = 6;  // 1, u, v, u², uv, v²

int BandWidth(const cv::Size& size) {
    return std::max(4, static_cast<int>(std::lround(0.06 * std::min(size.width, size.height))));
}

// Calls `visit(x, y)` for every `step`th pixel of the border band, along
// each `step`th row, in rows top to bottom and left to right: the band's
// pixels alone, though the frame around a product is mostly not band.
template <typename Visit>
void ForBorderBand(const cv::Size& size, int step, Visit visit) {
    const int band = BandWidth(size);
    const bool hollow = size.width > 2 * band && size.height > 2 * band;
    // The first column on the step's grid in the right-hand strip.
    const int right = (size.width - band + step - 1) / step * step;
    for (int y = 0; y < size.height; y += step) {
        const bool across = !hollow || y < band || y >= size.height - band;
        for (int x = 0; x < size.width; x += step) {
            if (!across && x >= band && x < size.width - band) {
                x = right - step;
                continue;
            }
            visit(x, y);
        }
    }
}

double BandArea(const cv::Size& size) {
    const int band = BandWidth(size);
    const double inner = std::max(0, size.width - 2 * band) * std::max(0, size.height - 2 * band);
    return static_cast<double>(size.area()) - inner;
}

// Coordinates from -1 to 1 across the frame keep the normal equations well
// conditioned whatever the photo's size.
std::array<double, kTerms> Terms(int x, int y, const cv::Size& size) {
    const double u = (x + 0.5) / size.width * 2 - 1;
    const double v = (y + 0.5) / size.height * 2 - 1;
    return {1, u, v, u * u, u * v, v * v};
}

// The noise's spread from the median absolute deviation, which the few
// pixels of a product in the band do not pull.
double RobustSpread(std::vector<double> residuals) {
    if (residuals.empty()) {
        return 0;
    }
    auto middle = residuals.begin() + static_cast<std::ptrdiff_t>(residuals.size() / 2);
    std::nth_element(residuals.begin(), middle, residuals.end());
    return 1.4826 * *middle;
}

double RejectionLimit(const std::vector<double>& residuals) {
    // Never tighter than a level and a half: JPEG's rounding alone is that.
    return std::max(3.5 * RobustSpread(residuals), 1.5);
}

// The largest of the three channels' differences.
float Residual(const float* a, const float* b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

double Residual(const cv::Vec3f& a, const cv::Vec3f& b) {
    return Residual(a.val, b.val);
}

// Only the border band is read: the rest of the frame is never clean, and
// it is four fifths of the pixels.
cv::Mat CleanBorder(const cv::Mat& frame, const cv::Mat& backdrop) {
    std::vector<double> residuals;
    ForBorderBand(frame.size(), 1, [&](int x, int y) {
        residuals.push_back(Residual(frame.ptr<float>(y) + 3 * x, backdrop.ptr<float>(y) + 3 * x));
    });
    const double limit = RejectionLimit(residuals);
    cv::Mat clean(frame.size(), CV_8U, cv::Scalar(0));
    std::size_t i = 0;
    ForBorderBand(frame.size(), 1, [&](int x, int y) {
        if (residuals[i++] <= limit) {
            clean.at<std::uint8_t>(y, x) = 255;
        }
    });
    return clean;
}

struct Sample {
    std::array<double, kTerms> terms;
    cv::Vec3f colour;
};

std::vector<Sample> BandSamples(const cv::Mat& frame) {
    // About twenty thousand samples fit the surface as well as all of a
    // large photo's band would, in a fraction of the time.
    const double bandPixels = BandArea(frame.size());
    const int step = std::max(1, static_cast<int>(std::lround(std::sqrt(bandPixels / 20000.0))));
    std::vector<Sample> samples;
    ForBorderBand(frame.size(), step, [&](int x, int y) {
        samples.push_back({Terms(x, y, frame.size()), frame.at<cv::Vec3f>(y, x)});
    });
    return samples;
}

cv::Mat FitSurface(const std::vector<Sample>& samples, const std::vector<bool>& inlier) {
    const int count = static_cast<int>(std::count(inlier.begin(), inlier.end(), true));
    cv::Mat terms(count, kTerms, CV_64F);
    cv::Mat colours(count, 3, CV_64F);
    int row = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!inlier[i]) {
            continue;
        }
        for (int k = 0; k < kTerms; ++k) {
            terms.at<double>(row, k) = samples[i].terms[static_cast<std::size_t>(k)];
        }
        for (int c = 0; c < 3; ++c) {
            colours.at<double>(row, c) = samples[i].colour[c];
        }
        ++row;
    }
    cv::Mat coefficients;  // kTerms x 3
    cv::solve(terms, colours, coefficients, cv::DECOMP_NORMAL | cv::DECOMP_LU);
    return coefficients;
}

using Coefficients = cv::Matx<double, kTerms, 3>;

cv::Vec3f Evaluate(const Coefficients& coefficients, const std::array<double, kTerms>& terms) {
    cv::Vec3f colour;
    for (int c = 0; c < 3; ++c) {
        double sum = 0;
        for (int k = 0; k < kTerms; ++k) {
            sum += coefficients(k, c) * terms[static_cast<std::size_t>(k)];
        }
        colour[c] = static_cast<float>(sum);
    }
    return colour;
}

}  // namespace

cv::Mat SurfaceOver(const cv::Mat& coefficients, const cv::Size& size, const cv::Rect& region) {
    cv::Mat surface(region.size(), CV_32FC3);
    SurfaceInto(coefficients, size, region, surface);
    return surface;
}

// Evaluate for every pixel: along a row the surface is a parabola in u,
// whose three factors are worked out once for the row. A row is one flat
// loop over its values, u repeated for each channel and the factors laid
// out for four pixels, so the compiler widens it.
void SurfaceInto(const cv::Mat& coefficients, const cv::Size& size, const cv::Rect& region,
                 cv::Mat& surface) {
    CV_Assert(surface.type() == CV_32FC3 && surface.size() == region.size());
    constexpr int kStretch = 12;  // four pixels of three channels
    const int values = 3 * region.width;
    std::vector<float> us(static_cast<std::size_t>(values));
    for (int x = 0; x < region.width; ++x) {
        const auto u = static_cast<float>(Terms(region.x + x, 0, size)[1]);
        std::fill_n(us.begin() + 3 * x, 3, u);
    }
    const Coefficients c = coefficients;
    for (int y = 0; y < region.height; ++y) {
        const double v = Terms(0, region.y + y, size)[2];
        float constant[kStretch];
        float linear[kStretch];
        float square[kStretch];
        for (int k = 0; k < 3; ++k) {
            constant[k] = static_cast<float>(c(0, k) + c(2, k) * v + c(5, k) * v * v);
            linear[k] = static_cast<float>(c(1, k) + c(4, k) * v);
            square[k] = static_cast<float>(c(3, k));
        }
        for (int j = 3; j < kStretch; ++j) {
            constant[j] = constant[j - 3];
            linear[j] = linear[j - 3];
            square[j] = square[j - 3];
        }
        auto* row = surface.ptr<float>(y);
        const float* u = us.data();
        int i = 0;
        for (; i + kStretch <= values; i += kStretch) {
            for (int j = 0; j < kStretch; ++j) {
                row[i + j] = constant[j] + u[i + j] * (linear[j] + u[i + j] * square[j]);
            }
        }
        for (int j = 0; i < values; ++i, ++j) {
            row[i] = constant[j] + u[i] * (linear[j] + u[i] * square[j]);
        }
    }
}

cv::Mat SurfaceOver(const cv::Mat& coefficients, const cv::Size& size) {
    return SurfaceOver(coefficients, size, cv::Rect(cv::Point(), size));
}

namespace {

// The first guess at which samples are backdrop: those near the band's
// median colour. A fit to every sample would be pulled far off by a
// product that fills much of one side, and could then keep its pixels and
// reject the backdrop's.
std::vector<bool> NearTheMedian(const std::vector<Sample>& samples) {
    cv::Vec3f median;
    for (int c = 0; c < 3; ++c) {
        std::vector<float> channel;
        channel.reserve(samples.size());
        for (const Sample& sample : samples) {
            channel.push_back(sample.colour[c]);
        }
        auto middle = channel.begin() + static_cast<std::ptrdiff_t>(channel.size() / 2);
        std::nth_element(channel.begin(), middle, channel.end());
        median[c] = *middle;
    }
    std::vector<double> residuals;
    for (const Sample& sample : samples) {
        residuals.push_back(Residual(sample.colour, median));
    }
    const double limit = RejectionLimit(residuals);
    std::vector<bool> inlier;
    for (double residual : residuals) {
        inlier.push_back(residual <= limit);
    }
    return inlier;
}

}  // namespace

cv::Mat PlateColour(const cv::Mat& plate) {
    cv::Mat colour;
    GaussianSmooth(plate, colour, 2.0);
    return colour;
}

Backdrop BackdropFromPlate(const cv::Mat& frame, const cv::Mat& plate) {
    Backdrop backdrop;
    backdrop.colour = PlateColour(plate);
    backdrop.cleanBorder = CleanBorder(frame, backdrop.colour);
    return backdrop;
}

Backdrop BackdropFromBorder(const cv::Mat& frame) {
    const std::vector<Sample> samples = BandSamples(frame);
    std::vector<bool> inlier = NearTheMedian(samples);
    cv::Mat coefficients;
    for (int round = 0; round < 10; ++round) {
        coefficients = FitSurface(samples, inlier);
        const Coefficients fitted = coefficients;
        std::vector<double> residuals(samples.size());
        for (std::size_t i = 0; i < samples.size(); ++i) {
            residuals[i] = Residual(samples[i].colour, Evaluate(fitted, samples[i].terms));
        }
        // The spread of the pixels kept so far: the product's must not
        // widen the limit that is meant to reject them.
        std::vector<double> kept;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (inlier[i]) {
                kept.push_back(residuals[i]);
            }
        }
        const double limit = RejectionLimit(kept);
        std::vector<bool> next(samples.size());
        for (std::size_t i = 0; i < samples.size(); ++i) {
            next[i] = residuals[i] <= limit;
        }
        // Too few left to trust (a frame that is nearly all product): keep
        // the last fit rather than fit the noise.
        if (std::count(next.begin(), next.end(), true) < 4 * kTerms || next == inlier) {
            break;
        }
        inlier = next;
    }
    Backdrop backdrop;
    backdrop.colour = SurfaceOver(coefficients, frame.size());
    backdrop.surface = coefficients;
    backdrop.cleanBorder = CleanBorder(frame, backdrop.colour);
    return backdrop;
}

}  // namespace zentrivo
