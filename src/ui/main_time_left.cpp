#include <QLabel>

#include "main_window.h"
#include "proces_edit.h"
#include "time_left.h"

using namespace zentrivo;

void TfrmMain::NoteRunPace(const std::string& command, std::chrono::steady_clock::time_point sent) {
    const auto measured = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - sent);
    runPace_.Add(measured.count(), ExpectedDurationMs(command, pace_));
    if (Process.ProcessState == kProcessNotStarted) {
        return;  // stopped meanwhile: no run, no time left
    }
    const std::int64_t left =
        TimeLeftMs(frmProcesEdit_->Commands(), static_cast<std::size_t>(Process.CurrentIndex) + 1,
                   pace_, runPace_, tmrProces.interval());
    sbTimeLeft_->setText(QString::fromStdString(TimeLeftText(left)));
}
