#pragma once

#include <string>
#include <vector>

namespace zentrivo {

// Whether `name` matches "*.jpg" regardless of letter case ("IMG_0001.JPG"
// does); a name that is just ".jpg" matches too, as the wildcard allows.
bool IsPhotoName(const std::string& name);

// The names (without the folder) of the entries of `folder` that match
// "*.jpg", of every kind: files, folders and hidden entries alike, in the
// order the system returns them. "." and ".." are never among them. A folder
// that is missing or cannot be read gives nothing.
std::vector<std::string> ListFiles(const std::string& folder);

}  // namespace zentrivo
