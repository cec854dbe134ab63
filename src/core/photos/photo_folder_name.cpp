#include "core/photos/photo_folder_name.h"

#include <cstring>
#include <filesystem>

#include "core/path_checks.h"
#include "core/paths.h"

namespace zentrivo {

namespace {

bool IsCutAtEnds(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// A name that, joined to the destination, would not make a new sub-folder of
// it: nothing, the destination itself, its parent, or a name the system would
// cut short at an embedded NUL.
bool IsUsableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('\0') == std::string::npos;
}

bool IsTaken(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(
        std::filesystem::symlink_status(std::filesystem::path(path), ec));
}

// More copies than anyone makes in one second.
constexpr int kMostStampsPerSecond = 1000;

std::string RenameNotice(const char* reason, const std::string& stamp) {
    return std::string(reason) + "\r\nI will name it: " + stamp;
}

}  // namespace

std::string CleanFolderName(const std::string& typed) {
    static const char kForbidden[] = "\\/:*?\"<>|";
    std::string name;
    name.reserve(typed.size());
    for (const char c : typed) {
        if (c == '\0' || std::strchr(kForbidden, c) == nullptr) {
            name.push_back(c);
        }
    }
    std::size_t begin = 0;
    std::size_t end = name.size();
    while (begin < end && IsCutAtEnds(name[begin])) {
        ++begin;
    }
    while (end > begin && IsCutAtEnds(name[end - 1])) {
        --end;
    }
    return name.substr(begin, end - begin);
}

std::string UnusedStamp(const std::string& destination, const std::string& stamp) {
    if (!IsTaken(JoinPath(destination, stamp))) {
        return stamp;
    }
    for (int n = 2; n <= kMostStampsPerSecond; ++n) {
        std::string candidate = stamp + "_" + std::to_string(n);
        if (!IsTaken(JoinPath(destination, candidate))) {
            return candidate;
        }
    }
    return stamp;
}

FolderNameChoice ChooseFolderName(const std::string& destination, const std::string& typed,
                                  const std::string& stamp) {
    const std::string name = CleanFolderName(typed);
    if (!IsUsableName(name)) {
        return {stamp, RenameNotice("Invalid directory name !", stamp)};
    }
    if (IsExistingFolder(JoinPath(destination, name))) {
        return {stamp, RenameNotice("Directory already exists !", stamp)};
    }
    return {name, ""};
}

}  // namespace zentrivo
