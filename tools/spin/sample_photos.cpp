// spin_sample_photos: writes the colour photos of one turn, 1.jpg ... N.jpg,
// as a shoot would leave them: a striped cylinder on a turntable before a
// grey backdrop, turned a little further in each, with a camera's fine
// noise. For the tests and the benchmark of zentrivo-spin.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "spin/jpeg_file.h"

namespace {

struct Settings {
    std::filesystem::path folder;
    int count = 36;
    int width = 640;
    int height = 480;
    int quality = 90;
};

constexpr double kPi = 3.14159265358979323846;

zentrivo::RgbImage Draw(const Settings& s, int number) {
    zentrivo::RgbImage image(s.width, s.height);
    const double angle = 2 * kPi * (number - 1) / s.count;
    const double cx = s.width / 2.0;
    const double radius = std::min(s.width * 0.16, s.height * 0.3);
    const int top = static_cast<int>(s.height * 0.2);
    const int bottom = static_cast<int>(s.height * 0.78);
    const double plateA = std::min(s.width * 0.35, s.height * 0.6);
    const double plateB = s.height * 0.06;
    static const std::uint8_t stripes[8][3] = {{200, 40, 40},  {230, 150, 30}, {220, 210, 50},
                                               {60, 170, 60},  {40, 150, 190}, {50, 70, 180},
                                               {140, 60, 170}, {240, 240, 240}};
    std::uint32_t noise = 2463534242U + static_cast<std::uint32_t>(number);
    for (int y = 0; y < s.height; ++y) {
        std::uint8_t* row = image.row(y);
        const double shade = 235 - 35.0 * y / s.height;
        for (int x = 0; x < s.width; ++x) {
            double r = shade, g = shade, b = shade + 5;
            const double dx = x - cx;
            const double py = (y - bottom) / plateB;
            if ((dx / plateA) * (dx / plateA) + py * py <= 1.0) {
                r = g = b = 70 + 10 * std::cos(std::atan2(py, dx / plateA) * 24 + angle * 24);
            }
            if (y >= top && y < bottom && std::abs(dx) < radius) {
                const double u = dx / radius;
                double longitude = std::fmod(std::asin(u) + angle, 2 * kPi);
                if (longitude < 0) {
                    longitude += 2 * kPi;
                }
                const auto* c = stripes[static_cast<int>(longitude / (2 * kPi) * 8) % 8];
                const double light =
                    (0.35 + 0.65 * std::sqrt(1 - u * u)) * ((y - top) % 48 < 3 ? 0.8 : 1.0);
                r = c[0] * light;
                g = c[1] * light;
                b = c[2] * light;
            }
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const double grain = static_cast<int>(noise % 13) - 6;
            row[x * 3] = static_cast<std::uint8_t>(std::clamp(r + grain, 0.0, 255.0));
            row[x * 3 + 1] = static_cast<std::uint8_t>(std::clamp(g + grain, 0.0, 255.0));
            row[x * 3 + 2] = static_cast<std::uint8_t>(std::clamp(b + grain, 0.0, 255.0));
        }
    }
    return image;
}

bool Number(const char* text, int& value) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (*end != '\0') {
        return false;
    }
    value = static_cast<int>(n);
    return n > 0 && n < 100000;
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    bool ok = argc >= 2;
    for (int i = 2; ok && i < argc; i += 2) {
        if (i + 1 >= argc) {
            ok = false;
        } else if (std::string(argv[i]) == "--count") {
            ok = Number(argv[i + 1], s.count);
        } else if (std::string(argv[i]) == "--quality") {
            ok = Number(argv[i + 1], s.quality) && s.quality <= 100;
        } else if (std::string(argv[i]) == "--size") {
            const std::string size = argv[i + 1];
            const auto x = size.find('x');
            ok = x != std::string::npos && Number(size.substr(0, x).c_str(), s.width) &&
                 Number(size.substr(x + 1).c_str(), s.height);
        } else {
            ok = false;
        }
    }
    if (!ok) {
        std::cerr << "Usage: spin_sample_photos FOLDER [--count N] [--size WxH] [--quality Q]\n";
        return 2;
    }
    s.folder = argv[1];
    std::filesystem::create_directories(s.folder);
    std::atomic<int> next{1};
    std::atomic<bool> failed{false};
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < std::max(1U, std::thread::hardware_concurrency()); ++t) {
        workers.emplace_back([&] {
            for (int n = next++; n <= s.count && !failed; n = next++) {
                try {
                    zentrivo::WriteJpeg(Draw(s, n), s.folder / (std::to_string(n) + ".jpg"),
                                        s.quality);
                } catch (const std::exception& e) {
                    std::cerr << e.what() << '\n';
                    failed = true;
                }
            }
        });
    }
    for (std::thread& t : workers) {
        t.join();
    }
    return failed ? 1 : 0;
}
