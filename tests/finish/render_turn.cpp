// Renders a turn of studio photos of the textured box, and the clean plate,
// as JPEGs into a folder: the pictures of the README's "before and after"
// are made from them by zentrivo-spin.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "spin/jpeg_file.h"
#include "synthetic_shot.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: render_turn FOLDER PHOTOS\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const int photos = std::atoi(argv[2]);
    std::filesystem::create_directories(folder);
    for (int i = 0; i < photos; ++i) {
        zentrivo::testing::ShotSetup setup;
        setup.width = 640;
        setup.height = 480;
        setup.axisX = 320;
        setup.turn = 2 * M_PI * i / photos;
        setup.seed = static_cast<unsigned>(i + 1);
        const auto shot = zentrivo::testing::RenderShot(setup);
        zentrivo::WriteJpeg(shot.frame, folder / (std::to_string(i + 1) + ".jpg"), 95);
        if (i == 0) {
            zentrivo::WriteJpeg(shot.plate, folder.parent_path() / "plate.jpg", 95);
        }
    }
    return 0;
}
