// Where "opcije.ini" lives: beside the program while that folder can be
// written, in the user's configuration folder once it is installed.
#include "core/settings/settings_location.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "core/paths.h"
#include "core/settings/settings.h"
#include "temp_dir.h"

using namespace zentrivo;
namespace fs = std::filesystem;

namespace {

// Sets or clears one environment variable for the length of a test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

unsigned Mode(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

}  // namespace

TEST(SettingsLocation, ProgramFolderWhileWritableElseTheUsersConfigFolder) {
    SettingsPlace place;
    place.programFolder = "/opt/z/bin";
    place.configHome = "/home/u/cfg";
    place.home = "/home/u";
    EXPECT_EQ(SettingsFolder(place), "/opt/z/bin");

    place.programFolderWritable = false;
    EXPECT_EQ(SettingsFolder(place), "/home/u/cfg/zentrivo");
    // XDG_CONFIG_HOME unset, empty, or relative (to be ignored): ~/.config.
    for (const char* configHome : {"", "cfg", "./cfg"}) {
        place.configHome = configHome;
        EXPECT_EQ(SettingsFolder(place), "/home/u/.config/zentrivo") << configHome;
    }
    // Nowhere else to go: the program's folder, whose write then fails with
    // the usual "Unable to write to" message.
    place.home = "";
    EXPECT_EQ(SettingsFolder(place), "/opt/z/bin");
}

TEST(SettingsLocation, InstalledProgramKeepsSettingsInANewUserFolderNeverBesideItself) {
    TempDir root;
    const std::string program = root.File("usr/bin");
    fs::create_directories(program);
    // Installed into "bin", which is a link to usr/bin as /bin is on Debian:
    // the same folder under another name is still the installed one.
    fs::create_directory_symlink("usr/bin", root.File("bin"));
    fs::create_directory(root.File("home"));
    const ScopedEnv home("HOME", root.File("home"));
    const ScopedEnv noConfigHome("XDG_CONFIG_HOME", std::nullopt);

    // A build folder or an unpacked copy keeps its settings beside itself.
    EXPECT_EQ(SettingsFolderFor(program, "/nonexistent/bin"), program);

    // Installed, whoever runs it, root included: ~/.config/zentrivo.
    const std::string folder = SettingsFolderFor(program, root.File("bin"));
    ASSERT_EQ(folder, root.File("home/.config/zentrivo"));
    IniFile ini(JoinPath(folder, kSettingsFileName));
    EXPECT_EQ(LoadOptions(ini, "/h").ComPort, 3);
    EXPECT_FALSE(fs::exists(root.File("home/.config"))) << "reading created a folder";

    TPreferences preferences;
    preferences.FotosDir = "/cam";
    SavePreferences(ini, preferences);
    EXPECT_NE(root.Read("home/.config/zentrivo/opcije.ini").find("fotos_dir=/cam\r\n"),
              std::string::npos);
    EXPECT_EQ(Mode(root.File("home/.config")), 0700u);
    EXPECT_EQ(Mode(root.File("home/.config/zentrivo")), 0700u);
    EXPECT_TRUE(fs::is_empty(program));

    // $XDG_CONFIG_HOME wins when set; the Parameters dialog's write makes
    // the folder just as the exit does.
    const ScopedEnv configHome("XDG_CONFIG_HOME", root.File("xdg"));
    IniFile xdgIni(JoinPath(SettingsFolderFor(program, root.File("bin")), kSettingsFileName));
    SaveMachineSettings(xdgIni, TOpcije{});
    EXPECT_EQ(root.Read("xdg/zentrivo/opcije.ini"),
              "[Parametri]\r\ncom_port=3\r\nbr_koraka=48\r\nodnos_prenosa=25\r\n");
    EXPECT_TRUE(fs::is_empty(program));
}

TEST(SettingsLocation, ReadOnlyFolderIsNotWritableForAUser) {
    TempDir root;
    const std::string open = root.File("open");
    const std::string readOnly = root.File("read-only");
    fs::create_directory(open);
    fs::create_directory(readOnly);
    chmod(open.c_str(), 0777);
    chmod(readOnly.c_str(), 0555);
    chmod(root.Path().c_str(), 0755);
    if (geteuid() != 0) {
        EXPECT_TRUE(FolderIsWritable(open));
        EXPECT_FALSE(FolderIsWritable(readOnly));
        return;
    }
    // root may write into any folder, a mode-0555 one included, so ask as
    // the unprivileged user "nobody", as the program would run for a user.
    const auto askAsNobody = [](const std::string& folder) {
        const pid_t child = fork();
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) {
                _exit(2);
            }
            _exit(FolderIsWritable(folder) ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
    };
    const int openAnswer = askAsNobody(open);
    if (openAnswer == 2) {
        GTEST_SKIP() << "running as root, and cannot become the user nobody to ask";
    }
    EXPECT_EQ(openAnswer, 0);
    EXPECT_EQ(askAsNobody(readOnly), 1);
}
