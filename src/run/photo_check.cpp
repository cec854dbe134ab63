#include "photo_check.h"

#include "core/photos/photo_arrival.h"
#include "core/process/retake_plan.h"

using namespace zentrivo;

bool PhotoCheck::BeginsPhoto() {
    if (!on_) {
        return false;
    }
    if (retaking_) {
        retaking_ = false;
        return false;
    }
    return true;
}

void PhotoCheck::NewPhoto(int photoIndex, std::size_t listedNow) {
    baselineListed_ = listedNow;
    attempts_ = 0;
    photoIndex_ = photoIndex;
}

void PhotoCheck::Taken() {
    if (on_) {
        pending_ = true;
        waiting_ = false;
        takenAt_ = Clock::now();
    }
}

bool PhotoCheck::Holds(const std::string& command, bool complete) const {
    // The table turns on while the camera stores the photo: the next photo
    // command, or the end, waits for it. A turn the run could not undo for
    // a retake waits for it too.
    return on_ && pending_ && (complete || IsPhotoCommand(command) || !CanTurnBack(command));
}

PhotoCheck::Verdict PhotoCheck::Judge(bool served, std::size_t listedNow, Clock::time_point now) {
    if (served) {
        pending_ = false;
        retakeNow_ = false;
        return Verdict::Arrived;
    }
    if (!waiting_) {
        // The camera's time runs from the photo, also while the table turns;
        // after a pause for the user, from the Continue.
        waiting_ = true;
        deadline_ = takenAt_.value_or(now) + kPhotoArrivalLimit;
        takenAt_.reset();
    }
    // A photo that came while the run was paused for it may still be
    // written: Continue waits for it before it takes the photo again.
    const bool cameMeanwhile = listedNow > baselineListed_ && now < deadline_;
    if ((retakeNow_ && !cameMeanwhile) || (now >= deadline_ && attempts_ < kMostRetakes)) {
        ++attempts_;
        ++retaken_;
        retakeNow_ = false;
        pending_ = false;
        retaking_ = true;
        return Verdict::TakeAgain;
    }
    if (now >= deadline_) {
        attempts_ = 0;
        retakeNow_ = true;
        waiting_ = false;
        return Verdict::AskUser;
    }
    return Verdict::LookAgain;
}
