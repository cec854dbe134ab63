#include "core/settings/settings_location.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zentrivo {

namespace fs = std::filesystem;

namespace {

bool IsAbsolute(const std::string& path) {
    return !path.empty() && fs::u8path(path).is_absolute();
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

#ifdef _WIN32
// Whether `folder` is `parent` or lies within it, as Windows compares
// names: without regard to case or to the kind of slash.
bool InsideFolder(const std::string& folder, const std::string& parent) {
    if (parent.empty()) {
        return false;
    }
    const auto fold = [](std::string text) {
        for (char& c : text) {
            c = c == '/' ? '\\' : (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
        }
        while (!text.empty() && text.back() == '\\') {
            text.pop_back();
        }
        return text;
    };
    const std::string f = fold(folder);
    const std::string p = fold(parent);
    return f.compare(0, p.size(), p) == 0 && (f.size() == p.size() || f[p.size()] == '\\');
}
#else

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
            home = pw->pw_dir;
        }
    }
    return home;
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code ec;
    return !a.empty() && !b.empty() && fs::equivalent(fs::u8path(a), fs::u8path(b), ec);
}
#endif

}  // namespace

std::string SettingsFolder(const SettingsPlace& place) {
    if (place.programFolderWritable) {
        return place.programFolder;
    }
    // Relative values are to be ignored, as the XDG base directory rules
    // say: they would put the file wherever the program was started from.
    if (IsAbsolute(place.configHome)) {
        return JoinPath(place.configHome, "zentrivo");
    }
    if (IsAbsolute(place.home)) {
        return JoinPath(JoinPath(place.home, ".config"), "zentrivo");
    }
    return place.programFolder;
}

std::string SettingsFolderFor(const std::string& programFolder, const std::string& installFolder) {
#ifdef _WIN32
    // A program installed under Program Files keeps its settings in the
    // user's application data even where Windows would let it write (an
    // administrator, an old folder's rights), as every user has their own.
    (void)installFolder;
    const bool installed = InsideFolder(programFolder, Environment("ProgramFiles")) ||
                           InsideFolder(programFolder, Environment("ProgramFiles(x86)")) ||
                           InsideFolder(programFolder, Environment("ProgramW6432"));
    if (!installed && FolderIsWritable(programFolder)) {
        return programFolder;
    }
    const std::string appData = Environment("APPDATA");
    return IsAbsolute(appData) ? JoinPath(appData, "Zentrivo") : programFolder;
#else
    SettingsPlace place;
    place.programFolder = programFolder;
    place.programFolderWritable =
        !SameFolder(programFolder, installFolder) && FolderIsWritable(programFolder);
    place.configHome = Environment("XDG_CONFIG_HOME");
    place.home = HomeFolder();
    return SettingsFolder(place);
#endif
}

bool FolderIsWritable(const std::string& folder) {
#ifdef _WIN32
    // The folder's rights decide, which a file's attributes do not show:
    // a file made there and gone at once tells.
    const std::wstring probe = fs::u8path(folder).wstring() + L"\\.zentrivo-write-test-" +
                               std::to_wstring(GetCurrentProcessId());
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
#else
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

void MakeFolderFor(const std::string& filePath) {
    std::error_code ec;
    std::vector<fs::path> missing;
    for (fs::path p = fs::u8path(filePath).parent_path(); !p.empty() && !fs::exists(p, ec);
         p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path()) {
            break;
        }
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
#ifdef _WIN32
        if (!fs::create_directory(*it, ec)) {
            return;
        }
#else
        if (::mkdir(it->c_str(), 0700) != 0) {
            return;
        }
#endif
    }
}

}  // namespace zentrivo
