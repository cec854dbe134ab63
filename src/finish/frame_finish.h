#pragma once

#include <cstdint>
#include <vector>

#include "frame_decisions.h"
#include "rgba_image.h"
#include "spin/image_resize.h"
#include "spin/rgb_image.h"

namespace zentrivo {

// A part of a frame, in its pixels; empty for the whole frame.
using FrameRegion = PixelRect;

struct FinishOptions {
    // The product's contact shadow kept as a soft grey under it; otherwise
    // the backdrop is white right up to the product.
    bool keepShadow = true;
    // An alpha channel instead of pure white around the product.
    bool transparent = false;
};

// Where the product lies in its frame, to a fraction of a pixel: the soft
// edge says where between two pixels it ends. Right and bottom are
// exclusive, so width is right - left.
struct ProductBox {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
};

struct FinishedFrame {
    // The frame's size: on white with every alpha 255, or transparent.
    RgbaImage image;
    // How much of each pixel is product, 0-255, rows top to bottom; only
    // from FinishFrame.
    std::vector<std::uint8_t> product;
    double productArea = 0;    // the product's share of every pixel, summed
    bool hasProduct = false;   // false: nothing differs from the backdrop
    bool touchesEdge = false;  // the product is cut by the frame's edge
    ProductBox box;            // meaningful only with hasProduct
    // The product with its kept shadow: every pixel where the shadow shows
    // (darker than white, or not wholly clear) lies within it, so a crop
    // around it leaves the shadow whole. The box itself when the shadow is
    // dropped; meaningful only with hasProduct.
    ProductBox withShadow;
};

// Builds, once, the tables the finishing reads and would otherwise build on
// its first frame; a caller may start it on a thread of its own while the
// first photos are read. Finishing waits for it if it is under way.
void PrepareFinishing();

// Cuts the product from its backdrop and sets it on white. `plate`, a photo
// of the empty table at the same settings, gives the backdrop when it is
// there and of the frame's size; otherwise the backdrop is modelled from the
// frame's border, so the product should not fill the frame to its edges.
FinishedFrame FinishFrame(const RgbImage& frame, const RgbImage* plate,
                          const FinishOptions& options);

// The same from decisions already taken on this frame, at this size or a
// smaller one (DecideFrame, with the shadow if it is kept), for `part`: the
// pixels of `where` in a frame of `frameWidth` x `frameHeight`, or the
// whole frame when `where` is empty. `plate` is the plate the decisions
// were taken with, at any size of the frame's shape; it may be null if
// they were not. For a part, the picture is of the part's size, and where
// the product is is told in the whole frame's pixels, as read in the part:
// the whole frame's when the part holds all of the product's surround
// (DecidedPart).
FinishedFrame FinishDecided(const RgbImage& part, const FrameRegion& where, int frameWidth,
                            int frameHeight, const RgbImage* plate, const FrameDecisions& decisions,
                            const FinishOptions& options);

// The part of a frame of `frameWidth` x `frameHeight` that holds what
// `decisions` kept (the product and its shadow) with the margin the edge's
// reading needs, so that this part finished alone (FinishDecided) reads as
// the whole frame would; beyond it the finished frame is bare backdrop.
// Empty when nothing was decided to be there.
FrameRegion DecidedPart(const FrameDecisions& decisions, int frameWidth, int frameHeight);

}  // namespace zentrivo
