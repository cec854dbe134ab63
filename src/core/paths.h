#pragma once

#include <string>

namespace zentrivo {

// The platform's path separator.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// folder + separator + name, without looking at how the folder ends, so
// that every path the program forms has one predictable shape.
std::string JoinPath(const std::string& folder, const std::string& name);

// Where both photo folders point until the user chooses: "C:" on Windows,
// the user's home folder elsewhere.
std::string DefaultPhotoFolder();

// The name of the settings file in the program's folder.
constexpr const char* kSettingsFileName = "opcije.ini";

}  // namespace zentrivo
