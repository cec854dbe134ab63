#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

// "Check that each photo arrives": the next photo is taken only once the
// camera has stored the photo before it, which it does while the table turns
// on; a photo that does not come is taken again (the table turned back to
// its place), then the run pauses for the user.
class PhotoCheck {
public:
    using Clock = std::chrono::steady_clock;

    // At a Start: on when the user ticked it; nothing from an earlier run.
    void Begin(bool on) {
        *this = PhotoCheck{};
        on_ = on;
    }
    bool On() const { return on_; }

    // Before a photo command: true when it begins a new photo; a photo taken
    // again is the same one, and a first shot stored late is as good as the
    // retake.
    bool BeginsPhoto();
    void NewPhoto(int photoIndex, std::size_t listedNow);
    // The controller accepted the photo command.
    void Taken();

    // Whether `command` (or the end of the run, when `complete`) must wait
    // until the photo taken last has been accounted for.
    bool Holds(const std::string& command, bool complete) const;

    enum class Verdict {
        Arrived,    // go on
        LookAgain,  // not yet: look again shortly
        TakeAgain,  // rewind to the photo command
        AskUser,    // taken three times and still missing: pause
    };
    // `served`: the photo has arrived whole for its position; `listedNow`
    // counts every new photo listed, whole or not.
    Verdict Judge(bool served, std::size_t listedNow, Clock::time_point now);
    // The photo taken last is waited for, until Deadline().
    bool Waiting() const { return pending_ && waiting_; }
    Clock::time_point Deadline() const { return deadline_; }

    // Where the photo command stands in the list.
    int PhotoIndex() const { return photoIndex_; }
    // Photos taken again over the run.
    int Retaken() const { return retaken_; }
    void SetRetaken(int retaken) { retaken_ = retaken; }

private:
    bool on_ = false;
    bool pending_ = false;    // a photo taken and not yet accounted for
    bool waiting_ = false;    // its wait has begun, until `deadline_`
    bool retaking_ = false;   // the run was rewound to take it again
    bool retakeNow_ = false;  // paused for the user: Continue takes it again
    int photoIndex_ = 0;
    std::size_t baselineListed_ = 0;
    int attempts_ = 0;  // times this photo was taken again
    int retaken_ = 0;
    Clock::time_point deadline_;
    std::optional<Clock::time_point> takenAt_;  // the photo awaited was taken then
};
