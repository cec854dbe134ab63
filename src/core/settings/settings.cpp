#include "core/settings/settings.h"

#include "core/serial/port_choice.h"
#include "core/settings/settings_location.h"

namespace zentrivo {

TOpcije LoadOptions(const IniFile& file, const std::string& defaultFolder) {
    TOpcije o;
    o.ComPort = file.ReadInteger(keys::kParametri, "com_port", 3);
    o.BrojKoraka = file.ReadInteger(keys::kParametri, "br_koraka", 48);
    o.OdnosPrenosa = file.ReadInteger(keys::kParametri, "odnos_prenosa", 25);
    o.AutoStart = file.ReadBool(keys::kOstalo, "auto_start", true);
    o.AutoPauza = file.ReadBool(keys::kOstalo, "auto_pauza", false);
    o.FotosDir = file.ReadString(keys::kOstalo, "fotos_dir", defaultFolder);
    o.FotosCopyDir = file.ReadString(keys::kOstalo, "fotos_copy_dir", defaultFolder);
    o.FotosAutoCopy = file.ReadBool(keys::kOstalo, "fotos_auto_copy", false);
    o.FotosAutoNameDir = file.ReadBool(keys::kOstalo, "fotos_auto_name_dir", false);
    o.ComDevice = file.ReadString(keys::kParametri, kComDeviceKey, "");
    o.FotosCheck = file.ReadBool(keys::kOstalo, "fotos_check", false);
    o.FastPace = file.ReadBool(keys::kParametri, "fast_pace", false);
    o.CameraPort = file.ReadString(keys::kOstalo, "camera_port", "");
    o.CameraModel = file.ReadString(keys::kOstalo, "camera_model", "");
    o.CameraTrigger = file.ReadBool(keys::kOstalo, "camera_trigger", false);
    return o;
}

void SaveMachineSettings(IniFile& file, const TOpcije& options) {
    MakeFolderFor(file.Path());
    file.WriteInteger(keys::kParametri, "com_port", options.ComPort);
    file.WriteInteger(keys::kParametri, "br_koraka", options.BrojKoraka);
    file.WriteInteger(keys::kParametri, "odnos_prenosa", options.OdnosPrenosa);
    if (options.ComDevice.empty()) {
        file.DeleteKey(keys::kParametri, kComDeviceKey);
    } else {
        file.WriteString(keys::kParametri, kComDeviceKey, options.ComDevice);
    }
    if (options.FastPace || file.ReadValue(keys::kParametri, "fast_pace")) {
        file.WriteBool(keys::kParametri, "fast_pace", options.FastPace);
    }
    if (!options.CameraPort.empty() || file.ReadValue(keys::kOstalo, "camera_port")) {
        file.WriteString(keys::kOstalo, "camera_port", options.CameraPort);
        file.WriteString(keys::kOstalo, "camera_model", options.CameraModel);
        file.WriteBool(keys::kOstalo, "camera_trigger", options.CameraTrigger);
    }
}

void SavePreferences(IniFile& file, const TPreferences& p) {
    MakeFolderFor(file.Path());
    file.WriteBool(keys::kOstalo, "auto_start", p.AutoStart);
    file.WriteBool(keys::kOstalo, "auto_pauza", p.AutoPauza);
    file.WriteString(keys::kOstalo, "fotos_dir", p.FotosDir);
    file.WriteString(keys::kOstalo, "fotos_copy_dir", p.FotosCopyDir);
    file.WriteBool(keys::kOstalo, "fotos_auto_copy", p.FotosAutoCopy);
    file.WriteBool(keys::kOstalo, "fotos_auto_name_dir", p.FotosAutoNameDir);
    if (p.FotosCheck || file.ReadValue(keys::kOstalo, "fotos_check")) {
        file.WriteBool(keys::kOstalo, "fotos_check", p.FotosCheck);
    }
}

}  // namespace zentrivo
