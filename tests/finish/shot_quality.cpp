// shot_quality: how well a turn of rendered studio photos was finished, by
// us or by another tool, against the truth rendered again from the same
// seeds. Reads WHITE/N.jpg (the photo on white, its own size) and MASK/N.pgm
// (how much of each pixel was kept as product: a transparent output's
// alpha) for every view, and prints the means of three figures:
//   the overlap (intersection over union) of kept and true product,
//   the share of pure white among the pixels the product does not touch,
//   the same away from the contact shadow.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "shot_measures.h"
#include "spin/jpeg_file.h"
#include "turn_view.h"

namespace fs = std::filesystem;

namespace {

std::string Token(std::istream& in) {
    std::string token;
    while (in >> token && token[0] == '#') {
        std::string comment;
        std::getline(in, comment);
    }
    return token;
}

// An 8-bit binary PGM, as ImageMagick writes one.
std::vector<std::uint8_t> ReadPgm(const fs::path& path, int width, int height) {
    std::ifstream in(path, std::ios::binary);
    if (Token(in) != "P5" || std::stoi(Token(in)) != width || std::stoi(Token(in)) != height ||
        Token(in) != "255") {
        throw std::runtime_error(path.string() + ": not an 8-bit PGM of the photo's size");
    }
    in.get();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height);
    in.read(reinterpret_cast<char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    if (!in) {
        throw std::runtime_error(path.string() + ": cut short");
    }
    return pixels;
}

zentrivo::RgbaImage WithAlpha(const zentrivo::RgbImage& image) {
    zentrivo::RgbaImage out(image.width, image.height);
    for (std::size_t i = 0, j = 0; i < image.pixels.size(); i += 3, j += 4) {
        for (std::size_t c = 0; c < 3; ++c) {
            out.pixels[j + c] = image.pixels[i + c];
        }
        out.pixels[j + 3] = 255;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zentrivo::testing;
    std::optional<ProductKind> kind;
    int width = 0;
    int height = 0;
    int views = 0;
    std::vector<std::string> folders;
    bool ok = true;
    for (int i = 1; ok && i < argc; ++i) {
        const std::string arg = argv[i];
        const bool valued = i + 1 < argc;
        if (arg == "--kind" && valued) {
            kind = KindNamed(argv[++i]);
            ok = kind.has_value();
        } else if (arg == "--size" && valued) {
            ok = ParseSize(argv[++i], width, height);
        } else if (arg == "--views" && valued) {
            views = std::atoi(argv[++i]);
        } else {
            folders.push_back(arg);
        }
    }
    if (!ok || !kind || width == 0 || views < 1 || folders.size() != 2) {
        std::cerr << "usage: shot_quality --kind KIND --size WxH --views N WHITE MASK\n";
        return 2;
    }
    double overlap = 0;
    double white = 0;
    double whiteOffShadow = 0;
    try {
        for (int i = 0; i < views; ++i) {
            const SyntheticShot truth = RenderShot(TurnView(*kind, width, height, i, views));
            const std::string name = std::to_string(i + 1);
            const zentrivo::RgbImage onWhite =
                zentrivo::DecodeJpegAtLeast(fs::path(folders[0]) / (name + ".jpg"), 100000);
            if (onWhite.width != width || onWhite.height != height) {
                throw std::runtime_error(name + ".jpg is not the photo's size");
            }
            const auto kept = ReadPgm(fs::path(folders[1]) / (name + ".pgm"), width, height);
            overlap += Overlap(truth.product, kept);
            const zentrivo::RgbaImage image = WithAlpha(onWhite);
            white += WhiteShare(image, truth.product, truth.shadow, 2.0f);
            // The rendered shadow is nothing below 0.004 of a darkening.
            whiteOffShadow += WhiteShare(image, truth.product, truth.shadow, 0.001f);
        }
    } catch (const std::exception& e) {
        std::cerr << "shot_quality: " << e.what() << '\n';
        return 1;
    }
    std::cout << overlap / views << ' ' << white / views << ' ' << whiteOffShadow / views << '\n';
    return 0;
}
