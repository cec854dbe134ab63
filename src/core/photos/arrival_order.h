#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Which photo is each position's in a run that does not wait for its
// photos. A camera numbers its files in the order it took them, and a photo
// cannot be stored before its exposure: a file first seen while position k
// was the last exposed was taken at position k or before. Within those two
// rules as many photos as can be are matched to positions, each as near as
// can be to the camera's usual delay after its exposure; so a photo that
// never came leaves its own position empty instead of moving every later
// one, and a late one still goes back to its own. (A second file of one
// exposure is set aside, unless a photo missing before it leaves a place
// it fits: the order and the times can not tell those apart.)
namespace zentrivo {

struct SeenPhoto {
    std::string name;
    // The positions exposed when the photo was first seen: the last one it
    // can be.
    int window = 0;
    std::int64_t seenMs = 0;  // when it was first seen
};

struct FramePlan {
    // The photo of each position from 1, empty for a position without one,
    // up to the last position that has one.
    std::vector<std::string> frames;
    // The photos that are no position's, in name order.
    std::vector<std::string> aside;
};

// `exposedMs`: when each position so far was exposed, on the clock of
// `seenMs`.
FramePlan PlanFrames(std::vector<SeenPhoto> seen, const std::vector<std::int64_t>& exposedMs);

// The one position of `frames` (the photo of each position from 1, empty
// for none) without a photo that the camera's file `name`, known by the time
// `window` positions were exposed, can have been taken for: after every
// photo before it in name order, before every photo after it. 0 when none
// or more than one can be.
int FailedPosition(const std::string& name, int window, const std::vector<std::string>& frames);

}  // namespace zentrivo
