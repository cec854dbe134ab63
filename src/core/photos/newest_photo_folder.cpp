#include "core/photos/newest_photo_folder.h"

#include <filesystem>
#include <optional>

#include "core/photos/photo_listing.h"

namespace zentrivo {

namespace fs = std::filesystem;

namespace {

bool HoldsPhoto(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (IsPhotoName(it->path().filename().u8string()) && it->is_regular_file(error)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string NewestPhotoFolder(const std::string& destination) {
    std::error_code error;
    std::optional<fs::file_time_type> newestTime;
    fs::path newest;
    for (fs::directory_iterator it(fs::u8path(destination), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code entryError;
        if (!it->is_directory(entryError) || !HoldsPhoto(it->path())) {
            continue;
        }
        const fs::file_time_type changed = it->last_write_time(entryError);
        if (!entryError && (!newestTime || changed > *newestTime)) {
            newestTime = changed;
            newest = it->path();
        }
    }
    return newest.u8string();
}

}  // namespace zentrivo
