#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "file_write_queue.h"
#include "run/run_journal.h"

// The journal of the run going on or ended early, beside the settings file:
// begun when a run begins, written around each rotation and at a Stop,
// removed when the run completes or a new process is made. A journal that
// cannot be written costs the resume, never the run. It reaches the disk on
// a thread of its own: a write waits for the disk, and the run must not
// wait between a reply and its next command.
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
    // A run resumed from `journal`, with the rotations it counts as made.
    void Resumed(const zentrivo::RunJournal& journal, std::int32_t rotationsDone);
    // Before (`underway`) and after a rotation.
    void Rotation(bool underway, std::int32_t commandIndex, std::int32_t rotationsDone, int retaken,
                  const std::vector<std::string>& received,
                  const std::vector<std::string>& setAside);
    // The run stopped.
    void Stop();
    // The table was turned back to the start.
    void TurnedBack();
    // The run completed or a new process was made: nothing to resume.
    void End();

private:
    void Write();

    std::string path_;
    std::function<std::tm()> clock_;
    zentrivo::RunJournal journal_;
    bool on_ = false;
    // What the disk holds is looked at only once it is all there.
    mutable zentrivo::FileWriteQueue files_;
};
