#include "paths.h"

#include <cstdlib>

namespace zentrivo {

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + kPathSeparator + name;
}

std::string DefaultPhotoFolder() {
#ifdef _WIN32
    return "C:";
#else
    const char* home = std::getenv("HOME");
    return (home != nullptr && *home != '\0') ? std::string(home) : std::string("/");
#endif
}

}  // namespace zentrivo
