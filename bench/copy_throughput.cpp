// Copies the photos of a camera folder into a new sub-folder of a destination
// folder the way the program does (CopyNewPhotos, the sub-folder named by
// date and time), and prints how long that took. bench/copy_throughput.sh
// runs it beside `cp` of the same files.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/clock_text.h"
#include "core/photos/photo_copy.h"
#include "core/photos/photo_listing.h"

namespace fs = std::filesystem;
using namespace zentrivo;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CAMERA_FOLDER DESTINATION_FOLDER\n", argv[0]);
        return 2;
    }
    CopyRequest request;
    request.cameraFolder = argv[1];
    request.destinationFolder = argv[2];
    request.photos = ListFiles(request.cameraFolder);
    std::sort(request.photos.begin(), request.photos.end());
    request.autoName = true;
    request.now = LocalNow();

    std::uintmax_t bytes = 0;
    for (const std::string& name : request.photos) {
        bytes += fs::file_size(fs::path(request.cameraFolder) / name);
    }

    CopyDialogs dialogs;
    dialogs.askFolderName = [](const std::string&) { return std::nullopt; };
    dialogs.showMessage = [](MessageKind, const std::string& title, const std::string& text) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    };

    const auto start = std::chrono::steady_clock::now();
    const CopyResult result = CopyNewPhotos(request, dialogs);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    if (!result.done || !result.notCopied.empty()) {
        std::fprintf(stderr, "copy failed: %zu of %zu photos not copied\n", result.notCopied.size(),
                     request.photos.size());
        return 1;
    }
    std::printf("photos=%zu bytes=%ju seconds=%.3f target=%s\n", request.photos.size(), bytes,
                took.count(), result.target.c_str());
    return 0;
}
