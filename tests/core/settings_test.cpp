#include "core/settings/settings.h"

#include "core/settings/camera_port.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"

using namespace zentrivo;

TEST(Settings, MissingFileGivesEveryDefault) {
    TempDir dir;
    const IniFile ini(dir.File("opcije.ini"));
    const TOpcije o = LoadOptions(ini, "/home/x");
    EXPECT_EQ(o.ComPort, 3);
    EXPECT_EQ(o.BrojKoraka, 48);
    EXPECT_EQ(o.OdnosPrenosa, 25);
    EXPECT_TRUE(o.AutoStart);
    EXPECT_FALSE(o.AutoPauza);
    EXPECT_EQ(o.FotosDir, "/home/x");
    EXPECT_EQ(o.FotosCopyDir, "/home/x");
    EXPECT_FALSE(o.FotosAutoCopy);
    EXPECT_FALSE(o.FotosAutoNameDir);
    EXPECT_FALSE(std::filesystem::exists(dir.File("opcije.ini")));
}

TEST(Settings, OddValuesReadAsTheRulesSay) {
    TempDir dir;
    dir.Write("opcije.ini",
              "[Parametri]\r\ncom_port=0x0A\r\nbr_koraka=0\r\n"
              "[Ostalo]\r\nauto_start=yes\r\nauto_pauza=2\r\nfotos_dir=\r\n");
    const TOpcije o = LoadOptions(IniFile(dir.File("opcije.ini")), "/h");
    EXPECT_EQ(o.ComPort, 10);
    EXPECT_EQ(o.BrojKoraka, 0);
    EXPECT_TRUE(o.AutoStart);
    EXPECT_TRUE(o.AutoPauza);
    EXPECT_EQ(o.FotosDir, "");
}

TEST(Settings, EachWritingMomentWritesOnlyItsSectionAndKeepsForeignLines) {
    TempDir dir;
    dir.Write("opcije.ini", "[Ostalo]\r\nother_tool=42\r\n");
    IniFile ini(dir.File("opcije.ini"));
    TOpcije o;
    o.ComPort = 4;
    SaveMachineSettings(ini, o);
    TPreferences p;
    p.FotosDir = "/cam";
    p.FotosCopyDir = "/dest";
    p.AutoStart = false;
    p.FotosAutoNameDir = true;
    SavePreferences(ini, p);
    EXPECT_EQ(dir.Read("opcije.ini"),
              "[Ostalo]\r\nother_tool=42\r\nauto_start=0\r\nauto_pauza=0\r\nfotos_dir=/cam\r\n"
              "fotos_copy_dir=/dest\r\nfotos_auto_copy=0\r\nfotos_auto_name_dir=1\r\n"
              "[Parametri]\r\ncom_port=4\r\nbr_koraka=48\r\nodnos_prenosa=25\r\n");
    const TOpcije back = LoadOptions(ini, "/h");
    EXPECT_EQ(back.ComPort, 4);
    EXPECT_EQ(back.FotosCopyDir, "/dest");
    EXPECT_FALSE(back.AutoStart);
    EXPECT_TRUE(back.FotosAutoNameDir);
}

TEST(Settings, ABareCameraAddressIsANetworkCameraAndEveryOtherPortStaysAsTyped) {
    EXPECT_EQ(CameraPortFor("192.168.1.20"), "ptpip:192.168.1.20");
    EXPECT_EQ(CameraPortFor("camera.local:15740"), "ptpip:camera.local:15740");
    for (const char* kept :
         {"", "ptpip:192.168.1.20", "usb:001,007", "usb:", "disk:/media/card", "Canon EOS"}) {
        EXPECT_EQ(CameraPortFor(kept), kept);
    }
}
