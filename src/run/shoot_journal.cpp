#include "shoot_journal.h"

#include "core/clock_text.h"
#include "core/photos/photo_arrival.h"

using namespace zentrivo;

namespace {

// How long a write that may come late waits for a newer one.
constexpr std::chrono::milliseconds kLate(20);

}  // namespace

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
    // The table stands where the journal before says until the first
    // rotation, whose mark waits for this removal.
    files_.Remove(path_);
}

void ShootJournal::Resumed(const RunJournal& journal, std::int32_t rotationsDone,
                           bool turnPending) {
    journal_ = journal;
    journal_.TurnedBack = turnPending;
    journal_.RotationsDone = rotationsDone;
    journal_.RotationUnderway = false;
    journal_.Stopped.clear();
    on_ = true;
    // A crash from here on must find this run, not the one it goes on from.
    WriteNow();
}

void ShootJournal::Set(RunJournal& journal, const Place& place, bool underway) const {
    // The photos before the command at the place (a rotation, or a photo
    // command gone back to, whose photo is still to come).
    journal.PhotosDone =
        place.commandIndex <= 0
            ? 0
            : PhotoNumberAt(journal.Commands, static_cast<std::size_t>(place.commandIndex - 1));
    journal.RotationsDone = place.rotationsDone;
    journal.RotationUnderway = underway;
    journal.Retaken = place.retaken;
    journal.PhotosReceived = place.received;
    journal.PhotosSetAside = place.setAside;
    journal.TurnedBack = false;
    journal.Stopped.clear();
}

void ShootJournal::RotationGoesOut(const Place& place) {
    if (!on_) {
        return;
    }
    Set(journal_, place, true);
    // Written here and now: a hand-over to the writer's thread would cost
    // the fast pace more than the write itself.
    WriteNow();
}

void ShootJournal::RotationDone(const Place& place) {
    if (!on_) {
        return;
    }
    Set(journal_, place, false);
    // Late is harmless: the mark on the disk counts the rotation as made.
    // At the fast pace the next mark follows within milliseconds and takes
    // its place, so the run waits for one write a rotation, not two.
    Write(kLate);
}

void ShootJournal::TurnsBackTo(const Place& place) {
    if (!on_) {
        return;
    }
    Set(journal_, place, false);
    WriteNow();
}

void ShootJournal::Stop() {
    // Later writes (the way back) must not move the moment the user is
    // told the run stopped at.
    if (on_) {
        journal_.Stopped = ClockText(clock_());
    }
    WriteNow();
}

void ShootJournal::TurningBack() {
    if (on_) {
        journal_.TurnedBack = true;
        WriteNow();
    }
}

void ShootJournal::TurningToPlace() {
    if (on_) {
        journal_.TurnedBack = false;
        WriteNow();
    }
}

void ShootJournal::End() {
    on_ = false;
    files_.Remove(path_);
}

void ShootJournal::Write(std::chrono::milliseconds late) {
    if (!on_ || (journal_.RotationsDone == 0 && !journal_.RotationUnderway)) {
        return;
    }
    journal_.Written = ClockText(clock_());
    files_.Write(path_, RunJournalText(journal_), late);
}

void ShootJournal::WriteNow() {
    if (!on_) {
        return;
    }
    if (journal_.RotationsDone == 0 && !journal_.RotationUnderway) {
        // Nothing turned yet, also when the first rotation was marked: the
        // table stands where the run began.
        files_.Remove(path_);
        files_.Flush();
        return;
    }
    journal_.Written = ClockText(clock_());
    files_.WriteNow(path_, RunJournalText(journal_));
}
