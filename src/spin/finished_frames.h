#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "finish/frame_finish.h"
#include "finish/spin_framing.h"
#include "frame_checks.h"
#include "image_resize.h"
#include "jpeg_file.h"
#include "large_buffers.h"
#include "rgb_image.h"
#include "spin_request.h"

namespace zentrivo {

// The finishing of an export's frames: the product cut from its backdrop
// and, for a spin, every frame cropped alike. Spin framing needs every
// product's box before any frame can be cropped, so its frames are read
// twice: once to survey them, once to finish them. Survey() and Finish()
// run on the pipeline's workers, each frame's index on one worker only.
class FrameFinisher {
public:
    // Reads the plate, if any, at the frames' working size; throws
    // ImageFileError. `shape` is the first photo's stored size.
    FrameFinisher(const SpinRequest& request, std::size_t frames, JpegSize shape);

    // The frames' size as they are handed in, and as they come out.
    PixelSize WorkSize() const { return work_; }
    // The size the first pass reads them at (see Survey).
    PixelSize SurveySize() const { return survey_; }
    PixelSize OutputSize() const { return output_; }
    bool NeedsSurvey() const { return request_.finish.framing == SpinFinish::Framing::kSpin; }

    // First pass: where the product is in this frame, read at SurveySize();
    // gives nothing back.
    RgbImage Survey(std::size_t index, RgbImage frame);
    // Between the passes: one crop for the whole spin.
    void PlanFraming();
    // The part of each frame at WorkSize() that the second pass reads: with
    // one framing for the spin, what its crop shows; else all (empty).
    PixelRect FramedPart() const;
    // Second pass: the finished frame on white for the viewer, the WebP and
    // the video; its still, if asked for, written into `stills`. `frame` is
    // the FramedPart() of the frame at WorkSize().
    RgbImage Finish(std::size_t index, const RgbImage& frame, const std::filesystem::path& stills);

    std::vector<std::string> Doubts(const std::vector<std::filesystem::path>& photos) const;

private:
    FinishOptions Options() const;
    static const RgbImage* PlateAt(const RgbImage& plate);
    // Keeps where the product was found in the frame, for the framing and
    // the checks.
    void Record(std::size_t index, const FinishedFrame& finished);

    LargeBuffersKept buffers_;  // while the frames are finished
    const SpinRequest& request_;
    PixelSize work_;
    PixelSize output_;
    PixelSize survey_;
    PixelSize decided_;  // the size a spin's frames are decided at
    // The clean plate at the working size, or, for a spin, at decided_.
    RgbImage plate_;
    std::vector<FrameCheck> checks_;
    std::vector<ProductBox> boxes_;
    std::vector<ProductBox> withShadow_;  // the product with its kept shadow
    SpinFraming framing_;
    // Each frame's, from the survey to its finishing; small, as they hold
    // the product's mask and shadow only where they are.
    std::vector<FrameDecisions> decisions_;
};

}  // namespace zentrivo
