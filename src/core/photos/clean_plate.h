#pragma once

#include <string>
#include <vector>

namespace zentrivo {

// The commands that take one photo of the empty table as a run takes its
// first: the controller set up as the list sets it up before that photo, its
// turns left out so that the table stays still, then the photo command.
// Empty when the list takes no photo.
std::vector<std::string> CleanPlateCommands(const std::vector<std::string>& commands);

// Where the clean plate of `cameraFolder` is kept: one file a camera folder,
// in the "plates" folder beside the settings, named from the folder's path so
// that it is found again after a restart.
std::string CleanPlatePath(const std::string& settingsFolder, const std::string& cameraFolder);

}  // namespace zentrivo
