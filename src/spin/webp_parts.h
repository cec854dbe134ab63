#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "image_resize.h"
#include "rgb_image.h"

namespace zentrivo {

// One frame of an animated WebP encoded on its own: only the part of it
// that differs from what the frames before left shown.
struct WebpPart {
    std::string bytes;  // a lossy WebP of the part
    int left = 0;
    int top = 0;
};

// What an animation built of parts shows so far, to find where each next
// frame changes it.
class WebpCanvas {
public:
    // The part of `frame` that differs from what is shown by more than a
    // few steps in a channel (less than the lossy encoding itself changes),
    // all of the first frame; that part is shown from then on. A frame that
    // changes nothing gives a corner of two pixels: a frame of a turn is
    // still a frame of the animation.
    PixelRect Changed(const RgbImage& frame);

private:
    RgbImage shown_;
};

// The endless animated WebP of WebpAnimation for finished frames, at
// kFinishedWebpMethod, made of frames encoded on several threads at once:
// each frame's changed part is found in order, as it is added, and encoded
// on a thread of its own, at most four times `threads` at a time, each part
// replacing what it covers. The animation encoder would take one core for
// all of them. Throws std::runtime_error on failure.
class WebpPartsAnimation {
public:
    WebpPartsAnimation(int width, int height, int turnMilliseconds, int threads);

    void Add(const RgbImage& frame);
    // Writes the file once every frame has been added; as WriteWholeFile
    // when it cannot be written.
    void Save(const std::filesystem::path& path);

private:
    void Collect(std::size_t waiting);

    const int width_;
    const int height_;
    const int turnMilliseconds_;
    const std::size_t threads_;
    WebpCanvas canvas_;
    std::deque<std::future<WebpPart>> encoding_;
    std::vector<WebpPart> parts_;
};

}  // namespace zentrivo
