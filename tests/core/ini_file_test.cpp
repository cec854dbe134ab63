#include "core/settings/ini_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>

#include "temp_dir.h"

using zentrivo::IniFile;
using zentrivo::IniWriteError;

namespace {

// A settings file as a Windows machine leaves it: CR LF, names in another
// case, blanks around the equals sign, quotes, comments, and lines the
// program does not know.
const std::string kWindowsFile =
    "; written by hand\r\n"
    "[Other]\r\n"
    "com_port=9\r\n"
    "\r\n"
    "[PARAMETRI]\r\n"
    "  COM_Port  =  5  \r\n"
    "br_koraka=\"200\"\r\n"
    ";odnos_prenosa=7\r\n"
    "odnos_prenosa\r\n"
    "foreign_key=keep me\r\n"
    "com_port=6\r\n"
    "[Ostalo]\r\n"
    "fotos_dir='D:\\Slike'\r\n"
    "auto_start=\r\n"
    "[parametri]\r\n"
    "odnos_prenosa=11\r\n";

}  // namespace

TEST(IniFile, ReadsAFileAsWindowsWritesIt) {
    TempDir dir;
    dir.Write("a.ini", kWindowsFile);
    const IniFile ini(dir.File("a.ini"));
    EXPECT_EQ(ini.ReadInteger("Parametri", "com_port", 3), 5);      // first key wins
    EXPECT_EQ(ini.ReadInteger("parametri", "BR_KORAKA", 48), 200);  // quotes removed
    EXPECT_EQ(ini.ReadInteger("Parametri", "odnos_prenosa", 25),
              25);  // comment, no '=', first section
    EXPECT_EQ(ini.ReadString("Ostalo", "fotos_dir", "C:"), "D:\\Slike");
    EXPECT_EQ(ini.ReadValue("Ostalo", "auto_start"), std::string());  // "key=" is empty text
    EXPECT_TRUE(ini.ReadBool("Ostalo", "auto_start", true));          // empty gives the default
    EXPECT_FALSE(ini.ReadValue("Ostalo", "missing"));
    EXPECT_FALSE(ini.ReadValue("Missing", "com_port"));
}

TEST(IniFile, ReadsEveryKindOfLineEnd) {
    TempDir dir;
    for (const std::string end : {"\r\n", "\n", "\r"}) {
        dir.Write("e.ini", "[S]" + end + "a=1" + end + "b=2");
        const IniFile ini(dir.File("e.ini"));
        EXPECT_EQ(ini.ReadInteger("S", "a", 0), 1);
        EXPECT_EQ(ini.ReadInteger("S", "b", 0), 2);
    }
}

TEST(IniFile, IntegersBooleansAndLongTexts) {
    TempDir dir;
    dir.Write("v.ini",
              "[S]\r\nhex=0x0A\r\nshort=0x\r\nbad=12abc\r\nyes=yes\r\ntwo=2\r\nzero=0\r\nlong=" +
                  std::string(3000, 'x') + "\r\n");
    const IniFile ini(dir.File("v.ini"));
    EXPECT_EQ(ini.ReadInteger("S", "hex", 3), 10);
    EXPECT_EQ(ini.ReadInteger("S", "short", 3), 3);
    EXPECT_EQ(ini.ReadInteger("S", "bad", 3), 3);
    EXPECT_TRUE(ini.ReadBool("S", "yes", true));
    EXPECT_FALSE(ini.ReadBool("S", "yes", false));
    EXPECT_TRUE(ini.ReadBool("S", "two", false));
    EXPECT_FALSE(ini.ReadBool("S", "zero", true));
    EXPECT_EQ(ini.ReadString("S", "long", "").size(), IniFile::kMaxValueLength);
}

TEST(IniFile, ReadingAMissingFileGivesDefaultsAndCreatesNothing) {
    TempDir dir;
    const IniFile ini(dir.File("none.ini"));
    EXPECT_EQ(ini.ReadInteger("Parametri", "com_port", 3), 3);
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.ini")));
}

TEST(IniFile, WritingReplacesOnlyThatKeysLine) {
    TempDir dir;
    dir.Write("a.ini", kWindowsFile);
    IniFile ini(dir.File("a.ini"));
    ini.WriteInteger("parametri", "com_port", 7);
    std::string expected = kWindowsFile;
    expected.replace(expected.find("  COM_Port  =  5  "), 18, "com_port=7");
    EXPECT_EQ(dir.Read("a.ini"), expected);
}

TEST(IniFile, MissingKeyGoesAfterTheLastKeyOfItsSection) {
    TempDir dir;
    dir.Write("a.ini", "[A]\r\nx=1\r\n; note\r\n\r\n[B]\r\ny=2");
    IniFile ini(dir.File("a.ini"));
    ini.WriteString("A", "z", "3");
    EXPECT_EQ(dir.Read("a.ini"), "[A]\r\nx=1\r\nz=3\r\n; note\r\n\r\n[B]\r\ny=2");
    ini.WriteString("B", "w", "4");
    EXPECT_EQ(dir.Read("a.ini"), "[A]\r\nx=1\r\nz=3\r\n; note\r\n\r\n[B]\r\ny=2\r\nw=4\r\n");
    ini.WriteString("C", "v", "5");
    EXPECT_EQ(dir.Read("a.ini"),
              "[A]\r\nx=1\r\nz=3\r\n; note\r\n\r\n[B]\r\ny=2\r\nw=4\r\n[C]\r\nv=5\r\n");
}

TEST(IniFile, FirstWriteCreatesTheFileWithCrLf) {
    TempDir dir;
    IniFile ini(dir.File("new.ini"));
    ini.WriteString("Rotiranje", "tip_rotacije", "0");
    ini.WriteString("Rotiranje", "zeljeni_br_fotografija", "30");
    ini.WriteString("Fotografisanje", "trajanje_fokusa", "2000");
    EXPECT_EQ(dir.Read("new.ini"),
              "[Rotiranje]\r\ntip_rotacije=0\r\nzeljeni_br_fotografija=30\r\n"
              "[Fotografisanje]\r\ntrajanje_fokusa=2000\r\n");
}

TEST(IniFile, ValuesAreBytesPassedThrough) {
    TempDir dir;
    IniFile ini(dir.File("b.ini"));
    const std::string latin1 = "C:\\Slike\\\xe8\x9a\xf0";  // 8-bit text, not UTF-8
    ini.WriteString("S", "dir", latin1);
    EXPECT_EQ(ini.ReadString("S", "dir", ""), latin1);
}

TEST(IniFile, RefusesLineBreaksThatWouldForgeKeys) {
    TempDir dir;
    dir.Write("c.ini", "[S]\r\na=1\r\n");
    IniFile ini(dir.File("c.ini"));
    EXPECT_THROW(ini.WriteString("S", "a", "2\r\ncom_port=9"), IniWriteError);
    EXPECT_THROW(ini.WriteString("S", "a", "2\nb=3"), IniWriteError);
    EXPECT_THROW(ini.WriteString("S]\r\n[T", "a", "2"), IniWriteError);
    EXPECT_THROW(ini.WriteString("S", "a=b", "2"), IniWriteError);
    EXPECT_EQ(dir.Read("c.ini"), "[S]\r\na=1\r\n");
}

TEST(IniFile, WriteIsAtomicAndLeavesNoTemporaryFiles) {
    TempDir dir;
    dir.Write("d.ini", "[S]\r\na=1\r\n");
#ifndef _WIN32
    chmod(dir.File("d.ini").c_str(), 0640);
#endif
    IniFile ini(dir.File("d.ini"));
    for (int i = 0; i < 20; ++i) {
        ini.WriteInteger("S", "a", i);
    }
    EXPECT_EQ(ini.ReadInteger("S", "a", -1), 19);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(stat(dir.File("d.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif
}
