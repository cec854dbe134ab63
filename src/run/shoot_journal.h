#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "core/file_write_queue.h"
#include "core/journal/run_journal.h"

// The journal of the run going on or ended early, beside the settings file:
// begun when a run begins, written around each rotation and at a Stop,
// removed when the run completes or a new process is made. A journal that
// cannot be written costs the resume, never the run.
//
// What a crash must find is on the disk before the table moves: a rotation
// (or a turn of the table) goes out only once the mark that it is under way
// is there, as the controller finishes a move it was given whatever happens
// to the program. The mark is written right before the command: one written
// earlier, during the pause after the reply before, would count a rotation
// that a crash in that pause never sent. What may reach the disk late without
// harm (a rotation answered, a removal) goes on a thread of its own.
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
    // The rotation at `place` goes out: the mark that it is under way is on
    // the disk when this returns, and from then on it counts as made.
    void RotationGoesOut(const Place& place);
    // The controller answered the rotation.
    void RotationDone(const Place& place);
    // The table turns back to `place` to take its photo again; on the disk
    // when this returns.
    void TurnsBackTo(const Place& place);

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
    // What the disk holds is looked at only once it is all there.
    mutable zentrivo::FileWriteQueue files_;
};
