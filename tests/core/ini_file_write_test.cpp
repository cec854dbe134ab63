// Writing settings and profiles where the Windows profile functions would
// refuse, follow a link, or keep a file's owner: each case a user meets when
// opcije.ini or a profile is not a plain file of their own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/settings/ini_file.h"
#include "temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using zentrivo::IniFile;
using zentrivo::IniWriteError;
namespace fs = std::filesystem;

namespace {

const std::string kSettings = "[Parametri]\r\ncom_port=5\r\n[Ostalo]\r\nforeign=kept\r\n";

// The text of the error a write raised, or "" when it wrote.
std::string WriteError(const std::string& path, const char* key, const char* value) {
    try {
        IniFile(path).WriteString("Ostalo", key, value);
    } catch (const IniWriteError& e) {
        return e.what();
    }
    return "";
}

#ifndef _WIN32
bool RunningAsRoot() {
    return ::geteuid() == 0;
}
#endif

// UTF-16 bytes of ASCII text, with the byte-order mark.
std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return out;
}

}  // namespace

TEST(IniFileLikeWindows, AReadOnlyFileOrAPathNoOneCanMakeIsRefused) {
    TempDir dir;
    // Under a plain file no file can be made, whoever asks.
    dir.Write("plain", "x");
    const std::string under = dir.File("plain") + "/opcije.ini";
    EXPECT_EQ(WriteError(under, "a", "1"), "Unable to write to " + under);

    // A file without any write permission is read-only, for root too, as
    // Windows refuses a read-only file to an administrator.
    dir.Write("opcije.ini", kSettings);
    fs::permissions(dir.File("opcije.ini"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(WriteError(dir.File("opcije.ini"), "auto_start", "0"),
              "Unable to write to " + dir.File("opcije.ini"));
    EXPECT_EQ(dir.Read("opcije.ini"), kSettings);
    EXPECT_EQ(IniFile(dir.File("opcije.ini")).ReadInteger("Parametri", "com_port", 3), 5);
}

#ifndef _WIN32

TEST(IniFileLikeWindows, AnUnreadableFileIsRefusedRatherThanEmptied) {
    if (RunningAsRoot()) {
        GTEST_SKIP() << "root reads every file, so no file is unreadable to this test";
    }
    TempDir dir;
    dir.Write("opcije.ini", kSettings);
    ::chmod(dir.File("opcije.ini").c_str(), 0200);  // writable, not readable
    EXPECT_EQ(WriteError(dir.File("opcije.ini"), "auto_start", "0"),
              "Unable to write to " + dir.File("opcije.ini"));
    ::chmod(dir.File("opcije.ini").c_str(), 0600);
    EXPECT_EQ(dir.Read("opcije.ini"), kSettings);
}

TEST(IniFileLikeWindows, AFileInAFolderWithoutRoomForNewFilesIsRewrittenInPlace) {
    if (RunningAsRoot()) {
        GTEST_SKIP() << "root makes files in any folder, so the folder cannot refuse one";
    }
    TempDir dir;
    dir.Write("opcije.ini", kSettings);
    ::chmod(dir.Path().c_str(), 0500);
    EXPECT_EQ(WriteError(dir.File("opcije.ini"), "auto_start", "0"), "");
    ::chmod(dir.Path().c_str(), 0700);
    EXPECT_EQ(dir.Read("opcije.ini"),
              "[Parametri]\r\ncom_port=5\r\n[Ostalo]\r\nforeign=kept\r\nauto_start=0\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(IniFileLikeWindows, AnotherUsersFileKeepsItsOwnerGroupAndMode) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    TempDir dir;
    dir.Write("opcije.ini", kSettings);
    ASSERT_EQ(::chown(dir.File("opcije.ini").c_str(), 4242, 4343), 0);
    ASSERT_EQ(::chmod(dir.File("opcije.ini").c_str(), 0664), 0);
    EXPECT_EQ(WriteError(dir.File("opcije.ini"), "auto_start", "0"), "");
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("opcije.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4242u);
    EXPECT_EQ(st.st_gid, 4343u);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_NE(dir.Read("opcije.ini").find("auto_start=0\r\n"), std::string::npos);
}

TEST(IniFileLikeWindows, ALinkIsWrittenThroughToItsFile) {
    TempDir dir;
    TempDir elsewhere;
    elsewhere.Write("real.ini", kSettings);
    fs::create_directory(dir.File("conf"));
    dir.Write("conf/local.ini", kSettings);
    // An absolute link, a relative one, and one whose file is not there yet.
    fs::create_symlink(elsewhere.File("real.ini"), dir.File("opcije.ini"));
    fs::create_symlink("conf/local.ini", dir.File("relative.zv"));
    fs::create_symlink("conf/later.zv", dir.File("dangling.zv"));
    for (const char* link : {"opcije.ini", "relative.zv", "dangling.zv"}) {
        EXPECT_EQ(WriteError(dir.File(link), "auto_start", "0"), "") << link;
        EXPECT_TRUE(fs::is_symlink(dir.File(link))) << link;
    }
    const std::string written =
        "[Parametri]\r\ncom_port=5\r\n[Ostalo]\r\nforeign=kept\r\nauto_start=0\r\n";
    EXPECT_EQ(elsewhere.Read("real.ini"), written);
    EXPECT_EQ(dir.Read("conf/local.ini"), written);
    EXPECT_EQ(dir.Read("conf/later.zv"), "[Ostalo]\r\nauto_start=0\r\n");
}

#endif

TEST(IniFileLikeWindows, NamesAreJudgedAsTheyWillBeRead) {
    TempDir dir;
    dir.Write("a.ini", "[x]\r\nk=real\r\n[Ostalo]\r\n");
    const std::string path = dir.File("a.ini");
    // A key that would read as a section header, a comment or nothing.
    for (const char* key : {" [x]", "\t[x]", "\t;c", "  ;c", "   ", "\t"}) {
        EXPECT_EQ(WriteError(path, key, "1"), "Unable to write to " + path) << '"' << key << '"';
    }
    EXPECT_EQ(dir.Read("a.ini"), "[x]\r\nk=real\r\n[Ostalo]\r\n");
    EXPECT_EQ(IniFile(path).ReadString("x", "k", ""), "real");
}

TEST(IniFileLikeWindows, AUtf16FileIsReadAndWrittenBackInUtf16) {
    for (const bool bigEndian : {false, true}) {
        TempDir dir;
        // "C:\Slike\Čaša" with its two non-ASCII letters as UTF-16 units,
        // then an odd last byte that completes no character.
        std::string file = Utf16("[Ostalo]\r\nfotos_dir=C:\\Slike\\", bigEndian);
        file += bigEndian ? std::string("\x01\x0C", 2) : std::string("\x0C\x01", 2);
        file += Utf16("a", bigEndian).substr(2);
        file += bigEndian ? std::string("\x01\x61", 2) : std::string("\x61\x01", 2);
        file += Utf16("a\r\nforeign=1\r\n", bigEndian).substr(2);
        dir.Write("opcije.ini", file + "!");
        IniFile ini(dir.File("opcije.ini"));
        EXPECT_EQ(ini.ReadString("Ostalo", "fotos_dir", ""),
                  "C:\\Slike\\\xC4\x8C"
                  "a\xC5\xA1"
                  "a");
        EXPECT_EQ(ini.ReadInteger("Ostalo", "foreign", 0), 1);
        EXPECT_TRUE(ini.HoldsText());

        ini.WriteString("Ostalo", "auto_start", "0");
        EXPECT_EQ(dir.Read("opcije.ini"),
                  file + Utf16("auto_start=0\r\n", bigEndian).substr(2) + "!");
        ini.WriteString("Ostalo", "fotos_dir", "/home/ana/\xC4\x8C");  // "Č" in UTF-8
        EXPECT_EQ(ini.ReadString("Ostalo", "fotos_dir", ""), "/home/ana/\xC4\x8C");
        const std::string bytes = dir.Read("opcije.ini");
        EXPECT_EQ(bytes.substr(0, 2), bigEndian ? "\xFE\xFF" : "\xFF\xFE");
        EXPECT_NE(bytes.find(bigEndian ? std::string("\x01\x0C", 2) : std::string("\x0C\x01", 2)),
                  std::string::npos);
    }
}
