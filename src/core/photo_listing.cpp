#include "photo_listing.h"

#include <algorithm>
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

// directory_iterator leaves out "." and "..", and takes the entry's kind from
// the listing itself, so no entry costs a stat of its own. Windows lists a
// camera card's folder in name order, while readdir on Linux gives a hash
// order; the names are sorted so that both list, and so number the copies,
// in the camera's own numbering.
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
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string fa = AsciiFolded(a);
        const std::string fb = AsciiFolded(b);
        return fa != fb ? fa < fb : a < b;
    });
    return names;
}

}  // namespace zentrivo
