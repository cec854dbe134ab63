// How a run ends: a failed exchange, a device that went away, the end of
// the list with its photos, and the way back to the start afterwards.
#include <QString>
#include <algorithm>

#include "core/path_checks.h"
#include "core/photos/photo_arrival.h"
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
    // From the last look at the camera folder to the end of the copy, a
    // Start waits and a second copy is refused.
    ending_ = std::make_unique<CameraPhotos::Work>(photos_);
    log_.Write("every command done");
    completing_ = true;
    Stop();
    completing_ = false;
    const bool copy = options_.FotosAutoCopy;
    if (check_.On()) {
        // Every photo has been accounted for already.
        photos_.Refresh();
        CopyAtEnd(copy);
        return;
    }
    photos_.AwaitLast(static_cast<std::size_t>(std::max(photosTaken_, 0)), copy,
                      // Without the copy when the user stopped waiting: they copy later.
                      [this, copy](bool goOn) { CopyAtEnd(copy && goOn); });
}

void Shoot::CopyAtEnd(bool copy) {
    if (copy && photos_.NewCount() > 0) {
        copier_.Copy([this](const PhotoCopier::Outcome& outcome) { Completed(&outcome); });
    } else {
        Completed(nullptr);
    }
}

void Shoot::Completed(const PhotoCopier::Outcome* copied) {
    QString message = "Process successfully completed !";
    if (copied != nullptr && copied->whole()) {
        message += "\r\nPhotos successfully copied !";
    } else if (copied != nullptr) {
        message += "\r\nThere was an error during copying of photos !" + copied->Problems();
    }
    if (check_.On()) {
        message += "\r\n" + PhotoCheckSummary();
    } else if (IsExistingFolder(options_.FotosDir)) {
        // A camera that stored nothing is told as plainly as one that
        // lost a photo.
        const std::string missing = MissingPhotosLine(
            static_cast<std::size_t>(std::max(photosTaken_, 0)), photos_.NewCount());
        if (!missing.empty()) {
            message += "\r\n" + QString::fromStdString(missing);
        }
    }
    ending_.reset();
    EndJournal();
    log_.End("completed: " + QString(message).replace("\r\n", " / ").toStdString());
    observer_.ShowMessage("Information", message, ShootObserver::Icon::Information);
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
