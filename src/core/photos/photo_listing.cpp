#include "core/photos/photo_listing.h"

#include <algorithm>
#include <numeric>

#include "core/ascii_case.h"

#ifdef _WIN32
#include <filesystem>
#else
#include <dirent.h>
#endif

namespace zentrivo {

bool IsPhotoName(std::string_view name) {
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

// A camera card may hold tens of thousands of photos and the folder is read
// every few seconds, so the names are taken straight from the listing: no
// path is built and no entry costs a stat of its own.
#ifdef _WIN32
void ForEachPhotoName(const std::string& folder,
                      const std::function<void(std::string_view)>& found) {
    namespace fs = std::filesystem;
    if (folder.empty()) {
        return;
    }
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (IsPhotoName(name)) {
            found(name);
        }
    }
}
#else
void ForEachPhotoName(const std::string& folder,
                      const std::function<void(std::string_view)>& found) {
    if (folder.empty()) {
        return;
    }
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name(entry->d_name);
        // "." and ".." never end in ".jpg", so the filter leaves them out.
        if (IsPhotoName(name)) {
            found(name);
        }
    }
    closedir(dir);
}
#endif

// Each name is folded once, not once per comparison: a sort of 50,000 names
// makes close to a million comparisons.
bool PhotoNameBefore(const std::string& a, const std::string& b) {
    const std::string foldedA = AsciiFolded(a);
    const std::string foldedB = AsciiFolded(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

void SortPhotoNames(std::vector<std::string>& names) {
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        keys.push_back(AsciiFolded(name));
    }
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return keys[a] != keys[b] ? keys[a] < keys[b] : names[a] < names[b];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (std::size_t i : order) {
        sorted.push_back(std::move(names[i]));
    }
    names = std::move(sorted);
}

// Windows lists a camera card's folder in name order, while readdir on Linux
// gives a hash order; the names are sorted so that both list, and so number
// the copies, in the camera's own numbering.
std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    ForEachPhotoName(folder, [&](std::string_view name) { names.emplace_back(name); });
    SortPhotoNames(names);
    return names;
}

}  // namespace zentrivo
