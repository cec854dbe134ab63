#include "photo_listing.h"

#include <filesystem>
#include <string_view>

#include "ascii_case.h"

namespace zentrivo {

namespace fs = std::filesystem;

bool IsPhotoName(const std::string& name) {
    constexpr std::string_view kSuffix = ".jpg";
    if (name.size() < kSuffix.size()) {
        return false;
    }
    const std::size_t start = name.size() - kSuffix.size();
    for (std::size_t i = 0; i < kSuffix.size(); ++i) {
        if (AsciiLower(name[start + i]) != kSuffix[i]) {
            return false;
        }
    }
    return true;
}

// directory_iterator reads the folder in the system's own order (readdir on
// POSIX, FindNextFile on Windows), leaves out "." and "..", and takes the
// entry's kind from the listing itself, so no entry costs a stat of its own.
std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    if (folder.empty()) {
        return names;
    }
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (IsPhotoName(name)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

}  // namespace zentrivo
