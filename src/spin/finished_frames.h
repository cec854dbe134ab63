#pragma once

#include <cstddef>
#include <filesystem>
#include <future>
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
// product's box before any frame can be cropped, so it takes two passes.
// The first surveys the frames and, when they are finished on white or
// transparent, finishes the part of each that holds its product and keeps
// it on disk (KeepIn); the second crops those (FinishKept), reading no
// photo again. Framing alone reads the photos again in the second pass
// (Finish). Survey(), Finish() and FinishKept() run on the pipeline's
// workers, each frame's index on one worker only.
class FrameFinisher {
public:
    // Reads the plate, if any, at the frames' working size; throws
    // ImageFileError. `shape` is the first photo's stored size.
    FrameFinisher(const SpinRequest& request, std::size_t frames, JpegSize shape);

    // The frames' size as they are handed in, and as they come out.
    PixelSize WorkSize() const { return work_; }
    // The size the first pass reads them at (see Survey); with
    // FinishesInSurvey() the least, as they come from the decoder.
    PixelSize SurveySize() const { return FinishesInSurvey() ? work_ : survey_; }
    PixelSize OutputSize() const { return output_; }
    bool NeedsSurvey() const { return request_.finish.framing == SpinFinish::Framing::kSpin; }
    // Whether the first pass finishes the frames, and the second only crops
    // what it kept.
    bool FinishesInSurvey() const {
        return NeedsSurvey() && request_.finish.background != SpinFinish::Background::kAsShot;
    }
    // The folder, made and emptied by the caller, that the first pass keeps
    // its finished parts in; each is taken away once cropped.
    void KeepIn(const std::filesystem::path& folder) { kept_ = folder; }

    // First pass: where the product is in this frame, read at SurveySize(),
    // and with FinishesInSurvey() its finished part kept; gives nothing
    // back.
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
    // The same from the part the first pass kept, with FinishesInSurvey().
    RgbImage FinishKept(std::size_t index, const std::filesystem::path& stills);

    std::vector<std::string> Doubts(const std::vector<std::filesystem::path>& photos) const;

private:
    FinishOptions Options() const;
    static const RgbImage* PlateAt(const RgbImage& plate);
    // Keeps where the product was found in the frame, for the framing and
    // the checks.
    void Record(std::size_t index, const FinishedFrame& finished);
    void SurveyAndFinish(std::size_t index, const RgbImage& frame);
    std::filesystem::path KeptPath(std::size_t index) const;
    // The finished frame on white, and as a still in `stills` if wanted.
    RgbImage Delivered(std::size_t index, const RgbaImage& picture,
                       const std::filesystem::path& stills) const;
    // The same for a frame already on white.
    RgbImage Delivered(std::size_t index, RgbImage onWhite,
                       const std::filesystem::path& stills) const;

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
    std::filesystem::path kept_;
    // The finishing's tables, built while the first photos are read; last,
    // so that it is waited for before anything else goes.
    std::future<void> prepared_;
};

}  // namespace zentrivo
