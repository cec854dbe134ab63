#include "core/settings/profile.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

using namespace zentrivo;

TEST(Profile, SavedAfterStartUpIsTheNineLinesInOrder) {
    TempDir dir;
    IniFile file(dir.File("novi_profil.zv"));
    SaveProfile(file, TProfil{});
    EXPECT_EQ(dir.Read("novi_profil.zv"),
              "[Rotiranje]\r\ntip_rotacije=0\r\nzeljeni_br_fotografija=30\r\nperiod_rotacije=5\r\n"
              "smjer_rotacije=0\r\n[Fotografisanje]\r\ntrajanje_fokusa=2000\r\n"
              "trajanje_blende=50\r\nmedju_pauza=50\r\n");
}

TEST(Profile, SavingKeepsForeignKeysAndReplacesOnlyTheSeven) {
    TempDir dir;
    dir.Write("p.zv", "[Rotiranje]\r\nmine=1\r\ntip_rotacije=1\r\n; note\r\n[Other]\r\nx=2\r\n");
    IniFile file(dir.File("p.zv"));
    TProfil p;
    p.ZeljeniBrFotografija = 40;
    SaveProfile(file, p);
    EXPECT_EQ(
        dir.Read("p.zv"),
        "[Rotiranje]\r\nmine=1\r\ntip_rotacije=0\r\nzeljeni_br_fotografija=40\r\n"
        "period_rotacije=5\r\nsmjer_rotacije=0\r\n; note\r\n[Other]\r\nx=2\r\n"
        "[Fotografisanje]\r\ntrajanje_fokusa=2000\r\ntrajanje_blende=50\r\nmedju_pauza=50\r\n");
}

TEST(Profile, MissingAndUnreadableKeysComeFromTheDefaults) {
    TempDir dir;
    dir.Write(
        "p.zv",
        "[FOTOGRAFISANJE]\r\nTrajanje_Fokusa = 0x10\r\ntrajanje_blende=abc\r\nmedju_pauza=0\r\n");
    TProfil defaults;
    defaults.ZeljeniBrFotografija = 24;
    const TProfil p = LoadProfile(IniFile(dir.File("p.zv")), defaults);
    EXPECT_EQ(p.TipRotacije, 0);
    EXPECT_EQ(p.ZeljeniBrFotografija, 24);
    EXPECT_EQ(p.PeriodRotacije, 5);
    EXPECT_EQ(p.TrajanjeFokusa, 16);
    EXPECT_EQ(p.TrajanjeBlende, 50);
    EXPECT_EQ(p.MedjuPauza, 0);
    // A photo is no profile: every value is a default.
    dir.Write("photo.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10));
    const TProfil none = LoadProfile(IniFile(dir.File("photo.jpg")), defaults);
    EXPECT_EQ(none.ZeljeniBrFotografija, 24);
    EXPECT_EQ(none.MedjuPauza, 50);
}

TEST(Profile, FileNamePartDropsTheFolder) {
    EXPECT_EQ(FileNamePart("/home/a/studio.zv"), "studio.zv");
    EXPECT_EQ(FileNamePart("studio"), "studio");
}
