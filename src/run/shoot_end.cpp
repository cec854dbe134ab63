// How a run ends: a failed exchange, a device or camera that went away, the
// end of the list with its photos, and the way back to the start afterwards.
#include <QString>

#include "shoot.h"

using namespace zentrivo;

namespace {

const char* kSendCommandFailed = "Error during sending command (%1) to COM port.";
const char* kNotCorrect = "Device did not respond correctly. Terminating process.";
const char* kNotInTime = "Device did not respond in time. Terminating process.";

}  // namespace

bool Shoot::ReportFailedExchange(const std::string& command, const ExchangeResult& result) {
    switch (result.Outcome) {
        case ExchangeOutcome::SendFailed:
            if (result.PortClosed) {
                // Nothing was written: whatever closed the port has told
                // the user why.
                return true;
            }
            // The port layer has told its own text already.
            observer_.ShowMessage("Error", QString(kSendCommandFailed).arg(command.c_str()),
                                  ShootObserver::Icon::None);
            device_.Disconnect();
            return true;
        case ExchangeOutcome::DeviceError:
            observer_.ShowMessage("Error", kNotCorrect, ShootObserver::Icon::Error);
            return true;
        case ExchangeOutcome::NoReply:
            observer_.ShowMessage("Error", kNotInTime, ShootObserver::Icon::Error);
            return true;
        case ExchangeOutcome::DeviceLost:
            EndForLostDevice();
            return true;
        case ExchangeOutcome::Accepted:
            break;
    }
    return false;
}

void Shoot::DeviceGone() {
    if (process_.ProcessState == kProcessNotStarted) {
        // Nothing is interrupted: the status bar tells it, and the next
        // Start opens the port again.
        device_.Disconnect();
        return;
    }
    EndForLostDevice();
}

void Shoot::EndForLostDevice() {
    // The run is over before the box opens: the box's own event loop must
    // not let a tick, or a Continue, send to the port just closed.
    if (process_.ProcessState != kProcessNotStarted) {
        Stop();
    }
    ticker_.Stop();
    device_.ReportLost(false);
}

void Shoot::Complete() {
    photos_.EndBegins();
    log_.Write("every command done");
    completing_ = true;
    Stop();
    completing_ = false;
    photos_.Finish(photosTaken_, options_.FotosAutoCopy,
                   [this](const QString& photoLines) { Completed(photoLines); });
}

void Shoot::Completed(const QString& photoLines) {
    const QString message = "Process successfully completed !" + photoLines;
    EndJournal();
    log_.End("completed: " + QString(message).replace("\r\n", " / ").toStdString());
    observer_.ShowMessage("Information", message, ShootObserver::Icon::Information);
}

void Shoot::CameraLost(const QString& message) {
    if (process_.ProcessState == kProcessNotStarted) {
        return;
    }
    // Photos taken without the camera would be lost: the table waits.
    if (process_.ProcessState == kProcessStarted) {
        PauseOrContinue();
    }
    observer_.ShowMessage("Warning", message, ShootObserver::Icon::Warning);
}

void Shoot::TurnBack() {
    observer_.TurnBackOpen(false);
    WorkGate::WhenFree({&device_.Gate()}, [this] { ReturnToStart(); });
}

void Shoot::ReturnToStart() {
    const std::string command = ReturnCommand(runReturn_, process_.RotationsDone);
    const std::int32_t pollLimit = pace_.ReturnPollLimit(command, runReturn_.PeriodMs);
    // A port closed since the run, after a failed write or a device that
    // went away, is opened again: the device may be back.
    if (!device_.Connect()) {
        observer_.TurnBackOpen(false);
        return;
    }
    // The controller finishes the move whatever becomes of the program: a
    // resume after a crash from here on must turn the table to its place.
    journal_.TurningBack();
    device_.Exchange(command, pollLimit, false, [this, command](const ExchangeResult& result) {
        ReportFailedExchange(command, result);
        observer_.TurnBackOpen(false);
    });
}
