// The menu's work on shoots beyond making and playing one, and the status
// bar's clock.
#include <QAction>
#include <QDir>
#include <QMenu>

#include "core/photos/newest_photo_folder.h"
#include "main_status_bar.h"
#include "main_window.h"
#include "shoot_display.h"
#include "spin_export_dialog.h"
#include "ui_main_window.h"

void TfrmMain::AddMenuActions() {
    auto* exportSpin = new QAction(QIcon(":/icons/export_spin.svg"), "Export 360° View...", this);
    exportSpin->setObjectName("ExportSpinView");
    ui->Program1->insertAction(ui->Izlaz1, exportSpin);
    ui->Program1->insertSeparator(ui->Izlaz1);
    connect(exportSpin, &QAction::triggered, this, Guarded(&TfrmMain::ExportSpinView));

    resumeAction_ = new QAction("Resume Interrupted Run...", this);
    resumeAction_->setObjectName("ResumeInterruptedRun");
    // Beside the other work on a shoot, before "Export 360° View...".
    ui->Program1->insertAction(exportSpin, resumeAction_);
    connect(resumeAction_, &QAction::triggered, this, Guarded(&TfrmMain::ResumeInterruptedRun));

    // The clean plate is for the export's finishing, where it is built.
    if (zentrivo::FinishingBuilt()) {
        auto* plate = new QAction("Take a Clean Plate...", this);
        plate->setObjectName("TakeCleanPlate");
        ui->Program1->insertAction(exportSpin, plate);
        connect(plate, &QAction::triggered, this, Guarded(&TfrmMain::TakeCleanPlate));
    }

    auto* logs = new QAction("Open Run Logs", this);
    logs->setObjectName("OpenRunLogs");
    ui->Pomo1->insertAction(ui->Oprogramu1, logs);
    connect(logs, &QAction::triggered, this, Guarded(&TfrmMain::OpenRunLogs));
}

void TfrmMain::ExportSpinView() {
    // An export writes beside the photos, into the folders a run is still
    // filling, and takes every core from the run's timing.
    if (shoot_->Running()) {
        dialogs_->Notify(this, "Export 360° View",
                         "A run is going on. Stop the run first, then export the 360° view.",
                         Dialogs::Icon::Warning);
        return;
    }
    // The photos of the last copy are what a user exports next, as a rule;
    // after a restart, the copy made last.
    QString source = shoot_->LastCopyFolder();
    if (source.isEmpty()) {
        source = QString::fromStdString(zentrivo::NewestPhotoFolder(Options.FotosCopyDir));
    }
    if (source.isEmpty()) {
        source = QString::fromStdString(Options.FotosCopyDir);
    }
    SpinExportDialog dialog(*dialogs_, source, this);
    dialog.OfferTablePlate(shoot_->CleanPlateFile());
    dialog.exec();
}

void TfrmMain::OpenRunLogs() {
    const QString folder = QString::fromStdString(ShootLog::Folder());
    QDir().mkpath(folder);
    if (!dialogs_->ShellOpen(folder)) {
        // No program opens folders here: the user finds it by its path.
        dialogs_->Notify(this, "Run Logs",
                         "The run logs are in the folder\r\n" + QDir::toNativeSeparators(folder),
                         Dialogs::Icon::Information);
    }
}

void TfrmMain::tmrSatTimer() {
    statusBar_->Tick(shoot_->StateText());
}

QString TfrmMain::StatusText(int panel) const {
    return statusBar_->Text(panel);
}

DevicePanel* TfrmMain::devicePanel() const {
    return statusBar_->Device();
}

void TfrmMain::AdvanceProgress() {
    display_->ProgressAdvanced();
}

void TfrmMain::HighlightPhase(const QString& letter) {
    display_->PhaseChanged(letter.toStdString());
}
