#include <QTimer>

#include "main_window.h"
#include "paths.h"
#include "photo_arrival.h"
#include "proces_edit.h"
#include "ui_main_window.h"

using namespace zentrivo;

namespace {

// How often the wait for a photo looks at the camera folder.
constexpr int kPhotoLookMs = 250;

bool IsRotation(const std::string& command) {
    return !command.empty() && (command[0] == 'R' || command[0] == 'L');
}

}  // namespace

void TfrmMain::LookForArrivals() {
    RefreshNewPhotos();
    std::vector<std::string> paths;
    for (const std::string& name : Photos_->NewPhotos.Names()) {
        paths.push_back(JoinPath(Options.FotosDir, name));
    }
    arrivals_.Look(paths);
}

void TfrmMain::BeforePhotoCommand() {
    if (!photoCheck_.on) {
        return;
    }
    if (photoCheck_.retaking) {
        // The photo taken again counts against the same folder as the
        // first time: a first shot stored late is as good as the retake.
        photoCheck_.retaking = false;
        return;
    }
    LookForArrivals();
    photoCheck_.baseline = arrivals_.Complete();
    photoCheck_.attempts = 0;
    photoCheck_.photoIndex = Process.CurrentIndex;
}

void TfrmMain::AfterPhotoCommand() {
    if (photoCheck_.on) {
        photoCheck_.pending = true;
        photoCheck_.waiting = false;
    }
}

std::string TfrmMain::CheckedPhotoText() const {
    const std::vector<std::string> commands = frmProcesEdit_->Commands();
    return std::to_string(
               PhotoNumberAt(commands, static_cast<std::size_t>(photoCheck_.photoIndex))) +
           " of " + std::to_string(PhotoCommandCount(commands));
}

bool TfrmMain::PhotoAccountedFor(const std::string& command, bool complete) {
    PhotoCheck& check = photoCheck_;
    if (!check.on || !check.pending || !(complete || IsRotation(command))) {
        return true;
    }
    LookForArrivals();
    if (Process.ProcessState != kProcessStarted) {
        return false;  // paused or stopped while the folder was read
    }
    if (arrivals_.Complete() > check.baseline) {
        check.pending = false;
        check.retakeNow = false;
        return true;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!check.waiting) {
        check.waiting = true;
        check.deadline = now + kPhotoArrivalLimit;
    }
    if (check.retakeNow || (now >= check.deadline && check.attempts < kMostRetakes)) {
        // Back to the photo command: the photo and its pause once more.
        LogRun("photo " + CheckedPhotoText() + " has not arrived: taken again");
        ++check.attempts;
        ++check.retaken;
        check.retakeNow = false;
        check.pending = false;
        check.retaking = true;
        Process.Remaining += Process.CurrentIndex - check.photoIndex;
        Process.CurrentIndex = check.photoIndex;
        tmrProces.start();
        return false;
    }
    if (now >= check.deadline) {
        // Taken three times and still missing: the user looks at the camera.
        check.attempts = 0;
        check.retakeNow = true;
        check.waiting = false;
        LogRun("photo " + CheckedPhotoText() + " has not arrived, also when taken again");
        btnPauzaClick();
        const std::vector<std::string> commands = frmProcesEdit_->Commands();
        dialogs_->Notify(this, "Warning",
                         QString::fromStdString(PhotoMissingText(
                             PhotoNumberAt(commands, static_cast<std::size_t>(check.photoIndex)),
                             PhotoCommandCount(commands))),
                         Dialogs::Icon::Warning);
        return false;
    }
    QTimer::singleShot(kPhotoLookMs, this, [this] {
        if (Process.ProcessState == kProcessStarted) {
            tmrProces.start();
        }
    });
    return false;
}

QString TfrmMain::PhotoCheckSummary() {
    LookForArrivals();
    return QString::fromStdString(PhotoCheckLine(PhotoCommandCount(frmProcesEdit_->Commands()),
                                                 arrivals_.Complete(), photoCheck_.retaken));
}
