#include "photo_check.h"

#include "core/photos/photo_arrival.h"

using namespace zentrivo;

namespace {

bool IsRotation(const std::string& command) {
    return !command.empty() && (command[0] == 'R' || command[0] == 'L');
}

}  // namespace

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
    }
}

bool PhotoCheck::Holds(const std::string& command, bool complete) const {
    return on_ && pending_ && (complete || IsRotation(command));
}

PhotoCheck::Verdict PhotoCheck::Judge(bool served, std::size_t listedNow, Clock::time_point now) {
    if (served) {
        pending_ = false;
        retakeNow_ = false;
        return Verdict::Arrived;
    }
    if (!waiting_) {
        waiting_ = true;
        deadline_ = now + kPhotoArrivalLimit;
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
