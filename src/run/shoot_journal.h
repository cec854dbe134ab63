#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "file_write_queue.h"
#include "run/run_journal.h"

// The journal of the run going on or ended early, beside the settings file:
// begun when a run begins, written around each rotation and at a Stop,
// removed when the run completes or a new process is made. A journal that
// cannot be written costs the resume, never the run.
//
// What a crash must find is on the disk before the table moves: a rotation
// (or a turn of the table) goes out only once the mark that it is under way
// is there, as the controller finishes a move it was given whatever happens
// to the program. The mark is written as soon as it is true, so that the
// pause before the command hides the disk's time. What may reach the disk
// late without harm (a rotation answered, a removal) goes on a thread of its
// own.
class ShootJournal {
public:
    ShootJournal(const std::string& settingsFolder, std::function<std::tm()> clock);

    const std::string& Path() const { return path_; }
    bool Exists() const;
    zentrivo::RunJournalRead Read() const;
    void SetAsideDamaged() const;

    // A new run; until its first rotation there is nothing to go on from
    // but photo 1.
    void Begin(const std::vector<std::string>& commands, const zentrivo::ReturnPlan& plan,
               const std::vector<std::string>& photosAtStart);
    // A run resumed from `journal`, with the rotations it counts as made; on
    // the disk before the run sends anything. `turnPending` keeps the table
    // counted as turned back until the turn to its place goes out.
    void Resumed(const zentrivo::RunJournal& journal, std::int32_t rotationsDone, bool turnPending);

    // Where the run stands at a rotation.
    struct Place {
        std::int32_t commandIndex = 0;
        std::int32_t rotationsDone = 0;
        int retaken = 0;
        std::vector<std::string> received;
        std::vector<std::string> setAside;
    };
    // Writes the mark that the rotation at `place` is under way; on the
    // disk when this returns.
    void MarkRotation(const Place& place);
    bool Marked(std::int32_t commandIndex) const { return mark_ && mark_->index == commandIndex; }
    // The marked rotation goes out: from now on it counts as made.
    void RotationGoesOut();
    // A mark written for a rotation that did not go out (the run paused or
    // stopped first) is taken back.
    void Unmark();
    // The controller answered the rotation.
    void RotationDone(const Place& place);

    // The run stopped; on the disk when this returns.
    void Stop();
    // The table is about to turn back to the start, or from the start to
    // the place of a resumed run; on the disk when this returns.
    void TurningBack();
    void TurningToPlace();
    // The run completed or a new process was made: nothing to resume.
    void End();

private:
    void Set(zentrivo::RunJournal& journal, const Place& place, bool underway) const;
    void Write(std::chrono::milliseconds late = std::chrono::milliseconds(0));
    void WriteNow();

    std::string path_;
    std::function<std::tm()> clock_;
    zentrivo::RunJournal journal_;  // what the run has done, as far as it knows
    bool on_ = false;
    struct Mark {
        std::int32_t index = 0;
        zentrivo::RunJournal journal;
    };
    std::optional<Mark> mark_;  // begun, and not yet gone out
    // What the disk holds is looked at only once it is all there.
    mutable zentrivo::FileWriteQueue files_;
};
