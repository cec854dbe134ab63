#include "camera_choice.h"
#include "main_window.h"
#include "parametri.h"
#include "serial/port_choice.h"
#include "ui_parametri.h"
#include "whole_number.h"

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
    Options.FastPace = dialog.ui->ckFastPace->isChecked();
    bool cameraChanged = false;
    if (const CameraChoice* camera = dialog.Camera()) {
        const std::string port = camera->Port().toStdString();
        const std::string model = camera->Model().toStdString();
        cameraChanged = port != Options.CameraPort || model != Options.CameraModel;
        Options.CameraPort = port;
        Options.CameraModel = model;
        Options.CameraTrigger = camera->Trigger();
    }
    SaveMachineSettings(*SettingsFile, Options);
    if (cameraChanged) {
        shoot_->UseCamera(true);
    }
}
