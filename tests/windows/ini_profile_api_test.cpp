// Our INI layer against the system's own profile functions, on the same
// files: what one writes the other must read the same, so that opcije.ini
// and profiles move between this program on Windows and elsewhere. Under
// Wine the system's side is Wine's imitation of Windows, which parts from
// Windows and from us in ways no caller of ours meets, left out here: Wine
// finds a key asked for as ";name" on a comment line, trims blanks off the
// section name asked for, and rewrites every line of a file it writes to
// (blanks, line ends), where Windows and our layer touch only the one line.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/settings/ini_file.h"
#include "temp_dir.h"

using zentrivo::IniFile;

namespace {

// What GetPrivateProfileStringA gives with the 2048-byte buffer the
// program reads with, or nothing when it falls back to its default.
std::optional<std::string> SystemRead(const std::string& file, const std::string& section,
                                      const std::string& key) {
    static const char kAbsent[] = "\x01(absent)";
    char buffer[2048] = {};
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, buffer,
                                                  sizeof buffer, file.c_str());
    const std::string value(buffer, length);
    if (value == kAbsent) {
        return std::nullopt;
    }
    return value;
}

bool SystemWrite(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

struct Query {
    std::string section;
    std::string key;
    std::optional<std::string> value;  // what both must read
};

// A file as people and Windows leave them: names in other cases, blanks
// around names and values, quotes, comments, a key twice, a section twice,
// lines the program does not know, and all three kinds of line end.
const std::string kHandWrittenFile =
    "; settings of Zentrivo\r\n"
    "[PARAMETRI]\r\n"
    "  Com_Port =  5  \r\n"
    "br_koraka=\"48\"\r\n"
    "odnos_prenosa='25'\r\n"
    ";auto_start=0\r\n"
    "odd=\"unbalanced\r\n"
    "inner=\"a\" b \"c\"\r\n"
    "padded=  \"  kept blanks  \"  \r\n"
    "doubled=''quoted''\r\n"
    "empty=\r\n"
    "no equals sign\r\n"
    "twice=first\r\n"
    "twice=second\r\n"
    "hex=0x0A\r\n"
    "[Ostalo]\r\n"
    "fotos_dir = C:\\Photos\\studio one \r\n"
    "Fotos_Copy_Dir\t=\tD:\\Copies\t\r\n"
    "[Parametri]\r\n"
    "com_port=99\r\n"
    "later=1\r\n"
    "[Foreign]\n"
    "unknown=kept\n"
    "[Old Mac]\r"
    "cr=only\r";

const std::vector<Query> kQueries = {
    {"parametri", "com_port", "5"},
    {"Parametri", "BR_KORAKA", "48"},
    {"Parametri", "odnos_prenosa", "25"},
    {"Parametri", "auto_start", std::nullopt},
    {"Parametri", "odd", "\"unbalanced"},
    {"Parametri", "inner", "a\" b \"c"},
    {"Parametri", "padded", "  kept blanks  "},
    {"Parametri", "doubled", "'quoted'"},
    {"Parametri", "empty", ""},
    {"Parametri", "no equals sign", std::nullopt},
    {"Parametri", "twice", "first"},
    {"Parametri", "hex", "0x0A"},
    {"Parametri", "later", std::nullopt},
    {"OSTALO", "fotos_dir", "C:\\Photos\\studio one"},
    {"Ostalo", "fotos_copy_dir", "D:\\Copies"},
    {"foreign", "unknown", "kept"},
    {"Old Mac", "cr", "only"},
    {"Missing", "com_port", std::nullopt},
};

}  // namespace

TEST(IniAgainstTheSystem, AHandWrittenFileReadsTheSameThroughBoth) {
    TempDir dir;
    dir.Write("opcije.ini", kHandWrittenFile);
    const IniFile ours(dir.File("opcije.ini"));
    for (const Query& q : kQueries) {
        SCOPED_TRACE("[" + q.section + "] " + q.key);
        EXPECT_EQ(ours.ReadValue(q.section, q.key), q.value);
        EXPECT_EQ(SystemRead(dir.File("opcije.ini"), q.section, q.key), q.value);
    }
    EXPECT_EQ(ours.ReadInteger("Parametri", "hex", 0), 10);
}

TEST(IniAgainstTheSystem, ALongValueIsCutAlikeAt2047Characters) {
    TempDir dir;
    const std::string value(3000, 'v');
    dir.Write("long.ini", "[S]\r\nk=" + value + "\r\n");
    const std::string expected(IniFile::kMaxValueLength, 'v');
    EXPECT_EQ(IniFile(dir.File("long.ini")).ReadValue("S", "k"), expected);
    EXPECT_EQ(SystemRead(dir.File("long.ini"), "S", "k"), expected);
}

TEST(IniAgainstTheSystem, WhatOurLayerWritesTheSystemReads) {
    TempDir dir;
    dir.Write("opcije.ini", kHandWrittenFile);
    const std::string file = dir.File("opcije.ini");
    IniFile ours(file);
    ours.WriteInteger("Parametri", "COM_PORT", 7);
    ours.WriteInteger("parametri", "br_koraka", -200);
    ours.WriteBool("Ostalo", "auto_start", false);
    ours.WriteString("Ostalo", "fotos_dir", "C:\\My Photos\\day 1");
    ours.WriteString("Ostalo", "quoted", "\" two blanks  \"");
    ours.WriteString("New Section", "fotos_auto_copy", "1");

    EXPECT_EQ(SystemRead(file, "Parametri", "com_port"), "7");
    EXPECT_EQ(GetPrivateProfileIntA("Parametri", "com_port", 3, file.c_str()), 7u);
    EXPECT_EQ(SystemRead(file, "Parametri", "br_koraka"), "-200");
    EXPECT_EQ(static_cast<INT>(GetPrivateProfileIntA("Parametri", "br_koraka", 48, file.c_str())),
              -200);
    EXPECT_EQ(SystemRead(file, "Ostalo", "auto_start"), "0");
    EXPECT_EQ(SystemRead(file, "Ostalo", "fotos_dir"), "C:\\My Photos\\day 1");
    EXPECT_EQ(SystemRead(file, "Ostalo", "quoted"), " two blanks  ");
    EXPECT_EQ(SystemRead(file, "new section", "fotos_auto_copy"), "1");

    // Every line the program did not write reads as it did before.
    for (const Query& q : kQueries) {
        if (q.key == "com_port" || q.key == "BR_KORAKA" || q.key == "fotos_dir") {
            continue;
        }
        SCOPED_TRACE("[" + q.section + "] " + q.key);
        EXPECT_EQ(SystemRead(file, q.section, q.key), q.value);
    }
}

TEST(IniAgainstTheSystem, WhatTheSystemWritesOurLayerReads) {
    TempDir dir;
    dir.Write("opcije.ini", kHandWrittenFile);
    const std::string file = dir.File("opcije.ini");
    ASSERT_TRUE(SystemWrite(file, "parametri", "COM_PORT", "12"));
    ASSERT_TRUE(SystemWrite(file, "Parametri", "odnos_prenosa", "0x1F"));
    ASSERT_TRUE(SystemWrite(file, "Ostalo", "auto_pauza", "2"));
    ASSERT_TRUE(SystemWrite(file, "Ostalo", "fotos_dir", "C:\\My Photos\\day 1"));
    ASSERT_TRUE(SystemWrite(file, "New Section", "quoted", "'x = y'"));

    const IniFile ours(file);
    EXPECT_EQ(ours.ReadInteger("Parametri", "com_port", 3), 12);
    EXPECT_EQ(ours.ReadInteger("Parametri", "odnos_prenosa", 25), 31);
    EXPECT_TRUE(ours.ReadBool("Ostalo", "auto_pauza", false));
    EXPECT_EQ(ours.ReadString("Ostalo", "fotos_dir", "C:"), "C:\\My Photos\\day 1");
    EXPECT_EQ(ours.ReadString("new section", "quoted", ""), "x = y");

    for (const Query& q : kQueries) {
        if (q.key == "com_port" || q.key == "odnos_prenosa" || q.key == "fotos_dir") {
            continue;
        }
        SCOPED_TRACE("[" + q.section + "] " + q.key);
        EXPECT_EQ(ours.ReadValue(q.section, q.key), q.value);
    }
}

TEST(IniAgainstTheSystem, AFileTheSystemStartsReadsBackThroughOurLayer) {
    TempDir dir;
    const std::string file = dir.File("profil.zv");
    ASSERT_TRUE(SystemWrite(file, "Rotiranje", "broj_slika", "24"));
    ASSERT_TRUE(SystemWrite(file, "Fotografisanje", "fokus", "2000"));
    EXPECT_EQ(IniFile(file).ReadInteger("rotiranje", "BROJ_SLIKA", 0), 24);
    EXPECT_EQ(IniFile(file).ReadInteger("Fotografisanje", "fokus", 0), 2000);

    IniFile(file).WriteInteger("Rotiranje", "broj_slika", 36);
    EXPECT_EQ(SystemRead(file, "Rotiranje", "broj_slika"), "36");
    EXPECT_EQ(SystemRead(file, "Fotografisanje", "fokus"), "2000");
}

TEST(IniAgainstTheSystem, AUtf16FileReadsAndIsWrittenAlike) {
    TempDir dir;
    const std::string file = dir.File("unicode.ini");
    // What Notepad saves as "Unicode": UTF-16 with its byte-order mark.
    const std::string text = "[Ostalo]\r\nfotos_dir=C:\\Slike\r\n";
    std::string bytes = "\xFF\xFE";
    for (const char c : text) {
        bytes += std::string{c, '\0'};
    }
    dir.Write("unicode.ini", bytes);
    IniFile ours(file);
    EXPECT_EQ(SystemRead(file, "Ostalo", "fotos_dir"), "C:\\Slike");
    EXPECT_EQ(ours.ReadValue("Ostalo", "fotos_dir"), "C:\\Slike");

    ours.WriteString("Ostalo", "auto_start", "0");
    ASSERT_TRUE(SystemWrite(file, "Parametri", "com_port", "7"));
    EXPECT_EQ(SystemRead(file, "Ostalo", "auto_start"), "0");
    EXPECT_EQ(ours.ReadInteger("Parametri", "com_port", 3), 7);
    EXPECT_EQ(ours.ReadValue("Ostalo", "fotos_dir"), "C:\\Slike");
    EXPECT_EQ(dir.Read("unicode.ini").substr(0, 2), "\xFF\xFE");
}
