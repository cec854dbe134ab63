#include "core/settings/camera_port.h"
#include "main_window.h"
#include "parametri.h"

using namespace zentrivo;

void TfrmMain::Parametri1Click() {
    std::optional<TOpcije> chosen = frmParametri_->Choose(Options);
    if (!chosen) {
        return;
    }
    // What a user types for a camera on Wi-Fi is its address alone.
    const std::string port = CameraPortFor(chosen->CameraPort);
    if (port != chosen->CameraPort) {
        dialogs_->Notify(
            this, "Parameters",
            QString("The camera port \"%1\" is taken as \"%2\": a camera on the "
                    "network.")
                .arg(QString::fromStdString(chosen->CameraPort), QString::fromStdString(port)),
            Dialogs::Icon::Information);
        chosen->CameraPort = port;
    }
    const bool cameraChanged =
        chosen->CameraPort != Options.CameraPort || chosen->CameraModel != Options.CameraModel;
    const bool runChanged = cameraChanged || chosen->CameraTrigger != Options.CameraTrigger ||
                            chosen->FastPace != Options.FastPace;
    // The port and the turntable's sizes count from the next Start: they
    // are taken whatever the run does.
    Options.ComPort = chosen->ComPort;
    Options.BrojKoraka = chosen->BrojKoraka;
    Options.OdnosPrenosa = chosen->OdnosPrenosa;
    Options.ComDevice = chosen->ComDevice;
    // The run reads the camera and the pace at every command: a change under
    // it would switch cameras mid-shoot, or fire the shutter one way for the
    // first photos and another for the rest.
    const bool refused = runChanged && shoot_->Running();
    if (refused) {
        dialogs_->Notify(this, "Parameters",
                         "A run is going on. The camera and the pace stay as they are: stop the "
                         "run first, then change them.",
                         Dialogs::Icon::Warning);
    } else {
        Options.FastPace = chosen->FastPace;
        Options.CameraPort = chosen->CameraPort;
        Options.CameraModel = chosen->CameraModel;
        Options.CameraTrigger = chosen->CameraTrigger;
    }
    SaveMachineSettings(*SettingsFile, Options);
    if (cameraChanged && !refused) {
        shoot_->UseCamera(true);
    }
}
