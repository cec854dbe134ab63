#include "core/photos/photo_ledger.h"

#include <algorithm>
#include <chrono>

#include "core/ascii_case.h"
#include "core/photos/photo_listing.h"

namespace zentrivo {

std::int64_t PhotoLedger::SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void PhotoLedger::Note(const std::vector<std::string>& listed) {
    const std::int64_t now = clock_();
    for (const std::string& name : listed) {
        if (!Placed(name)) {
            seen_.push_back(SeenPhoto{name, current_ - static_cast<int>(restored_), now});
            placed_.insert(AsciiFolded(name));
        }
    }
}

FramePlan PhotoLedger::Plan() const {
    FramePlan plan = PlanFrames(seen_, exposedMs_);
    plan.frames.insert(plan.frames.begin(), frames_.begin(), frames_.end());
    while (!plan.frames.empty() && plan.frames.back().empty()) {
        plan.frames.pop_back();
    }
    plan.aside.insert(plan.aside.begin(), aside_.begin(), aside_.end());
    return plan;
}

void PhotoLedger::Exposed(int position, const std::vector<std::string>& listed) {
    if (byArrival_) {
        Note(listed);
        while (current_ < position) {
            exposedMs_.push_back(clock_());
            ++current_;
        }
        return;
    }
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

std::size_t PhotoLedger::FailedPhotos::Count() const {
    return unplaced.size() + static_cast<std::size_t>(std::count_if(
                                 byPosition.begin(), byPosition.end(),
                                 [](const std::string& name) { return !name.empty(); }));
}

void PhotoLedger::Rewind(int position) {
    const int before = std::max(position - 1, static_cast<int>(restored_));
    if (byArrival_) {
        const int window = before - static_cast<int>(restored_);
        for (SeenPhoto& photo : seen_) {
            photo.window = std::min(photo.window, window);
        }
        exposedMs_.resize(std::min(exposedMs_.size(), static_cast<std::size_t>(window)));
        for (SeenPhoto& photo : failed_) {
            photo.window = std::min(photo.window, before);
        }
    }
    current_ = std::min(current_, before);
}

void PhotoLedger::Mark(const std::string& name) {
    placed_.insert(AsciiFolded(name));
    if (last_.empty() || PhotoNameBefore(last_, name)) {
        last_ = name;
    }
}

void PhotoLedger::Place(const std::vector<std::string>& whole) {
    if (byArrival_) {
        Note(whole);
        return;
    }
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
    const std::vector<std::string>& frames = byArrival_ ? Frames() : frames_;
    return position >= 1 && static_cast<std::size_t>(position) <= frames.size() &&
           !frames[static_cast<std::size_t>(position) - 1].empty();
}

int PhotoLedger::Received() const {
    const std::vector<std::string> frames = Frames();
    return static_cast<int>(std::count_if(frames.begin(), frames.end(),
                                          [](const std::string& f) { return !f.empty(); }));
}

std::vector<std::string> PhotoLedger::Frames() const {
    if (byArrival_ && !seen_.empty()) {
        return Plan().frames;
    }
    std::vector<std::string> frames = frames_;
    while (!frames.empty() && frames.back().empty()) {
        frames.pop_back();
    }
    return frames;
}

std::vector<std::string> PhotoLedger::SetAside() const {
    return byArrival_ ? Plan().aside : aside_;
}

bool PhotoLedger::Placed(const std::string& name) const {
    return placed_.count(AsciiFolded(name)) != 0;
}

void PhotoLedger::DownloadFailed(const std::string& name) {
    if (byArrival_) {
        failed_.push_back(SeenPhoto{name, current_, clock_()});
    }
}

PhotoLedger::FailedPhotos PhotoLedger::FailedDownloads() const {
    FailedPhotos result;
    std::vector<std::string> frames = Frames();
    std::vector<SeenPhoto> failed;
    for (const SeenPhoto& photo : failed_) {
        // One that came after all, downloaded again, is no failure; one that
        // failed twice is named once.
        const auto same = [&photo](const SeenPhoto& p) { return p.name == photo.name; };
        if (!Placed(photo.name) && std::none_of(failed.begin(), failed.end(), same)) {
            failed.push_back(photo);
        }
    }
    std::stable_sort(failed.begin(), failed.end(), [](const SeenPhoto& a, const SeenPhoto& b) {
        return PhotoNameBefore(a.name, b.name);
    });
    for (const SeenPhoto& photo : failed) {
        const int position = FailedPosition(photo.name, photo.window, frames);
        if (position == 0) {
            result.unplaced.push_back(photo.name);
            continue;
        }
        const auto at = static_cast<std::size_t>(position);
        frames.resize(std::max(frames.size(), at));
        result.byPosition.resize(frames.size());
        // It holds its place against the failed files after it.
        frames[at - 1] = photo.name;
        result.byPosition[at - 1] = photo.name;
    }
    return result;
}

void PhotoLedger::Restore(int positionsDone, std::vector<std::string> received,
                          const std::vector<std::string>& aside) {
    const bool byArrival = byArrival_;
    Clear();
    byArrival_ = byArrival;
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
    // By arrival, the frames restored stay; what is seen from now on is
    // matched to the positions after them.
    restored_ = frames_.size();
}

}  // namespace zentrivo
