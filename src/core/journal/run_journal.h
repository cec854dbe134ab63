#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/process/return_command.h"

// The journal of a run, kept beside the settings file while the run goes on,
// so that a run ended early (a Stop, a device fault, the program closed or
// killed, a power cut) can go on from the photo it stopped at instead of
// from photo 1.
namespace zentrivo {

struct RunJournal {
    std::vector<std::string> Commands;        // the run's command list
    std::int32_t PhotosDone = 0;              // photos taken (and, when checked, arrived)
    std::int32_t RotationsDone = 0;           // rotations the controller answered
    bool RotationUnderway = false;            // one more was sent and not yet answered
    std::int32_t Retaken = 0;                 // photos taken again because they did not come
    ReturnPlan Return;                        // the run's direction, steps and period
    bool TurnedBack = false;                  // the way back to the start was used since
    std::vector<std::string> PhotosAtStart;   // the camera folder at Start
    std::vector<std::string> PhotosReceived;  // the run's photos, in the order found
    std::vector<std::string> PhotosSetAside;  // those of them that are no position's
    std::string Written;                      // when it was last written, local time
    // When the run stopped, local time; empty while it goes on, and after a
    // crash or a power cut, which leave no such moment.
    std::string Stopped;
};

// The file beside "opcije.ini" in `settingsFolder`.
std::string RunJournalPath(const std::string& settingsFolder);

// The journal as text, and back. A text that is cut short, altered or not a
// journal gives nothing.
std::string RunJournalText(const RunJournal& journal);
std::optional<RunJournal> ParseRunJournal(const std::string& text);

// Written through a temporary file, so that a crash or a power cut in the
// middle leaves the journal before or after, never half of it.
bool WriteRunJournal(const std::string& path, const RunJournal& journal);

struct RunJournalRead {
    bool exists = false;
    std::optional<RunJournal> journal;  // empty when the file is damaged
};
RunJournalRead ReadRunJournal(const std::string& path);
bool RunJournalExists(const std::string& path);
// Removes the journal; a damaged one is kept aside with ".damaged" added.
void RemoveRunJournal(const std::string& path);
void SetAsideDamagedJournal(const std::string& path);

// When the run stopped, as best known: the moment of its Stop, else the
// journal's last write.
std::string StoppedAt(const RunJournal& journal);

// The place in the command list where the run goes on: its next photo
// command, or the end of the list when every photo was taken.
std::size_t ResumeIndex(const RunJournal& journal);
// The rotations the turntable has made at that place: a rotation sent before
// the end is taken as made, as the controller finishes what it was given.
std::int32_t RotationsAtResume(const RunJournal& journal);
// The command that turns the table from the start to that place, when the
// way back was used since; empty when the table is there already.
std::string TurnToResumeCommand(const RunJournal& journal);
// What a resumed run plays before its next command. The controller may have
// been switched off meanwhile: the commands before the first photo set its
// step mode, period and focus again, then the table turns to its place if
// need be.
std::vector<std::string> ResumeSetup(const RunJournal& journal);

// The camera folder's photos when the run goes on: those of the run so far,
// in order (the journal's, then, when fewer than the photos taken, the first
// new ones stored after its last write), and the rest, which the run leaves
// alone.
struct ResumedPhotos {
    std::vector<std::string> known;
    std::vector<std::string> received;
};
ResumedPhotos PhotosToResume(const RunJournal& journal, const std::vector<std::string>& listing);

}  // namespace zentrivo
