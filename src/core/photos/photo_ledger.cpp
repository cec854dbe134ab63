#include "core/photos/photo_ledger.h"

#include <algorithm>

#include "core/ascii_case.h"
#include "core/photos/photo_listing.h"

namespace zentrivo {

void PhotoLedger::Exposed(int position, const std::vector<std::string>& listed) {
    if (position == current_ || position < 1) {
        return;
    }
    current_ = position;
    if (frames_.size() < static_cast<std::size_t>(position)) {
        frames_.resize(static_cast<std::size_t>(position));
    }
    listedAtExposure_.clear();
    for (const std::string& name : listed) {
        listedAtExposure_.insert(AsciiFolded(name));
    }
    floor_ = last_;
}

void PhotoLedger::Mark(const std::string& name) {
    placed_.insert(AsciiFolded(name));
    if (last_.empty() || PhotoNameBefore(last_, name)) {
        last_ = name;
    }
}

void PhotoLedger::Place(const std::vector<std::string>& whole) {
    std::vector<std::string> fresh;
    for (const std::string& name : whole) {
        if (!Placed(name)) {
            fresh.push_back(name);
        }
    }
    SortPhotoNames(fresh);
    for (const std::string& name : fresh) {
        // Listed before the command, or sorting before a photo placed by
        // then, it was taken for an earlier position.
        const bool takenForCurrent = current_ > 0 &&
                                     listedAtExposure_.count(AsciiFolded(name)) == 0 &&
                                     (floor_.empty() || PhotoNameBefore(floor_, name));
        if (takenForCurrent && !Served(current_)) {
            frames_[static_cast<std::size_t>(current_) - 1] = name;
        } else {
            aside_.push_back(name);
        }
        Mark(name);
    }
}

bool PhotoLedger::Served(int position) const {
    return position >= 1 && static_cast<std::size_t>(position) <= frames_.size() &&
           !frames_[static_cast<std::size_t>(position) - 1].empty();
}

int PhotoLedger::Received() const {
    return static_cast<int>(std::count_if(frames_.begin(), frames_.end(),
                                          [](const std::string& f) { return !f.empty(); }));
}

std::vector<std::string> PhotoLedger::Frames() const {
    std::vector<std::string> frames = frames_;
    while (!frames.empty() && frames.back().empty()) {
        frames.pop_back();
    }
    return frames;
}

bool PhotoLedger::Placed(const std::string& name) const {
    return placed_.count(AsciiFolded(name)) != 0;
}

void PhotoLedger::Restore(int positionsDone, std::vector<std::string> received,
                          const std::vector<std::string>& aside) {
    Clear();
    std::set<std::string> setAside;
    for (const std::string& name : aside) {
        setAside.insert(AsciiFolded(name));
    }
    SortPhotoNames(received);
    for (const std::string& name : received) {
        if (setAside.count(AsciiFolded(name)) == 0 &&
            frames_.size() < static_cast<std::size_t>(std::max(positionsDone, 0))) {
            frames_.push_back(name);
        } else {
            aside_.push_back(name);
        }
        Mark(name);
    }
    current_ = static_cast<int>(frames_.size());
    floor_ = last_;
}

}  // namespace zentrivo
