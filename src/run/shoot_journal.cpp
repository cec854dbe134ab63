#include "shoot_journal.h"

#include "clock_text.h"
#include "photos/photo_arrival.h"

using namespace zentrivo;

ShootJournal::ShootJournal(const std::string& settingsFolder, std::function<std::tm()> clock)
    : path_(RunJournalPath(settingsFolder)), clock_(std::move(clock)) {}

bool ShootJournal::Exists() const {
    files_.Flush();
    return RunJournalExists(path_);
}

RunJournalRead ShootJournal::Read() const {
    files_.Flush();
    return ReadRunJournal(path_);
}

void ShootJournal::SetAsideDamaged() const {
    files_.Flush();
    SetAsideDamagedJournal(path_);
}

void ShootJournal::Begin(const std::vector<std::string>& commands, const ReturnPlan& plan,
                         const std::vector<std::string>& photosAtStart) {
    journal_ = RunJournal{};
    journal_.Commands = commands;
    journal_.Return = plan;
    journal_.PhotosAtStart = photosAtStart;
    on_ = true;
    files_.Remove(path_);
}

void ShootJournal::Resumed(const RunJournal& journal, std::int32_t rotationsDone) {
    journal_ = journal;
    journal_.TurnedBack = false;
    journal_.RotationsDone = rotationsDone;
    journal_.RotationUnderway = false;
    journal_.Stopped.clear();
    on_ = true;
}

void ShootJournal::Rotation(bool underway, std::int32_t commandIndex, std::int32_t rotationsDone,
                            int retaken, const std::vector<std::string>& received,
                            const std::vector<std::string>& setAside) {
    if (!on_) {
        return;
    }
    journal_.PhotosDone = PhotoNumberAt(journal_.Commands, static_cast<std::size_t>(commandIndex));
    journal_.RotationsDone = rotationsDone;
    journal_.RotationUnderway = underway;
    journal_.Retaken = retaken;
    journal_.PhotosReceived = received;
    journal_.PhotosSetAside = setAside;
    journal_.TurnedBack = false;
    journal_.Stopped.clear();
    Write();
}

void ShootJournal::Stop() {
    // Later writes (the way back) must not move the moment the user is
    // told the run stopped at.
    if (on_) {
        journal_.Stopped = ClockText(clock_());
    }
    Write();
}

void ShootJournal::TurnedBack() {
    if (on_) {
        journal_.TurnedBack = true;
        Write();
    }
}

void ShootJournal::End() {
    on_ = false;
    files_.Remove(path_);
}

void ShootJournal::Write() {
    if (!on_ || (journal_.RotationsDone == 0 && !journal_.RotationUnderway)) {
        return;
    }
    journal_.Written = ClockText(clock_());
    files_.Write(path_, RunJournalText(journal_));
}
