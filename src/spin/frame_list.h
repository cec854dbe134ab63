#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "spin_request.h"

namespace zentrivo {

// The JPEG photos directly in `folder` (".jpg" or ".jpeg" in any letter
// case, hidden files left out), in the order of a turn: names that are a
// number (1.jpg, 2.jpg, ... 10.jpg) by that number and first, any other
// names after them by name. Throws std::filesystem::filesystem_error when
// the folder cannot be listed.
std::vector<std::filesystem::path> ListTurnPhotos(const std::filesystem::path& folder);

// The photos that make the frames, in the order they are shown. Reversed,
// the first photo stays first and the others follow from the last back, so
// the spin starts on the same side and turns the other way. An empty
// result with `why` set when the choice asks for more than there is.
std::vector<std::filesystem::path> ChooseFrames(const std::vector<std::filesystem::path>& photos,
                                                const FrameChoice& choice, bool reverse,
                                                std::string& why);

}  // namespace zentrivo
