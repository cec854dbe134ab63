#pragma once

#include <memory>

#include "main_window.h"
#include "parametri.h"
#include "proces_edit.h"

// The program's three windows, made in their order: the main window first
// (its start-up must not use the dialogs), then the Process Editor and the
// Parameters dialog, each a single instance for the whole run.
struct ZentrivoWindows {
    ZentrivoWindows(const QString& appDir, std::unique_ptr<Dialogs> dialogs)
        : frmMain(appDir, std::move(dialogs)),
          frmProcesEdit(frmMain.dialogs(), frmMain.shoot().Commands(), &frmMain),
          frmParametri(frmMain.dialogs(), &frmMain) {
        frmMain.AttachDialogs(&frmProcesEdit, &frmParametri);
    }

    TfrmMain frmMain;
    TfrmProcesEdit frmProcesEdit;
    TfrmParametri frmParametri;
};
