// Renders a turn of studio photos and the clean plate as JPEGs: 1.jpg ...
// into FOLDER, plate.jpg beside it. The README's "before and after" is made
// from them by zentrivo-spin (scripts/finish-pictures), and the finishing
// benchmark times and measures ours and ImageMagick's on them
// (bench/finish_speed.sh); the photos are rendered on every core.
#include <atomic>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include <opencv2/core/utility.hpp>

#include "spin/jpeg_file.h"
#include "turn_view.h"

namespace {

using zentrivo::testing::ProductKind;

struct Settings {
    std::filesystem::path folder;
    int photos = 0;
    int width = 640;
    int height = 480;
    ProductKind kind = ProductKind::Textured;
    int quality = 95;
};

bool Parse(int argc, char** argv, Settings& s) {
    if (argc < 3) {
        return false;
    }
    s.folder = argv[1];
    s.photos = std::atoi(argv[2]);
    bool ok = s.photos > 0;
    for (int i = 3; ok && i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--size") {
            ok = zentrivo::testing::ParseSize(value, s.width, s.height);
        } else if (option == "--kind") {
            const auto kind = zentrivo::testing::KindNamed(value);
            ok = kind.has_value();
            s.kind = kind.value_or(ProductKind::Textured);
        } else if (option == "--quality") {
            s.quality = std::atoi(value.c_str());
            ok = s.quality >= 1 && s.quality <= 100;
        } else {
            ok = false;
        }
    }
    return ok && argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    if (!Parse(argc, argv, s)) {
        std::cerr << "usage: render_turn FOLDER PHOTOS [--size WxH] [--kind textured|dark-glossy|"
                     "white-on-white|handle|none] [--quality Q]\n";
        return 2;
    }
    std::filesystem::create_directories(s.folder);
    std::atomic<bool> failed{false};
    cv::parallel_for_(cv::Range(0, s.photos), [&](const cv::Range& views) {
        for (int i = views.start; i < views.end && !failed; ++i) {
            try {
                const auto shot = zentrivo::testing::RenderShot(
                    zentrivo::testing::TurnView(s.kind, s.width, s.height, i, s.photos));
                zentrivo::WriteJpeg(shot.frame, s.folder / (std::to_string(i + 1) + ".jpg"),
                                    s.quality);
                if (i == 0) {
                    zentrivo::WriteJpeg(shot.plate, s.folder.parent_path() / "plate.jpg",
                                        s.quality);
                }
            } catch (const std::exception& e) {
                std::cerr << e.what() << '\n';
                failed = true;
            }
        }
    });
    return failed ? 1 : 0;
}
