// The photo session's answers in the run (a wait, a photo taken again
// after the table turned back to it), and a run resumed from its journal.
#include <algorithm>
#include <chrono>

#include "core/photos/photo_arrival.h"
#include "shoot.h"

using namespace zentrivo;

namespace {

// How often the wait for a photo looks at the camera folder: a photo whole
// ends the wait within this and the short settle.
constexpr int kPhotoLookMs = 50;

}  // namespace

bool Shoot::PhotoAccountedFor(const std::string& command, bool complete) {
    const PhotoSession::Answer answer =
        photos_.BeforeMove(command, complete, process_.CurrentIndex);
    switch (answer.kind) {
        case PhotoSession::Answer::Kind::GoOn:
            return true;
        case PhotoSession::Answer::Kind::TakeAgain:
            TakeAgain(answer.index, answer.retake);
            return false;
        case PhotoSession::Answer::Kind::Pause:
            PauseOrContinue();
            observer_.ShowMessage("Warning", answer.text, ShootObserver::Icon::Warning);
            return false;
        case PhotoSession::Answer::Kind::Wait:
            break;
    }
    // The wait counts in the time left, as the run's own commands do.
    observer_.TimeLeftChanged(pace_.TimeLeft(commands_.Commands(),
                                             static_cast<std::size_t>(process_.CurrentIndex),
                                             ticker_.GapMs(), answer.waitMs));
    ticker_.Soon(kPhotoLookMs);
    return false;
}

void Shoot::TakeAgain(std::int32_t index, const RetakePlan& plan) {
    // Counted back before the table moves, as the controller finishes a
    // move whatever happens: a Stop or a crash during the turn finds the
    // table where it is going.
    process_.Remaining += process_.CurrentIndex - index;
    process_.CurrentIndex = index;
    process_.RotationsDone -= plan.rotations;
    photosTaken_ -= plan.photos;
    if (plan.turnBack.empty()) {
        ticker_.Again();
        return;
    }
    journal_.TurnsBackTo(JournalPlace());
    log_.Write(
        "the table turns back to photo " +
        std::to_string(PhotoNumberAt(commands_.Commands(), static_cast<std::size_t>(index))));
    observer_.PhaseChanged(plan.turnBack.substr(0, 1));
    process_.WaitingReply = true;
    const std::string command = plan.turnBack;
    device_.Exchange(command, pace_.PollLimit(command), false,
                     [this, command](const ExchangeResult& result) {
                         process_.WaitingReply = false;
                         if (ReportFailedExchange(command, result)) {
                             Stop();
                             return;
                         }
                         ticker_.PauseFrom(result);
                         ticker_.Schedule();
                     });
}

QString Shoot::StateText() const {
    const QString waiting = photos_.WaitingText();
    if (process_.ProcessState == kProcessStarted && !waiting.isEmpty()) {
        return waiting;
    }
    return ProcessStateText(process_.ProcessState);
}

void Shoot::ResumeInterrupted() {
    if (Running()) {
        return;
    }
    std::optional<RunJournal> journal = resume_.Ask();
    RefreshResume();
    if (!journal) {
        return;
    }
    commands_.SetCommands(journal->Commands);
    process_.StepsPerPhoto = journal->Return.StepsPerPhoto;
    process_.DirectionLetter = journal->Return.DirectionLetter;
    madePeriodMs_ = journal->Return.PeriodMs;
    observer_.ProcessRestored(PhotoCommandCount(journal->Commands));
    resume_.Hold(std::move(*journal));
    Start();
}

void Shoot::ApplyResume(const RunJournal& journal) {
    // Its setup, queued at Take, goes out at the pace of a Start.
    const std::size_t resumeAt = ResumeIndex(journal);
    const int photos = PhotoCommandCount(journal.Commands);
    log_.Write("resumes the run that stopped at " + StoppedAt(journal) + ", from photo " +
               std::to_string(std::min(journal.PhotosDone + 1, photos)) + " of " +
               std::to_string(photos));
    photos_.Resume(journal);
    wayBack_.Plan(journal.Return);
    process_.RotationsDone = RotationsAtResume(journal);
    process_.CurrentIndex = static_cast<std::int32_t>(resumeAt);
    process_.Remaining = commands_.CommandCount() - process_.CurrentIndex;
    photosTaken_ = journal.PhotosDone;
    rotationsShown_ = process_.RotationsDone;
    for (std::int32_t i = 0; i < process_.RotationsDone; ++i) {
        observer_.ProgressAdvanced();
    }
    journal_.Resumed(journal, process_.RotationsDone, !TurnToResumeCommand(journal).empty());
}
