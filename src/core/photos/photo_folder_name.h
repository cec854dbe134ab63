#pragma once

#include <string>

namespace zentrivo {

// The typed name with every \ / : * ? " < > | deleted, then every character
// with a code from 0 to 32 (blanks and control characters) cut from both ends.
std::string CleanFolderName(const std::string& typed);

// The name a photo sub-folder of `destination` gets, and the notice (empty
// when none) that tells the user it is not the name they typed.
struct FolderNameChoice {
    std::string name;
    std::string notice;
};

// `stamp`, or, when something of that name is in `destination` already (a
// copy made within the same second), the first of `stamp`_2, `stamp`_3, ...
// that is free.
std::string UnusedStamp(const std::string& destination, const std::string& stamp);

// Decides the sub-folder's name from the typed answer: the cleaned answer,
// or `stamp` with a notice when the cleaned answer is no usable name (empty,
// "." or "..", which would point at the destination or its parent) or names a
// folder that already exists in `destination`.
FolderNameChoice ChooseFolderName(const std::string& destination, const std::string& typed,
                                  const std::string& stamp);

}  // namespace zentrivo
