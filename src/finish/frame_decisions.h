#pragma once

#include <memory>

#include "spin/rgb_image.h"

namespace zentrivo {

// What a frame holds, decided once: which pixels are product, how deep the
// contact shadow is, what the backdrop is. These are smooth things, decided
// on the frame made small; only the product's edge is then read at the
// size the frame is finished at (FinishDecided). A spin decides each frame
// when it surveys where the product is, and finishes it from that.
class FrameDecisions {
public:
    struct Held;  // the decisions themselves, in the finishing's own terms

    FrameDecisions() = default;
    explicit FrameDecisions(std::shared_ptr<const Held> held) : held_(std::move(held)) {}
    bool empty() const { return !held_; }
    const Held& held() const { return *held_; }

private:
    std::shared_ptr<const Held> held_;
};

struct FinishedFrame;

// Decides `frame` at a long edge of `decidedLongEdge`, or at the size it is
// given when that is 0 or no smaller. `plate`, a photo of the empty table of
// the frame's size or of the size it is decided at (one a spin makes once
// for all its frames), gives the backdrop when it is there; otherwise it is
// modelled from the frame's border. The contact shadow is worked out only
// with `shadows`. `found`, if given, is told where the product is at the
// frame's given size (no picture).
FrameDecisions DecideFrame(const RgbImage& frame, const RgbImage* plate, bool shadows,
                           FinishedFrame* found = nullptr, int decidedLongEdge = 0);

// DecideFrame for `frame` made `decidedWidth` x `decidedHeight` (smaller)
// and smoothed there as a frame `smoothedAs` pixels wide made that small
// would be; `plate`, if any, is of the decided size.
FrameDecisions DecideFrameAt(const RgbImage& frame, int decidedWidth, int decidedHeight,
                             int smoothedAs, const RgbImage* plate, bool shadows);

}  // namespace zentrivo
