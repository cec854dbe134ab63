// The photo check's decisions in the run, and a run resumed from its
// journal.
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "core/photos/photo_arrival.h"
#include "shoot.h"

using namespace zentrivo;

namespace {

// How often the wait for a photo looks at the camera folder.
constexpr int kPhotoLookMs = 250;

}  // namespace

int Shoot::CheckedPosition(int commandIndex) const {
    return PhotoNumberAt(commands_.Commands(), static_cast<std::size_t>(commandIndex));
}

std::string Shoot::CheckedPhotoText() const {
    return std::to_string(CheckedPosition(check_.PhotoIndex())) + " of " +
           std::to_string(PhotoCommandCount(commands_.Commands()));
}

bool Shoot::PhotoAccountedFor(const std::string& command, bool complete) {
    if (!check_.Holds(command, complete)) {
        return true;
    }
    photos_.LookForArrivals();
    if (process_.ProcessState != kProcessStarted) {
        return false;  // paused or stopped while the folder was read
    }
    switch (check_.Judge(photos_.Served(CheckedPosition(check_.PhotoIndex())), photos_.NewCount(),
                         PhotoCheck::Clock::now())) {
        case PhotoCheck::Verdict::Arrived:
            return true;
        case PhotoCheck::Verdict::TakeAgain:
            // Back to the photo command: the photo and its pause once more.
            log_.Write("photo " + CheckedPhotoText() + " has not arrived: taken again");
            process_.Remaining += process_.CurrentIndex - check_.PhotoIndex();
            process_.CurrentIndex = check_.PhotoIndex();
            ticker_.Again();
            return false;
        case PhotoCheck::Verdict::AskUser: {
            // Taken three times and still missing: the user looks at the camera.
            log_.Write("photo " + CheckedPhotoText() + " has not arrived, also when taken again");
            PauseOrContinue();
            observer_.ShowMessage(
                "Warning",
                QString::fromStdString(PhotoMissingText(CheckedPosition(check_.PhotoIndex()),
                                                        PhotoCommandCount(commands_.Commands()))),
                ShootObserver::Icon::Warning);
            return false;
        }
        case PhotoCheck::Verdict::LookAgain:
            break;
    }
    // The wait counts in the time left, as the run's own commands do.
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
        check_.Deadline() - PhotoCheck::Clock::now());
    observer_.TimeLeftChanged(
        pace_.TimeLeft(commands_.Commands(), static_cast<std::size_t>(process_.CurrentIndex),
                       ticker_.GapMs(), std::max<std::int64_t>(0, wait.count())));
    QTimer::singleShot(kPhotoLookMs, this, [this] {
        if (process_.ProcessState == kProcessStarted) {
            ticker_.Again();
        }
    });
    return false;
}

QString Shoot::StateText() const {
    if (process_.ProcessState == kProcessStarted && check_.Waiting()) {
        return QString::fromStdString("Waiting for photo " + CheckedPhotoText() + " ...");
    }
    return ProcessStateText(process_.ProcessState);
}

QString Shoot::PhotoCheckSummary() {
    photos_.LookForArrivals();
    const PhotoLedger& ledger = *photos_.Ledger();
    return QString::fromStdString(PhotoCheckLine(PhotoCommandCount(commands_.Commands()),
                                                 static_cast<std::size_t>(ledger.Received()),
                                                 check_.Retaken(), ledger.SetAside().size()));
}

void Shoot::ResumeInterrupted() {
    if (process_.ProcessState != kProcessNotStarted) {
        return;
    }
    const RunJournalRead read = journal_.Read();
    if (!read.exists) {
        RefreshResume();
        return;
    }
    if (!read.journal) {
        journal_.SetAsideDamaged();
        RefreshResume();
        observer_.ShowMessage("Error",
                              "The journal of the interrupted run is damaged and can not be used. "
                              "It has been set aside.",
                              ShootObserver::Icon::Error);
        return;
    }
    const RunJournal& journal = *read.journal;
    const int photos = PhotoCommandCount(journal.Commands);
    const int next = std::min(journal.PhotosDone + 1, photos);
    const QString question = QString(
                                 "The last run stopped at %1, at photo %2 of %3.\r\n\r\n"
                                 "Do you want to go on from photo %2 ?")
                                 .arg(QString::fromStdString(StoppedAt(journal)))
                                 .arg(next)
                                 .arg(photos);
    if (!observer_.AskYesNo("Resume Interrupted Run", question)) {
        return;
    }
    commands_.SetCommands(journal.Commands);
    process_.StepsPerPhoto = journal.Return.StepsPerPhoto;
    process_.DirectionLetter = journal.Return.DirectionLetter;
    madePeriodMs_ = journal.Return.PeriodMs;
    observer_.ProcessRestored(photos);
    resumeFrom_ = journal;
    Start();
}

void Shoot::ApplyResume(const RunJournal& journal) {
    // The controller may have been switched off meanwhile: the commands
    // before the first photo set its step mode, period and focus again, at
    // the pace of a Start.
    const std::size_t resumeAt = ResumeIndex(journal);
    const int photos = PhotoCommandCount(journal.Commands);
    log_.Write("resumes the run that stopped at " + StoppedAt(journal) + ", from photo " +
               std::to_string(std::min(journal.PhotosDone + 1, photos)) + " of " +
               std::to_string(photos));
    resumeSetup_.clear();
    for (const std::string& command : journal.Commands) {
        if (!command.empty() && command[0] == 'P') {
            break;
        }
        resumeSetup_.push_back(command);
    }
    const std::string turn = TurnToResumeCommand(journal);
    if (!turn.empty()) {
        resumeSetup_.push_back(turn);
    }

    photos_.Resume(journal);
    runReturn_ = journal.Return;
    process_.RotationsDone = RotationsAtResume(journal);
    process_.CurrentIndex = static_cast<std::int32_t>(resumeAt);
    process_.Remaining = commands_.CommandCount() - process_.CurrentIndex;
    photosTaken_ = journal.PhotosDone;
    check_.SetRetaken(journal.Retaken);
    for (std::int32_t i = 0; i < process_.RotationsDone; ++i) {
        observer_.ProgressAdvanced();
    }
    journal_.Resumed(journal, process_.RotationsDone, !turn.empty());
}
