#pragma once

#include <vector>

#include "frame_finish.h"
#include "rgba_image.h"
#include "spin/rgb_image.h"

namespace zentrivo {

struct FramingOptions {
    double fill = 0.85;  // the share of the output the product's box fills
    int width = 2000;    // the output's size
    int height = 2000;
};

// One crop and scale for every frame of a spin, so the product turns in
// place: the box around the product in all frames together, centred (its
// middle is the turntable's axis) and scaled to fill the chosen share, with
// a kept shadow held inside the frame.
struct SpinFraming {
    double centreX = 0;  // in the frames' pixels; maps to the output's middle
    double centreY = 0;
    double scale = 1;  // output pixels per frame pixel
    int width = 0;     // the output's size
    int height = 0;
    bool anyProduct = false;  // false: the whole frame is fitted instead
};

// `boxes` holds the boxes of the frames that have a product. With none the
// whole frame is fitted, never a crop of nothing.
SpinFraming PlanSpinFraming(const std::vector<ProductBox>& boxes, int frameWidth, int frameHeight,
                            const FramingOptions& options);

// As above, with `whole` holding what must not be cut in those frames: the
// product with its kept shadow (FinishedFrame::withShadow). The product's
// boxes still set the axis and the share it fills, so a kept shadow does not
// shrink the product; the spin is centred on the whole boxes from top to
// bottom, and only where they would still come within 16 px (or 1 % of a
// large output) of its edge is the product made smaller, as a cut shadow is
// a grey line at the edge.
SpinFraming PlanSpinFraming(const std::vector<ProductBox>& boxes,
                            const std::vector<ProductBox>& whole, int frameWidth, int frameHeight,
                            const FramingOptions& options);

// The part of a frame of this size that `framing` shows, with the pixels
// around it that its scaling reads; empty without a product (the whole
// frame is shown).
FrameRegion FramedRegion(const SpinFraming& framing, int frameWidth, int frameHeight);

// The same framing of that part of the frame alone.
SpinFraming WithinRegion(SpinFraming framing, const FrameRegion& region);

// A finished frame cropped and scaled as `framing` says; what lies beyond
// the frame is white, or transparent for a transparent frame.
RgbaImage ApplyFraming(const RgbaImage& finished, const SpinFraming& framing, bool transparent);
// The same for a frame finished on white, or shown as shot.
RgbImage ApplyFraming(const RgbImage& finished, const SpinFraming& framing);

struct FinishedSpinFrame {
    RgbaImage image;           // framing.width x framing.height
    bool hasProduct = false;   // false: this frame showed no product
    bool touchesEdge = false;  // the product was cut by the photo's edge
};

struct FinishedSpin {
    SpinFraming framing;
    std::vector<FinishedSpinFrame> frames;
};

// Finishes every frame against the one plate (may be null) and frames them
// alike. Holds every frame at once: for long spins of large photos call
// FinishFrame per frame, keep the boxes, then PlanSpinFraming and
// ApplyFraming in a second pass.
FinishedSpin FinishSpin(const std::vector<RgbImage>& frames, const RgbImage* plate,
                        const FinishOptions& finish, const FramingOptions& framing);

}  // namespace zentrivo
