#include "run_controls.h"

#include <QAction>

#include "ui_main_window.h"

RunControls::RunControls(Ui::TfrmMain& ui, QAction* resume) : ui_(ui), resume_(resume) {
    Enable();
}

void RunControls::Enable() {
    const RunControlState& s = state_;
    // A run in hand locks its process: nothing is made, edited or started
    // beside it.
    const bool idle = !s.running;
    ui_.btnKreirajProces->setEnabled(idle);
    ui_.btnEditujProces->setEnabled(idle && s.processMade);
    ui_.btnStart->setEnabled(idle && s.processMade && !s.startHeld);
    ui_.btnPauza->setEnabled(s.running);
    ui_.btnStop->setEnabled(s.running);
    ui_.btnPauza->setText(s.paused ? "&Continue" : "&Pause");
    ui_.btnNaPocetak->setEnabled(s.turnBackOpen);
    ui_.btnFotosKopirajSlike->setEnabled(s.copyOpen);
    resume_->setEnabled(s.resumeOpen);
}
