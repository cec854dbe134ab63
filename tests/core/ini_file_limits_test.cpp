// Files that no INI tool writes: NUL bytes inside values, and a large file
// such as a photo chosen by mistake as a profile.

#include <gtest/gtest.h>

#include <string>

#include "core/settings/ini_file.h"
#include "core/settings/profile.h"
#include "core/settings/settings.h"
#include "temp_dir.h"

using namespace zentrivo;
using namespace std::string_literals;

namespace {

constexpr std::size_t kMegabyte = std::size_t{1} << 20;

// Comment lines of exactly `size` bytes in all (at least 2), the last one
// ending in CR LF like the others.
std::string Filler(std::size_t size) {
    const std::string line = "; " + std::string(60, '-') + "\r\n";
    std::string out;
    while (size - out.size() >= 2 * line.size() + 2) {
        out += line;
    }
    return out + std::string(size - out.size() - 2, ';') + "\r\n";
}

}  // namespace

TEST(IniFileLimits, AValueEndsAtANulByte) {
    TempDir dir;
    dir.Write("opcije.ini",
              "[Parametri]\r\ncom_port=12\0"
              "7\r\n"
              "[Ostalo]\r\nfotos_dir=D:\\Slike\0junk\r\n"
              "fotos_copy_dir=\"E:\\Kopije\0\"\r\n"s);
    IniFile ini(dir.File("opcije.ini"));
    const TOpcije o = LoadOptions(ini, "C:");
    EXPECT_EQ(o.ComPort, 12);
    EXPECT_EQ(o.FotosDir, "D:\\Slike");
    EXPECT_EQ(o.FotosCopyDir, "E:\\Kopije");
    // The folders read can be written back at exit, as they could not while
    // they held the NUL byte.
    TPreferences p;
    p.FotosDir = o.FotosDir;
    p.FotosCopyDir = o.FotosCopyDir;
    EXPECT_NO_THROW(SavePreferences(ini, p));
    EXPECT_EQ(LoadOptions(ini, "C:").FotosDir, "D:\\Slike");
}

TEST(IniFileLimits, OnlyWholeLinesOfTheFirstMegabyteAreLookedAt) {
    TempDir dir;
    // "b=2" lies wholly beyond the first megabyte, "c=123456" across its end.
    std::string bytes = "[S]\r\na=1\r\n" + Filler(kMegabyte - 10 - 4);
    bytes += "c=123456\r\nb=2\r\n";
    dir.Write("big.ini", bytes);
    const IniFile ini(dir.File("big.ini"));
    EXPECT_EQ(ini.ReadInteger("S", "a", -1), 1);
    EXPECT_EQ(ini.ReadInteger("S", "c", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "b", -1), -1);
}

TEST(IniFileLimits, WritingIntoALargeFileKeepsAllOfIt) {
    TempDir dir;
    const std::string tail = "[T]\r\nfar=1\r\n";
    const std::string bytes = "[S]\r\na=1\r\n" + Filler(2 * kMegabyte) + tail;
    dir.Write("big.ini", bytes);
    IniFile ini(dir.File("big.ini"));
    ini.WriteInteger("S", "a", 7);
    std::string expected = bytes;
    expected.replace(expected.find("a=1"), 3, "a=7");
    EXPECT_EQ(dir.Read("big.ini"), expected);
}

TEST(IniFileLimits, APhotoLoadedAsAProfileGivesTheStartUpValues) {
    TempDir dir;
    // Bytes of a JPEG-like file: every value, CR and LF included, again and
    // again, with a profile-looking line far inside it.
    std::string photo;
    for (std::size_t i = 0; photo.size() < 3 * kMegabyte; ++i) {
        photo += static_cast<char>((i * 7919) % 256);
    }
    photo.insert(2 * kMegabyte, "\r\n[Rotiranje]\r\ntip_rotacije=1\r\n");
    dir.Write("IMG_0001.JPG", photo);
    TProfil startUp;
    startUp.ZeljeniBrFotografija = 24;
    const TProfil loaded = LoadProfile(IniFile(dir.File("IMG_0001.JPG")), startUp);
    EXPECT_EQ(loaded.TipRotacije, 0);
    EXPECT_EQ(loaded.ZeljeniBrFotografija, 24);
    EXPECT_EQ(loaded.MedjuPauza, 50);
}
