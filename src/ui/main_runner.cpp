#include <QCoreApplication>
#include <QListWidget>

#include "device.h"
#include "main_window.h"
#include "proces_edit.h"
#include "return_command.h"
#include "ui_main_window.h"

using namespace zentrivo;

namespace {

const char* kSendCommandFailed = "Error during sending command (%1) to COM port.";
const char* kNotCorrect = "Device did not respond correctly. Terminating process.";
const char* kNotInTime = "Device did not respond in time. Terminating process.";

}  // namespace

// The port carries one exchange at a time. An operation that exchanges
// holds it from before its command is written until it has judged and
// counted the reply; a press that would start another exchange meanwhile
// waits until then.
TfrmMain::PortClaim::PortClaim(TfrmMain& window) : window_(window) {
    window_.portBusy_ = true;
}

TfrmMain::PortClaim::~PortClaim() {
    window_.portBusy_ = false;
    auto actions = std::move(window_.whenPortFree_);
    window_.whenPortFree_.clear();
    for (auto& action : actions) {
        QMetaObject::invokeMethod(
            &window_, [run = std::move(action)] { RunGuarded(run); }, Qt::QueuedConnection);
    }
}

void TfrmMain::WhenPortFree(std::function<void()> action) {
    if (portBusy_) {
        whenPortFree_.push_back(std::move(action));
    } else {
        action();
    }
}

bool TfrmMain::ReportFailedExchange(const std::string& command, ExchangeOutcome outcome) {
    switch (outcome) {
        case ExchangeOutcome::SendFailed:
            // The port layer has told its own text already.
            dialogs_->Notify(this, "Error", QString(kSendCommandFailed).arg(command.c_str()),
                             Dialogs::Icon::None);
            DisconnectDevice();
            return true;
        case ExchangeOutcome::DeviceError:
            dialogs_->Notify(this, "Error", kNotCorrect, Dialogs::Icon::Error);
            return true;
        case ExchangeOutcome::NoReply:
            dialogs_->Notify(this, "Error", kNotInTime, Dialogs::Icon::Error);
            return true;
        case ExchangeOutcome::Accepted:
            break;
    }
    return false;
}

void TfrmMain::btnStartClick() {
    if (portBusy_) {
        ui->btnStart->setEnabled(false);
        WhenPortFree([this] { StartProcess(); });
        return;
    }
    StartProcess();
}

void TfrmMain::StartProcess() {
    ui->btnStart->setEnabled(false);
    ui->btnPauza->setEnabled(true);
    ui->btnStop->setEnabled(true);
    ui->btnKreirajProces->setEnabled(false);
    ui->btnEditujProces->setEnabled(false);
    ui->btnNaPocetak->setEnabled(false);
    if (!ConnectDevice()) {
        btnStopClick();
        return;
    }
    QCoreApplication::processEvents();

    PortClaim claim(*this);
    const ExchangeResult test = Exchange(kTestCommand, kTestPollLimit, true, false);
    if (test.Outcome == ExchangeOutcome::SendFailed) {
        dialogs_->Notify(this, "Error", "Error during sending a test command to COM port.",
                         Dialogs::Icon::None);
        DisconnectDevice();
        btnStopClick();
        return;
    }
    if (test.Outcome != ExchangeOutcome::Accepted) {
        dialogs_->Notify(this, "Error", "Device did not respond correctly. Please try again !",
                         Dialogs::Icon::Error);
        btnStopClick();
        return;
    }
    BeginPhotoWatch();
    tmrFotosDirRefresher.start();
    device_->MarkDeviceConnected();

    Process.Remaining = frmProcesEdit_->CommandCount();
    Process.CurrentIndex = 0;
    Process.RotationsDone = 0;
    Process.ProcessState = kProcessStarted;
    tmrProces.start();
}

void TfrmMain::btnPauzaClick() {
    if (Process.ProcessState == kProcessPaused) {
        ui->btnPauza->setText("&Pause");
        Process.ProcessState = kProcessStarted;
        // A tick still waiting for its reply goes on by itself; a second
        // one must not start beside it.
        WhenPortFree([this] { tmrProces.start(); });
    } else {
        ui->btnPauza->setText("&Continue");
        Process.ProcessState = kProcessPaused;
    }
}

void TfrmMain::btnStopClick() {
    Process.ProcessState = kProcessNotStarted;
    tmrFotosDirRefresher.stop();
    ui->btnKreirajProces->setEnabled(true);
    ui->btnEditujProces->setEnabled(true);
    ui->btnStart->setEnabled(true);
    ui->btnPauza->setEnabled(false);
    ui->btnStop->setEnabled(false);
    ui->btnPauza->setText("&Pause");
    HighlightPhase(QString());
    ResetProgress();
    if (Process.RotationsDone > 0) {
        ui->btnNaPocetak->setEnabled(true);
    }
}

void TfrmMain::tmrProcesTimer() {
    tmrProces.stop();
    QCoreApplication::processEvents();
    Process.WaitingReply = false;
    if (Process.ProcessState != kProcessStarted) {
        return;
    }
    if (Process.Remaining <= 0 || Process.CurrentIndex >= frmProcesEdit_->CommandCount()) {
        CompleteProcess();
        return;
    }
    if (portBusy_) {
        WhenPortFree([this] { tmrProces.start(); });
        return;
    }

    PortClaim claim(*this);
    const std::string command = frmProcesEdit_->CommandAt(Process.CurrentIndex);
    const QString letter = QString::fromStdString(command.substr(0, 1));
    HighlightPhase(letter);
    const ExchangeResult result = Exchange(command, kCommandPollLimit, false, true);
    if (ReportFailedExchange(command, result.Outcome)) {
        btnStopClick();
        return;
    }
    if (letter == "R" || letter == "L") {
        const bool stillStarted = Process.ProcessState == kProcessStarted;
        if (stillStarted) {
            AdvanceProgress();
        }
        ++Process.RotationsDone;
        // A run stopped or paused during the wait stays as the user left it.
        if (stillStarted && ui->ckAutoPauza->isChecked()) {
            btnPauzaClick();
        }
        // Stopped during this rotation: the turntable has still turned, so
        // the way back is open.
        if (Process.ProcessState == kProcessNotStarted) {
            ui->btnNaPocetak->setEnabled(true);
        }
    }
    --Process.Remaining;
    ++Process.CurrentIndex;
    QCoreApplication::processEvents();
    tmrProces.start();
}

void TfrmMain::CompleteProcess() {
    btnStopClick();
    QString message = "Process successfully completed !";
    if (ui->ckFotosAutoCopy->isChecked()) {
        // The last photos may have come after the last refresh.
        RefreshNewPhotos();
        if (ui->lbFotosList->count() > 0) {
            const CopyOutcome outcome = CopyNewPhotos();
            if (outcome.done && outcome.missed.isEmpty()) {
                message += "\r\nPhotos successfully copied !";
            } else {
                message += "\r\nThere was an error during copying of photos !";
                if (!outcome.missed.isEmpty()) {
                    message += "\r\n" + outcome.missed;
                }
            }
        }
    }
    dialogs_->Notify(this, "Information", message, Dialogs::Icon::Information);
}

void TfrmMain::btnNaPocetakClick() {
    ui->btnNaPocetak->setEnabled(false);
    WhenPortFree([this] { ReturnToStart(); });
}

void TfrmMain::ReturnToStart() {
    const std::string command =
        ReturnCommand(Process.DirectionLetter, Process.RotationsDone, Process.StepsPerPhoto);
    PortClaim claim(*this);
    const ExchangeResult result = Exchange(command, kCommandPollLimit, false, false);
    ReportFailedExchange(command, result.Outcome);
    ui->btnNaPocetak->setEnabled(false);
}
