#include "core/process/process.h"
#include "main_window.h"
#include "proces_edit.h"
#include "shoot_display.h"
#include "ui_main_window.h"

using namespace zentrivo;

ShootParameters TfrmMain::ReadShootParameters() const {
    ShootParameters p;
    p.rotationTypeIndex = ui->cbRotiranjeTip->currentIndex();
    p.photosText = ui->txtBrojSlika->text().toStdString();
    p.periodText = ui->txtPeriodRotacije->text().toStdString();
    p.focusText = ui->txtTrajanjeFokusa->text().toStdString();
    p.shutterText = ui->txtTrajanjeBlende->text().toStdString();
    p.delayText = ui->txtMedjuPauza->text().toStdString();
    p.dirLeftDown = ui->btnDirLeft->isChecked();
    return p;
}

std::int32_t TfrmMain::MaxPhotos() const {
    return zentrivo::MaxPhotos(Options.BrojKoraka, Options.OdnosPrenosa,
                               IsHalfStepping(ui->cbRotiranjeTip->currentIndex()));
}

bool TfrmMain::ValidateInputs() {
    const auto problem = zentrivo::ValidateInputs(ReadShootParameters(), MaxPhotos());
    if (!problem) {
        return true;
    }
    dialogs_->Notify(this, QString::fromStdString(problem->caption),
                     QString::fromStdString(problem->message), Dialogs::Icon::Error);
    ui->pcMain->setCurrentIndex(problem->page);
    return false;
}

void TfrmMain::btnKreirajProcesClick() {
    // The end of the last run may still be collecting and copying its
    // photos; a new process (and its auto-start) waits for the user to try
    // again.
    if (shoot_->BusyWithPhotos()) {
        dialogs_->Notify(this, "Error", CameraPhotos::BusyText("A new process can not be made"),
                         Dialogs::Icon::Error);
        return;
    }
    if (!ValidateInputs()) {
        return;
    }
    shoot_->ForgetInterruptedRun();

    const GeneratedProcess made = GenerateProcess(ReadShootParameters(), MaxPhotos());
    shoot_->Commands().SetCommands(made.commands);
    shoot_->ProcessMade(made.StepsPerPhoto, made.DirectionLetter, made.PeriodMs);
    display_->ProcessMade(made.photoCount);
    if (ui->ckAutoStart->isChecked()) {
        btnStartClick();
    }
}

void TfrmMain::TakeCleanPlate() {
    // Before a process is made, the plate is taken as the window's
    // parameters would make it, without making one.
    std::vector<std::string> commands = shoot_->Commands().Commands();
    if (commands.empty()) {
        if (!ValidateInputs()) {
            return;
        }
        commands = GenerateProcess(ReadShootParameters(), MaxPhotos()).commands;
    }
    shoot_->TakeCleanPlate(commands);
}

void TfrmMain::txtBrojSlikaExit() {
    ui->txtBrojSlika->setText(QString::fromStdString(
        ApplyDivisorRule(ui->txtBrojSlika->text().toStdString(), MaxPhotos())));
}

void TfrmMain::cbRotiranjeTipChange() {
    txtBrojSlikaExit();
}

void TfrmMain::btnEditujProcesClick() {
    frmProcesEdit_->exec();
}
