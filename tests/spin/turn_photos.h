#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "spin/jpeg_file.h"
#include "temp_dir.h"

// Photos whose colour tells which photo of the turn they are, so that a test
// can read the order of an export's frames back from the pictures.
inline zentrivo::RgbImage TurnPhoto(int number, int width, int height) {
    zentrivo::RgbImage image(width, height);
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
        image.pixels[i] = static_cast<std::uint8_t>(number * 14);
        image.pixels[i + 1] = static_cast<std::uint8_t>(250 - number * 14);
        image.pixels[i + 2] = 128;
    }
    return image;
}

inline void WriteTurnPhoto(const std::filesystem::path& path, int number, int width = 160,
                           int height = 120) {
    zentrivo::WriteJpeg(TurnPhoto(number, width, height), path, 92);
}

// A photo from a camera mounted on its side: stored as the sensor saw it,
// 160 x 120 with a red top left corner, and an Exif orientation of 6 (turn
// a quarter clockwise to stand upright, which puts that corner top right).
inline void WriteSidewaysPhoto(const std::filesystem::path& path, int number) {
    zentrivo::RgbImage image = TurnPhoto(number, 160, 120);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            std::uint8_t* p = image.row(y) + x * 3;
            p[0] = 255;
            p[1] = p[2] = 0;
        }
    }
    zentrivo::WriteJpeg(image, path, 92);
    const std::string app1 = std::string(
        "\xff\xe1\x00\x22"  // APP1, 34 bytes
        "Exif\0\0"
        "MM\0\x2a\0\0\0\x08"                  // big-endian TIFF
        "\0\x01"                              // one entry:
        "\x01\x12\0\x03\0\0\0\x01\0\x06\0\0"  // orientation 6
        "\0\0\0\0",
        36);
    std::string bytes = zentrivo::ReadWholeFile(path);
    bytes.insert(2, app1);  // after the start of image
    zentrivo::WriteWholeFile(path, bytes);
}

// Which photo a picture shows, from its middle pixel.
inline int PhotoNumber(const std::uint8_t* rgb) {
    return static_cast<int>(std::lround(rgb[0] / 14.0));
}
inline int PhotoNumber(const zentrivo::RgbImage& image) {
    return PhotoNumber(image.row(image.height / 2) + image.width / 2 * 3);
}
inline int FrameNumber(const std::filesystem::path& frame) {
    return PhotoNumber(zentrivo::DecodeJpegAtLeast(frame, 100000));
}

// Every file and folder under `folder`, as paths relative to it, sorted.
inline std::vector<std::string> Tree(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(folder)) {
        return names;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        names.push_back(std::filesystem::relative(entry.path(), folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A folder for the photos of a turn and one to export them into, both in a
// folder of the test's own.
struct TurnFolders {
    TempDir dir;
    std::filesystem::path source;
    std::filesystem::path target;

    explicit TurnFolders(const std::string& sourceName = "photos")
        : source(std::filesystem::path(dir.Path()) / sourceName),
          target(std::filesystem::path(dir.Path()) / "view") {
        std::filesystem::create_directories(source);
    }

    // 1.jpg ... count.jpg, each showing its number.
    void WritePhotos(int count, int width = 160, int height = 120) const {
        for (int n = 1; n <= count; ++n) {
            WriteTurnPhoto(source / (std::to_string(n) + ".jpg"), n, width, height);
        }
    }
};
