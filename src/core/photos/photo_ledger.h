#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/photos/arrival_order.h"

// Which photo of the camera folder belongs to which position of a run that
// checks each photo. Cameras number their files in the order of exposure,
// and the photo list sorts by name, so a photo that sorts before one already
// placed was taken earlier: a late first shot that comes after its retake,
// or a second file of a shot, is set aside instead of passing for the photo
// of the next position, and every later frame keeps its angle.
namespace zentrivo {

class PhotoLedger {
public:
    // Milliseconds on a steady clock: when a photo was seen, a position
    // exposed.
    using Clock = std::function<std::int64_t()>;
    explicit PhotoLedger(Clock clock = SteadyMs) : clock_(std::move(clock)) {}

    void Clear() { *this = PhotoLedger{clock_}; }
    // Cleared, and kept by arrival from now on.
    void ByArrival() {
        Clear();
        byArrival_ = true;
    }
    bool KeptByArrival() const { return byArrival_; }

    // The first photo command of `position` (counted from 1) is about to be
    // sent; `listed` are the run's new photos listed now, none of which can be
    // its photo. A retake of the same position changes nothing: a first shot
    // stored late serves as well as the retake.
    void Exposed(int position, const std::vector<std::string>& listed);
    // The run goes back to expose `position` and those after it again, none
    // of which has its photo: what was seen so far is no photo of theirs.
    void Rewind(int position);
    // Places each photo of `whole` (new photos arrived whole) not placed yet:
    // the first in name order that was taken for the current position is its
    // photo, every other one is set aside.
    void Place(const std::vector<std::string>& whole);

    bool Served(int position) const;
    // The last position exposed so far.
    int LastExposed() const { return current_; }
    // Positions that have their photo.
    int Received() const;
    // The photo of each position in order, empty for a position without one,
    // up to the last position that has one.
    std::vector<std::string> Frames() const;
    // Photos that are no position's, in the order they were set aside (by
    // arrival: in name order).
    std::vector<std::string> SetAside() const;
    bool Placed(const std::string& name) const;

    // By arrival: the camera's file `name` could not be downloaded, known
    // now. It is no frame, but names the position it was taken for.
    void DownloadFailed(const std::string& name);
    struct FailedPhotos {
        // The failed file of each position from 1 that has no photo, empty
        // for the others.
        std::vector<std::string> byPosition;
        // Those the camera's order and their time do not tie to one position
        // without a photo, in name order.
        std::vector<std::string> unplaced;
        // Every failed file, placed or not.
        std::size_t Count() const;
    };
    FailedPhotos FailedDownloads() const;

    // A resumed run with `positionsDone` positions behind it: of `received`,
    // those not in `aside` are their photos in name order, and any more are
    // set aside.
    void Restore(int positionsDone, std::vector<std::string> received,
                 const std::vector<std::string>& aside);

private:
    void Mark(const std::string& name);
    // By arrival: notes each of `listed` not seen before, as taken at the
    // positions exposed by now.
    void Note(const std::vector<std::string>& listed);

    FramePlan Plan() const;
    static std::int64_t SteadyMs();

    Clock clock_;
    bool byArrival_ = false;
    // By arrival: the photos seen and the positions exposed since the last
    // Restore, whose frames stay as they were restored.
    std::vector<SeenPhoto> seen_;
    std::vector<std::int64_t> exposedMs_;
    // By arrival: the files that could not be downloaded, each with the
    // positions exposed by then (counted from the first, not the restored).
    std::vector<SeenPhoto> failed_;
    std::size_t restored_ = 0;

    int current_ = 0;
    std::vector<std::string> frames_;  // by position, from 1
    std::vector<std::string> aside_;
    std::set<std::string> placed_;            // case-folded
    std::set<std::string> listedAtExposure_;  // case-folded
    std::string last_;                        // the last placed photo in name order
    std::string floor_;                       // the same when the current position was exposed
};

}  // namespace zentrivo
