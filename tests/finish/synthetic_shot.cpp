#include "synthetic_shot.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <string>

#include <opencv2/imgproc.hpp>

#include "spin/jpeg_file.h"

namespace zentrivo::testing {
namespace {

// The truth's edge to a quarter pixel; a photo several times larger than
// the tests' is drawn at its own size, its edge already that fine.
int Supersample(const ShotSetup& setup) {
    return std::max(1, static_cast<int>(std::lround(4 / setup.scale)));
}

cv::Vec3f Sweep(int x, int y, const ShotSetup& setup) {
    const double u = (x + 0.5) / setup.width * 2 - 1;
    const double v = (y + 0.5) / setup.height * 2 - 1;
    const double vignette = 1 - 0.16 * (u * u + v * v) / 2;
    const double gradient = 1 - 0.05 * (y + 0.5) / setup.height;
    const double level = 238 * vignette * gradient;
    return {static_cast<float>(level), static_cast<float>(level * 0.985),
            static_cast<float>(level * 0.955)};
}

struct Outline {
    double left;  // the product's box in the frame
    double right;
    double top;
    double bottom;
};

Outline OutlineOf(const ShotSetup& setup) {
    const double height = 0.6 * setup.height;
    const double width = setup.scale * (setup.kind == ProductKind::Textured
                                            ? 120 * (0.75 + 0.25 * std::abs(std::cos(setup.turn)))
                                            : 110);
    const double top = 0.5 * setup.height - height / 2;
    return {setup.axisX - width / 2, setup.axisX + width / 2, top, top + height};
}

// The product's shape drawn four times larger, then averaged: how much of
// each pixel it covers.
cv::Mat Coverage(const ShotSetup& setup, const Outline& o) {
    const int s = Supersample(setup);
    const double k = setup.scale;
    cv::Mat big(setup.height * s, setup.width * s, CV_8U, cv::Scalar(0));
    auto at = [s](double v) { return static_cast<int>(std::lround(v * s)); };
    const cv::Scalar on(255);
    switch (setup.kind) {
        case ProductKind::Textured:
        case ProductKind::WhiteOnWhite:
            cv::rectangle(big, cv::Point(at(o.left), at(o.top)),
                          cv::Point(at(o.right) - 1, at(o.bottom) - 1), on, cv::FILLED);
            break;
        case ProductKind::DarkGlossy: {
            // A bottle: a round body and a neck.
            const double neckWidth = 0.3 * (o.right - o.left);
            const double shoulder = o.top + 0.3 * (o.bottom - o.top);
            cv::rectangle(big, cv::Point(at(setup.axisX - neckWidth / 2), at(o.top)),
                          cv::Point(at(setup.axisX + neckWidth / 2), at(shoulder) + 4 * s), on,
                          cv::FILLED);
            cv::ellipse(big, cv::Point(at(setup.axisX), at((shoulder + o.bottom) / 2)),
                        cv::Size(at((o.right - o.left) / 2), at((o.bottom - shoulder) / 2)), 0, 0,
                        360, on, cv::FILLED);
            break;
        }
        case ProductKind::Handle: {
            // A mug standing on the axis, its handle on the right (on the
            // left once turned half way), the opening 22 px deep. The ring
            // is drawn first and the body over its inner half, so the
            // opening is the ring's outer half.
            const double side = std::cos(setup.turn) >= 0 ? 1 : -1;
            const double ringX = setup.axisX + side * 35 * k;
            const double middle = (o.top + o.bottom) / 2;
            cv::circle(big, cv::Point(at(ringX), at(middle + 20 * k)), at(34 * k), on, cv::FILLED);
            cv::circle(big, cv::Point(at(ringX), at(middle + 20 * k)), at(22 * k), cv::Scalar(0),
                       cv::FILLED);
            cv::rectangle(big, cv::Point(at(setup.axisX - 35 * k), at(o.top + 40 * k)),
                          cv::Point(at(setup.axisX + 35 * k) - 1, at(o.bottom) - 1), on,
                          cv::FILLED);
            break;
        }
        case ProductKind::None:
            break;
    }
    cv::Mat coverage;
    big.convertTo(big, CV_32F, 1.0 / 255);
    cv::resize(big, coverage, cv::Size(setup.width, setup.height), 0, 0, cv::INTER_AREA);
    return coverage;
}

cv::Vec3f ProductColour(int x, int y, const ShotSetup& setup, const Outline& o) {
    const double across = (x + 0.5 - o.left) / (o.right - o.left);  // 0 to 1
    const double down = (y + 0.5 - o.top) / (o.bottom - o.top);
    switch (setup.kind) {
        case ProductKind::Textured: {
            // Printed bands that slide as the box turns, and a fine weave.
            const double band = std::sin(12 * across + 3 * setup.turn + 5 * down);
            const double weave = 12 * std::sin(1.7 * x) * std::sin(1.3 * y);
            const cv::Vec3f red(185, 45, 40);
            const cv::Vec3f blue(35, 85, 165);
            const float t = static_cast<float>(0.5 + 0.5 * band);
            return red * t + blue * (1 - t) + cv::Vec3f::all(static_cast<float>(weave));
        }
        case ProductKind::DarkGlossy: {
            const double highlight = 110 * std::exp(-std::pow((across - 0.3) / 0.06, 2));
            return cv::Vec3f(22, 24, 30) + cv::Vec3f::all(static_cast<float>(highlight));
        }
        case ProductKind::WhiteOnWhite:
            return cv::Vec3f(250, 243, 222) * static_cast<float>(0.94 + 0.06 * across);
        case ProductKind::Handle:
            return cv::Vec3f(60, 95, 170) * static_cast<float>(0.85 + 0.15 * (1 - down));
        case ProductKind::None:
            break;
    }
    return {};
}

// A soft dark oval under the product's foot.
float ShadowAt(int x, int y, const Outline& o, double scale) {
    const double dx = (x + 0.5 - (o.left + o.right) / 2) / (0.65 * (o.right - o.left));
    const double dy = (y + 0.5 - o.bottom) / (9 * scale);
    const double strength = 0.45 * std::exp(-(dx * dx + dy * dy));
    return strength < 0.004 ? 0.0f : static_cast<float>(strength);
}

// The camera: the lens's blur, the sensor's noise, then the JPEG round trip.
RgbImage Photograph(const cv::Mat& scene, unsigned seed) {
    cv::Mat blurred;
    cv::GaussianBlur(scene, blurred, cv::Size(), 0.6);
    cv::Mat noise(blurred.size(), CV_32FC3);
    cv::RNG rng(seed);
    rng.fill(noise, cv::RNG::NORMAL, 0, 2.0);
    RgbImage image(scene.cols, scene.rows);
    cv::Mat bytes(image.height, image.width, CV_8UC3, image.pixels.data(), image.stride());
    cv::Mat(blurred + noise).convertTo(bytes, CV_8UC3);

    static std::atomic<int> taken{0};
    const auto path =
        std::filesystem::temp_directory_path() /
        ("zentrivo-finish-" + std::to_string(::getpid()) + "-" + std::to_string(taken++) + ".jpg");
    WriteJpeg(image, path, 92);
    RgbImage decoded = DecodeJpegAtLeast(path, std::max(image.width, image.height));
    std::filesystem::remove(path);
    return decoded;
}

}  // namespace

SyntheticShot RenderShot(const ShotSetup& setup) {
    const Outline outline = OutlineOf(setup);
    const cv::Mat coverage = setup.kind == ProductKind::None
                                 ? cv::Mat(setup.height, setup.width, CV_32F, 0.0f)
                                 : Coverage(setup, outline);
    cv::Mat scene(setup.height, setup.width, CV_32FC3);
    cv::Mat plate(setup.height, setup.width, CV_32FC3);
    SyntheticShot shot;
    shot.product.resize(static_cast<std::size_t>(setup.width) * setup.height);
    shot.shadow.resize(shot.product.size());
    // Row by row on every core: a photo of a large camera's size is
    // otherwise slow to draw.
    cv::parallel_for_(cv::Range(0, setup.height), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y) {
            for (int x = 0; x < setup.width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * setup.width + x;
                const float covered = coverage.at<float>(y, x);
                const float shadow =
                    setup.kind == ProductKind::None ? 0.0f : ShadowAt(x, y, outline, setup.scale);
                const cv::Vec3f sweep = Sweep(x, y, setup);
                const cv::Vec3f product =
                    covered > 0 ? ProductColour(x, y, setup, outline) : cv::Vec3f();
                scene.at<cv::Vec3f>(y, x) =
                    product * covered + sweep * (1 - shadow) * (1 - covered);
                plate.at<cv::Vec3f>(y, x) = sweep;
                shot.product[i] = static_cast<std::uint8_t>(std::lround(covered * 255));
                shot.shadow[i] = covered >= 0.5f ? 0.0f : shadow;
            }
        }
    });
    shot.frame = Photograph(scene, setup.seed);
    shot.plate = Photograph(plate, setup.seed + 1000);
    return shot;
}

}  // namespace zentrivo::testing
