#include "turntable_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int kCentreX = kPictureWidth / 2;
constexpr int kPlateY = 180;          // the middle of the turntable's top
constexpr int kPlateHalfWidth = 130;  // seen from a little above: an ellipse
constexpr int kPlateHalfDepth = 36;
constexpr int kPlateThickness = 9;
constexpr double kBoxHalfWidth = 45;
constexpr int kBoxTop = 70;

std::uint8_t Grey(double level) {
    return static_cast<std::uint8_t>(std::clamp(level, 0.0, 255.0));
}

void FillRect(GrayImage& image, int left, int top, int right, int bottom, std::uint8_t grey) {
    for (int y = std::max(top, 0); y < std::min(bottom, image.Height); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, image.Width); ++x) {
            image.At(x, y) = grey;
        }
    }
}

void FillEllipse(GrayImage& image, int centre_x, int centre_y, int half_width, int half_depth,
                 std::uint8_t grey) {
    for (int y = centre_y - half_depth; y <= centre_y + half_depth; ++y) {
        const double dy = static_cast<double>(y - centre_y) / half_depth;
        const int reach = static_cast<int>(half_width * std::sqrt(std::max(0.0, 1 - dy * dy)));
        FillRect(image, centre_x - reach, y, centre_x + reach + 1, y + 1, grey);
    }
}

// Digits, ".", and "o" for the degree sign, three pixels wide and five high;
// each row is three bits, the leftmost pixel first.
const int* Glyph(char c) {
    static const int digits[10][5] = {
        {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
        {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
    };
    static const int point[5] = {0, 0, 0, 0, 2};
    static const int degree[5] = {7, 5, 7, 0, 0};
    if (c >= '0' && c <= '9') {
        return digits[c - '0'];
    }
    return c == '.' ? point : c == 'o' ? degree : nullptr;
}

void DrawText(GrayImage& image, const std::string& text, int left, int top, int scale,
              std::uint8_t grey) {
    for (const char c : text) {
        if (const int* rows = Glyph(c)) {
            for (int row = 0; row < 5; ++row) {
                for (int column = 0; column < 3; ++column) {
                    if ((rows[row] >> (2 - column)) & 1) {
                        FillRect(image, left + column * scale, top + row * scale,
                                 left + (column + 1) * scale, top + (row + 1) * scale, grey);
                    }
                }
            }
        }
        left += 4 * scale;
    }
}

// A square box turned about its upright axis, seen from the front: each of
// its four sides that faces the camera, lit the more the squarer it faces it.
// Side n carries n + 1 dark bars, so that every view shows how far it turned.
void DrawBox(GrayImage& image, double radians) {
    const double half_pi = std::acos(0.0);
    for (int side = 0; side < 4; ++side) {
        const double facing = radians + side * half_pi;
        const double towards_camera = std::cos(facing);
        if (towards_camera <= 1e-6) {
            continue;
        }
        // The column at which a point of the side lands, `across` from its
        // middle (-1 its left edge, 1 its right).
        const auto column = [&](double across) {
            return static_cast<int>(std::lround(
                kCentreX + kBoxHalfWidth * (std::sin(facing) + across * towards_camera)));
        };
        FillRect(image, column(-1), kBoxTop, column(1), kPlateY, Grey(60 + 160 * towards_camera));
        const int bars = side + 1;
        for (int bar = 0; bar < bars; ++bar) {
            const double middle = -0.6 + 1.2 * (bar + 0.5) / bars;
            FillRect(image, column(middle - 0.1), kBoxTop + 20, column(middle + 0.1), kBoxTop + 60,
                     Grey(20 + 40 * towards_camera));
        }
    }
}

}  // namespace

GrayImage DrawTurntablePicture(double angle_degrees, int photo_number) {
    GrayImage image(kPictureWidth, kPictureHeight, 0);
    // A backdrop lit from above.
    for (int y = 0; y < image.Height; ++y) {
        FillRect(image, 0, y, image.Width, y + 1, Grey(215 - 0.35 * y));
    }
    FillEllipse(image, kCentreX, kPlateY + kPlateThickness, kPlateHalfWidth, kPlateHalfDepth, 45);
    FillEllipse(image, kCentreX, kPlateY, kPlateHalfWidth, kPlateHalfDepth, 105);
    const double radians = angle_degrees * std::acos(-1.0) / 180;
    const int mark_x = static_cast<int>(kCentreX + (kPlateHalfWidth - 14) * std::sin(radians));
    const int mark_y = static_cast<int>(kPlateY + (kPlateHalfDepth - 6) * std::cos(radians));
    FillEllipse(image, mark_x, mark_y, 7, 3, 250);
    DrawBox(image, radians);
    char number[16];
    std::snprintf(number, sizeof number, "%04d", photo_number);
    DrawText(image, number, 10, 10, 4, 25);
    char angle[16];
    std::snprintf(angle, sizeof angle, "%.1fo", angle_degrees);
    const int width = static_cast<int>(std::string(angle).size()) * 4 * 3;
    DrawText(image, angle, image.Width - 10 - width, 10, 3, 25);
    return image;
}

std::string TurntablePhoto(double angle_degrees, int photo_number, std::int64_t shot_number) {
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "zentrivo-sim shot=%lld place=%.2f",
                  static_cast<long long>(shot_number), angle_degrees);
    return CommentedJpeg(EncodeGrayJpeg(DrawTurntablePicture(angle_degrees, photo_number)), stamp);
}
