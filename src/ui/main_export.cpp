#include <QAction>
#include <QMenu>

#include "main_window.h"
#include "spin_export_dialog.h"
#include "ui_main_window.h"

void TfrmMain::SetUpSpinExport() {
    auto* exportSpin = new QAction(QIcon(":/icons/export_spin.svg"), "Export 360° View...", this);
    exportSpin->setObjectName("ExportSpinView");
    ui->Program1->insertAction(ui->Izlaz1, exportSpin);
    ui->Program1->insertSeparator(ui->Izlaz1);
    connect(exportSpin, &QAction::triggered, this, Guarded(&TfrmMain::ExportSpinView));
}

void TfrmMain::ExportSpinView() {
    // The photos of the last copy are what a user exports next, as a rule.
    const QString source =
        !lastCopyFolder_.isEmpty() ? lastCopyFolder_ : QString::fromStdString(Options.FotosCopyDir);
    SpinExportDialog dialog(*dialogs_, source, this);
    dialog.exec();
}
