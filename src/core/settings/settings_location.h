#pragma once

#include <string>

namespace zentrivo {

// What decides which folder holds the settings file.
struct SettingsPlace {
    // The folder of the executable.
    std::string programFolder;
    // Whether the program may keep its settings there.
    bool programFolderWritable = true;
    // $XDG_CONFIG_HOME as the environment has it, empty when unset.
    std::string configHome;
    // The user's home folder, empty when unknown.
    std::string home;
};

// The folder that holds "opcije.ini". The program's own folder while it
// can be written (a build folder, an unpacked copy), so that settings kept
// there go on working; otherwise "zentrivo" in the user's configuration
// folder: $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
// With neither a configuration folder nor a home, the program's folder
// again, where a write then fails with its usual message.
std::string SettingsFolder(const SettingsPlace& place);

// The same for this process: the program's folder counts as writable when
// this user may write to it and it is not `installFolder`, the folder the
// program was installed into, so that even root never keeps settings
// beside the installed program, where a reinstall or removal would take
// them. On Windows the same holds for a program under Program Files, whose
// settings go to "Zentrivo" in the user's application data (%APPDATA%).
std::string SettingsFolderFor(const std::string& programFolder, const std::string& installFolder);

// Whether this user may create files in `folder`, by its permissions and
// the file system's read-only state, as access(2) sees them (on Windows,
// by making a file there). root passes on any writable file system.
bool FolderIsWritable(const std::string& folder);

// Creates the folder that will hold `filePath`, and any missing folder
// above it, readable by the user alone, as configuration folders are.
// Does nothing when it exists; a failure shows when the file is written.
void MakeFolderFor(const std::string& filePath);

}  // namespace zentrivo
