#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "image_resize.h"
#include "jpeg_file.h"
#include "rgb_image.h"

namespace zentrivo {

// Reads the frames on every core at once (a scaled decode, the resize to
// `size`, turned upright) and hands them out in order. Only a few frames are ever held:
// a worker waits while it is too far ahead of the one who takes them, so a
// long turn of large photos never sits in memory whole.
class FramePipeline {
public:
    // Runs on a worker for each frame once it is resized: the place for
    // work that needs no order, such as writing it as a file.
    using EachFrame = std::function<void(std::size_t index, const RgbImage& frame)>;
    // Runs on a worker for each frame once it is resized, before EachFrame:
    // what it gives back is the frame from then on.
    using Transform = std::function<RgbImage(std::size_t index, RgbImage frame)>;
    // Makes a frame without reading a photo: a second pass that finishes
    // what its first kept.
    using Source = std::function<RgbImage(std::size_t index)>;

    // `shape` is the stored size of the first photo: the others must have
    // its proportions once upright. `size` is the frames' upright size.
    // With a `part`, only that part of each frame is made and handed on, in
    // a fraction of the time when the photos are upright as stored. With
    // `atLeast`, `size` is only the least size the frames are read at: each
    // is handed on as the decoder's scale gives it, for a transform that
    // makes its own sizes from it.
    FramePipeline(std::vector<std::filesystem::path> photos, JpegSize shape, PixelSize size,
                  int threads, EachFrame eachFrame, Transform transform = {}, PixelRect part = {},
                  bool atLeast = false);
    // `frames` frames made by `source`, in the same way.
    FramePipeline(std::size_t frames, int threads, Source source, EachFrame eachFrame);
    // Stops the workers and waits for them.
    ~FramePipeline();
    FramePipeline(const FramePipeline&) = delete;
    FramePipeline& operator=(const FramePipeline&) = delete;

    // The next frame in order; nothing once a frame has failed (see
    // Failure()), after Stop(), or past the last frame.
    std::optional<RgbImage> Next();
    void Stop();
    // The first failure, as it was thrown (a file error keeps its path and
    // the system's reason); null when none.
    std::exception_ptr Failure() const;

private:
    void Start(int threads);
    void Work();
    RgbImage Make(std::size_t index) const;
    RgbImage Read(std::size_t index) const;

    const std::vector<std::filesystem::path> photos_;
    const std::size_t count_;
    const JpegSize shape_;
    const PixelSize size_;
    const PixelRect part_;
    const bool atLeast_ = false;
    const Source source_;
    const EachFrame eachFrame_;
    const Transform transform_;
    std::size_t ahead_;  // frames that may be made beyond the next one taken

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t nextToMake_ = 0;
    std::size_t nextToTake_ = 0;
    std::map<std::size_t, RgbImage> ready_;
    std::exception_ptr failure_;
    bool stopped_ = false;
    std::vector<std::thread> workers_;  // last: they start once the rest is ready
};

}  // namespace zentrivo
