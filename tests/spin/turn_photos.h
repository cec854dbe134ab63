#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "jpeg_file.h"
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
