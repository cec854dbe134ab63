#include "path_checks.h"

#include <filesystem>

namespace zentrivo {

namespace fs = std::filesystem;

bool IsExistingFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(fs::path(path), ec);
}

bool IsExistingFile(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(fs::path(path), ec);
    return !path.empty() && fs::exists(status) && !fs::is_directory(status);
}

}  // namespace zentrivo
