#pragma once

#include <deque>
#include <optional>
#include <string>

#include "core/journal/run_journal.h"
#include "shoot_journal.h"
#include "shoot_observer.h"

// A run ended early and gone on with from its journal: the question to the
// user, the journal the next Start goes on from, and the commands that set
// the controller up again before the run's next command.
class RunResume {
public:
    RunResume(ShootJournal& journal, ShootObserver& observer)
        : journal_(journal), observer_(observer) {}

    // "Resume Interrupted Run...": the journal to go on from, once the user
    // said yes; nothing when there is none, when it is damaged (which the
    // user is told, and which is set aside), or when the user said no.
    std::optional<zentrivo::RunJournal> Ask();

    // The next Start goes on from `journal`.
    void Hold(zentrivo::RunJournal journal) { held_ = std::move(journal); }
    // At a Start: the journal it goes on from, if any, with its setup queued.
    std::optional<zentrivo::RunJournal> Take();
    // A Stop: nothing held, nothing left to set up.
    void Drop();

    // Whether the controller is still being set up, and with what next.
    bool SettingUp() const { return !setup_.empty(); }
    const std::string& Next() const { return setup_.front(); }
    // The setup command sent last was accepted.
    void SetUp();

private:
    ShootJournal& journal_;
    ShootObserver& observer_;
    std::optional<zentrivo::RunJournal> held_;
    std::deque<std::string> setup_;
};
