#include <QCoreApplication>
#include <QListWidget>
#include <utility>

#include "device.h"
#include "main_window.h"
#include "photo_arrival.h"
#include "proces_edit.h"
#include "ui_main_window.h"

using namespace zentrivo;

namespace {

const char* kSendCommandFailed = "Error during sending command (%1) to COM port.";
const char* kNotCorrect = "Device did not respond correctly. Terminating process.";
const char* kNotInTime = "Device did not respond in time. Terminating process.";

}  // namespace

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
        case ExchangeOutcome::DeviceLost:
            ReportLostDevice(false);
            return true;
        case ExchangeOutcome::Accepted:
            break;
    }
    return false;
}

void TfrmMain::btnStartClick() {
    // A press while a reply is awaited, or while the photos of the last run
    // are collected and copied, starts the run once that is done: the new
    // run's snapshot must not empty the list under them.
    if (portGate_.Busy() || photoGate_.Busy()) {
        ui->btnStart->setEnabled(false);
    }
    WorkGate::WhenFree({&portGate_, &photoGate_}, [this] { StartProcess(); });
}

void TfrmMain::StartProcess() {
    ui->btnStart->setEnabled(false);
    ui->btnPauza->setEnabled(true);
    ui->btnStop->setEnabled(true);
    ui->btnKreirajProces->setEnabled(false);
    ui->btnEditujProces->setEnabled(false);
    ui->btnNaPocetak->setEnabled(false);
    resumeAction_->setEnabled(false);
    // A Stop pressed from here until the test is judged ends this Start.
    const std::uint64_t stopsBefore = stops_;
    if (!ConnectDevice()) {
        btnStopClick();
        return;
    }
    BeginRunLog();
    QCoreApplication::processEvents();

    WorkGate::Hold port(portGate_);
    const ExchangeResult test = Exchange(kTestCommand, kTestPollLimit, true, false);
    if (test.Outcome == ExchangeOutcome::SendFailed) {
        dialogs_->Notify(this, "Error", "Error during sending a test command to COM port.",
                         Dialogs::Icon::None);
        DisconnectDevice();
        btnStopClick();
        return;
    }
    if (test.Outcome == ExchangeOutcome::DeviceLost) {
        ReportLostDevice(true);
        btnStopClick();
        return;
    }
    if (stops_ != stopsBefore) {
        // Stopped during the test: the Stop has reset the controls, and no
        // run begins.
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
    runReturn_ = ReturnPlan{Process.DirectionLetter, Process.StepsPerPhoto, madePeriodMs_};
    photosTaken_ = 0;
    runPace_ = RunPaceSoFar{};
    photoCheck_ = PhotoCheck{};
    photoCheck_.on = ui->ckFotosCheck->isChecked();
    arrivals_.Clear();
    const std::optional<RunJournal> resume = std::exchange(resumeFrom_, std::nullopt);
    if (!resume) {
        BeginJournal();
    } else if (!ApplyResume(*resume, stopsBefore)) {
        return;
    }
    // Paused during the test: the run begins paused, as the user asked.
    if (Process.ProcessState != kProcessPaused) {
        Process.ProcessState = kProcessStarted;
    }
    ScheduleTick();
}

void TfrmMain::ScheduleTick() {
    if (Options.FastPace) {
        tickAtOnce_.start();
    } else {
        tmrProces.start();
    }
}

void TfrmMain::btnPauzaClick() {
    if (Process.ProcessState == kProcessPaused) {
        ui->btnPauza->setText("&Pause");
        Process.ProcessState = kProcessStarted;
        LogRun("continued");
        // A tick still waiting for its reply goes on by itself; a second
        // one must not start beside it.
        WorkGate::WhenFree({&portGate_}, [this] { tmrProces.start(); });
    } else {
        ui->btnPauza->setText("&Continue");
        Process.ProcessState = kProcessPaused;
        LogRun("paused");
    }
}

void TfrmMain::btnStopClick() {
    ++stops_;
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
    resumeFrom_.reset();
    sbTimeLeft_->clear();
    if (!completing_) {
        EndRunLog("stopped");
    }
    JournalStop();
    RefreshResumeAction();
}

void TfrmMain::tmrProcesTimer() {
    // Whichever timer brought this tick, neither brings another beside it.
    tmrProces.stop();
    tickAtOnce_.stop();
    QCoreApplication::processEvents();
    Process.WaitingReply = false;
    if (Process.ProcessState != kProcessStarted) {
        return;
    }
    const bool complete =
        Process.Remaining <= 0 || Process.CurrentIndex >= frmProcesEdit_->CommandCount();
    // The end of the run waits for a copy in hand to finish, so that its own
    // copy never runs inside another.
    std::vector<WorkGate*> needed{&portGate_};
    if (complete) {
        needed.push_back(&photoGate_);
    }
    if (portGate_.Busy() || (complete && photoGate_.Busy())) {
        WorkGate::WhenFree(needed, [this] { tmrProces.start(); });
        return;
    }
    const std::string command =
        complete ? std::string() : frmProcesEdit_->CommandAt(Process.CurrentIndex);
    if (!PhotoAccountedFor(command, complete)) {
        return;
    }
    if (complete) {
        CompleteProcess();
        return;
    }

    WorkGate::Hold port(portGate_);
    const QString letter = QString::fromStdString(command.substr(0, 1));
    if (letter == "P") {
        BeforePhotoCommand();
    }
    const bool rotation = letter == "R" || letter == "L";
    if (rotation) {
        JournalRotation(true);
    }
    HighlightPhase(letter);
    const auto sent = std::chrono::steady_clock::now();
    const ExchangeResult result = Exchange(command, PollLimitFor(command, pace_), false, true);
    if (ReportFailedExchange(command, result.Outcome)) {
        btnStopClick();
        return;
    }
    NoteAccepted(pace_, command);
    NoteRunPace(command, sent);
    if (letter == "P") {
        ++photosTaken_;
        AfterPhotoCommand();
    }
    if (rotation) {
        const bool stillStarted = Process.ProcessState == kProcessStarted;
        if (stillStarted) {
            AdvanceProgress();
        }
        ++Process.RotationsDone;
        JournalRotation(false);
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
    ScheduleTick();
}

void TfrmMain::CompleteProcess() {
    QString message = "Process successfully completed !";
    {
        // From the last look at the camera folder to the end of the copy,
        // a Start waits and a second copy is refused.
        PhotoWork work(*this);
        LogRun("every command done");
        completing_ = true;
        btnStopClick();
        completing_ = false;
        if (photoCheck_.on) {
            // Every photo has been accounted for already.
            RefreshNewPhotos();
        } else {
            AwaitLastPhotos();
        }
        if (ui->ckFotosAutoCopy->isChecked() && ui->lbFotosList->count() > 0) {
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
        if (photoCheck_.on) {
            message += "\r\n" + PhotoCheckSummary();
        } else {
            const std::string missing = MissingPhotosLine(
                static_cast<std::size_t>(std::max(photosTaken_, 0)), Photos_->NewCount());
            if (!missing.empty()) {
                message += "\r\n" + QString::fromStdString(missing);
            }
        }
    }
    EndJournal();
    EndRunLog("completed: " + QString(message).replace("\r\n", " / ").toStdString());
    dialogs_->Notify(this, "Information", message, Dialogs::Icon::Information);
}

void TfrmMain::btnNaPocetakClick() {
    ui->btnNaPocetak->setEnabled(false);
    WorkGate::WhenFree({&portGate_}, [this] { ReturnToStart(); });
}

void TfrmMain::ReturnToStart() {
    const std::string command = ReturnCommand(runReturn_, Process.RotationsDone);
    // The controller turns at the last period it was given; the run's own
    // period is the floor, should it have been given none since.
    ControllerPace pace = pace_;
    pace.PeriodMs = std::max<std::int64_t>(pace.PeriodMs, runReturn_.PeriodMs);
    // A port closed since the run, after a failed write or a device that
    // went away, is opened again: the device may be back.
    if (!ConnectDevice()) {
        ui->btnNaPocetak->setEnabled(false);
        return;
    }
    WorkGate::Hold port(portGate_);
    const ExchangeResult result = Exchange(command, PollLimitFor(command, pace), false, false);
    if (!ReportFailedExchange(command, result.Outcome)) {
        JournalTurnedBack();
    }
    ui->btnNaPocetak->setEnabled(false);
}
