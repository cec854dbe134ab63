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
    photos_.Finish(
        photosTaken_, options_.FotosAutoCopy,
        [this](const QString& photoLines, bool flawed) { Completed(photoLines, flawed); });
}

void Shoot::Completed(const QString& photoLines, bool flawed) {
    const QString message = "Process successfully completed !" + photoLines;
    EndJournal();
    log_.End("completed: " + QString(message).replace("\r\n", " / ").toStdString());
    // A photo missing or not copied is not an end to pass over.
    observer_.ShowMessage("Information", message,
                          flawed ? ShootObserver::Icon::Warning : ShootObserver::Icon::Information);
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
    WorkGate::WhenFree({&device_.Gate()}, [this] {
        wayBack_.Go(process_.RotationsDone, [this](const std::string& command,
                                                   const std::optional<ExchangeResult>& result) {
            if (result) {
                ReportFailedExchange(command, *result);
            }
            observer_.TurnBackOpen(false);
        });
    });
}
