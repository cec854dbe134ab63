#pragma once

#include <string>

namespace zentrivo {

// Whether `path` names an existing folder; an empty path never does.
bool IsExistingFolder(const std::string& path);

// Whether `path` names an existing entry that is not a folder.
bool IsExistingFile(const std::string& path);

}  // namespace zentrivo
