#pragma once

#include <string>

namespace zentrivo {

// The sub-folder of `destination` that holds at least one "*.jpg" file and
// was changed last, as a full path: after a restart, the copy a user most
// likely wants to work on next. Empty when no sub-folder holds a photo.
std::string NewestPhotoFolder(const std::string& destination);

}  // namespace zentrivo
