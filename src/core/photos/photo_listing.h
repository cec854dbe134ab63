#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrivo {

// Whether `name` matches "*.jpg" regardless of letter case ("IMG_0001.JPG"
// does); a name that is just ".jpg" matches too, as the wildcard allows.
bool IsPhotoName(std::string_view name);

// Calls `found` with the name (without the folder) of every entry of `folder`
// that matches "*.jpg", of every kind: files, folders and hidden entries
// alike, in the order the system happens to give them. "." and ".." are never
// among them. A folder that is missing or cannot be read gives nothing. The
// name is only valid during the call.
void ForEachPhotoName(const std::string& folder,
                      const std::function<void(std::string_view)>& found);

// Sorts photo names as a camera numbers them and Windows lists a card: by
// name with A-Z folded to a-z, names equal but for letter case in byte order.
void SortPhotoNames(std::vector<std::string>& names);
// Whether `a` comes before `b` in that order.
bool PhotoNameBefore(const std::string& a, const std::string& b);

// The names of ForEachPhotoName, sorted by SortPhotoNames.
std::vector<std::string> ListFiles(const std::string& folder);

}  // namespace zentrivo
