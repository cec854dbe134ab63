#pragma once

#include <cstdint>
#include <string>

#include "core/settings/ini_file.h"

namespace zentrivo {

// The settings as the program holds them while it runs.
struct TOpcije {
    std::int32_t ComPort = 3;
    std::int32_t BrojKoraka = 48;
    bool AutoStart = true;
    std::int32_t OdnosPrenosa = 25;
    bool AutoPauza = false;
    std::string FotosDir;
    std::string FotosCopyDir;
    bool FotosAutoCopy = false;
    bool FotosAutoNameDir = false;
    // The device chosen from the port list ("com_device"); empty when the
    // COM number decides (see port_choice.h).
    std::string ComDevice;
    bool FotosCheck = false;
    // The next command as soon as the controller's reply is in, without
    // the fixed pauses; "Parametri", "fast_pace".
    bool FastPace = false;
    // A camera the program downloads from itself: its libgphoto2 port
    // ("usb:001,007", "ptpip:192.168.1.20"; empty: photos come from the
    // camera folder only), its model, and whether the shutter is fired over
    // that connection; "Ostalo", "camera_port", "camera_model",
    // "camera_trigger".
    std::string CameraPort;
    std::string CameraModel;
    bool CameraTrigger = false;
};

// The six preferences that live on the main window and reach the file only
// on a confirmed exit.
struct TPreferences {
    bool AutoStart = true;
    bool AutoPauza = false;
    std::string FotosDir;
    std::string FotosCopyDir;
    bool FotosAutoCopy = false;
    bool FotosAutoNameDir = false;
    // "Check that each photo arrives": written after the six, and only once
    // it has been turned on, so that a file of a user who never did stays
    // as it was.
    bool FotosCheck = false;
};

namespace keys {
inline constexpr const char* kParametri = "Parametri";
inline constexpr const char* kOstalo = "Ostalo";
}  // namespace keys

// Reads every setting; a missing file, key or unreadable value gives the
// default, and both folders default to `defaultFolder`.
TOpcije LoadOptions(const IniFile& file, const std::string& defaultFolder);

// Both writes first create the settings file's folder when it is missing,
// as a user's configuration folder is on a first run.

// Writes "com_port", "br_koraka" and "odnos_prenosa", in that order, then
// "com_device", which goes from the file when no device is chosen, then
// "fast_pace" when it is on or the file has it already: a file whose user
// never chose the fast pace stays as it always was. The camera's three keys
// go into "Ostalo" the same way, once a camera has been chosen.
void SaveMachineSettings(IniFile& file, const TOpcije& options);

// Writes the six preferences into "Ostalo", in their fixed order.
void SavePreferences(IniFile& file, const TPreferences& preferences);

}  // namespace zentrivo
