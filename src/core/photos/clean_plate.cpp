#include "core/photos/clean_plate.h"

#include <cstdint>
#include <cstdio>

#include "core/paths.h"
#include "core/photos/photo_arrival.h"
#include "core/process/retake_plan.h"

namespace zentrivo {

std::vector<std::string> CleanPlateCommands(const std::vector<std::string>& commands) {
    std::vector<std::string> plate;
    for (const std::string& command : commands) {
        if (IsPhotoCommand(command)) {
            plate.push_back(command);
            return plate;
        }
        if (!IsTurnCommand(command)) {
            plate.push_back(command);
        }
    }
    return {};
}

std::string CleanPlatePath(const std::string& settingsFolder, const std::string& cameraFolder) {
    // The same folder chosen with or without its closing separator is one.
    std::string folder = cameraFolder;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) {
        folder.pop_back();
    }
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const unsigned char c : folder) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char name[32];
    std::snprintf(name, sizeof name, "plate-%016llx.jpg", static_cast<unsigned long long>(hash));
    return JoinPath(JoinPath(settingsFolder, "plates"), name);
}

}  // namespace zentrivo
