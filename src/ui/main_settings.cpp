#include "camera_choice.h"
#include "core/serial/port_choice.h"
#include "core/whole_number.h"
#include "main_window.h"
#include "parametri.h"
#include "ui_parametri.h"

using namespace zentrivo;

void TfrmMain::Parametri1Click() {
    TfrmParametri& dialog = *frmParametri_;
    dialog.ui->udComPort->setPosition(Options.ComPort);
    dialog.ui->txtBrojKoraka->setText(QString::number(Options.BrojKoraka));
    dialog.ui->txtOdnosPrenosa->setText(QString::number(Options.OdnosPrenosa));
    dialog.ShowPorts(QString::fromStdString(Options.ComDevice));
    dialog.ui->ckFastPace->setChecked(Options.FastPace);
    if (CameraChoice* camera = dialog.Camera()) {
        camera->Show(QString::fromStdString(Options.CameraPort),
                     QString::fromStdString(Options.CameraModel), Options.CameraTrigger);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    Options.ComPort = dialog.ui->udComPort->position();
    Options.BrojKoraka = WholeNumberOrThrow(dialog.ui->txtBrojKoraka->text().toStdString());
    Options.OdnosPrenosa = WholeNumberOrThrow(dialog.ui->txtOdnosPrenosa->text().toStdString());
    if (!kPortListSetsComNumber) {
        Options.ComDevice = dialog.ChosenPort().toStdString();
    }
    TOpcije chosen = Options;
    chosen.FastPace = dialog.ui->ckFastPace->isChecked();
    if (const CameraChoice* camera = dialog.Camera()) {
        chosen.CameraPort = camera->Port().toStdString();
        chosen.CameraModel = camera->Model().toStdString();
        chosen.CameraTrigger = camera->Trigger();
    }
    const bool cameraChanged =
        chosen.CameraPort != Options.CameraPort || chosen.CameraModel != Options.CameraModel;
    const bool runChanged = cameraChanged || chosen.CameraTrigger != Options.CameraTrigger ||
                            chosen.FastPace != Options.FastPace;
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
        Options = chosen;
    }
    SaveMachineSettings(*SettingsFile, Options);
    if (cameraChanged && !refused) {
        shoot_->UseCamera(true);
    }
}
