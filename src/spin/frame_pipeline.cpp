#include "frame_pipeline.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "jpeg_file.h"

namespace zentrivo {
namespace {

RgbImage Cut(const RgbImage& whole, const PixelRect& part) {
    RgbImage cut(part.width, part.height, Unfilled{});
    for (int y = 0; y < part.height; ++y) {
        const std::uint8_t* from =
            whole.row(part.top + y) + static_cast<std::size_t>(part.left) * 3;
        std::copy(from, from + cut.stride(), cut.row(y));
    }
    return cut;
}

}  // namespace

FramePipeline::FramePipeline(std::vector<std::filesystem::path> photos, JpegSize shape,
                             PixelSize size, int threads, EachFrame eachFrame, Transform transform,
                             PixelRect part, bool atLeast)
    : photos_(std::move(photos)),
      count_(photos_.size()),
      shape_(shape),
      size_(size),
      part_(part),
      atLeast_(atLeast),
      eachFrame_(std::move(eachFrame)),
      transform_(std::move(transform)) {
    Start(threads);
}

FramePipeline::FramePipeline(std::size_t frames, int threads, Source source, EachFrame eachFrame)
    : count_(frames), source_(std::move(source)), eachFrame_(std::move(eachFrame)) {
    Start(threads);
}

void FramePipeline::Start(int threads) {
    const int count = std::max(1, threads);
    ahead_ = 2 * static_cast<std::size_t>(count);
    for (int i = 0; i < count; ++i) {
        workers_.emplace_back([this] { Work(); });
    }
}

FramePipeline::~FramePipeline() {
    Stop();
    for (std::thread& t : workers_) {
        t.join();
    }
}

void FramePipeline::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

std::exception_ptr FramePipeline::Failure() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

RgbImage FramePipeline::Make(std::size_t index) const {
    RgbImage frame = source_ ? source_(index) : Read(index);
    if (transform_) {
        frame = transform_(index, std::move(frame));
    }
    if (eachFrame_) {
        eachFrame_(index, frame);
    }
    return frame;
}

RgbImage FramePipeline::Read(std::size_t index) const {
    const std::filesystem::path& photo = photos_[index];
    JpegSize stored;
    // A photo stored turned is made whole, then cut.
    const PartWanted onlyPart = [this](const JpegSize& as, PixelSize decoded) {
        return part_.empty() || as.orientation != 1 ? PixelRect{} : AreaRead(decoded, size_, part_);
    };
    DecodedPart decoded =
        DecodeJpegPart(photo, std::max(size_.width, size_.height), onlyPart, &stored);
    // Photos of one turn share one shape; a photo turned on its side or
    // cropped would otherwise come out stretched.
    const double wanted = static_cast<double>(shape_.UprightWidth()) / shape_.UprightHeight();
    const double found = static_cast<double>(stored.UprightWidth()) / stored.UprightHeight();
    if (std::abs(found - wanted) > 0.01 * wanted) {
        const auto size = [](const JpegSize& s) {
            return std::to_string(s.UprightWidth()) + " x " + std::to_string(s.UprightHeight());
        };
        throw ImageFileError("The photo \"" + photo.filename().string() + "\" is " + size(stored) +
                             " pixels, not the shape of the first photo of the turn (" +
                             size(shape_) + ").");
    }
    RgbImage frame;
    if (!part_.empty() && stored.orientation == 1) {
        frame =
            ResizePartByArea(decoded.image, decoded.left, decoded.top, decoded.whole, size_, part_);
    } else {
        const bool swap = SwapsSides(stored.orientation);
        const int width = swap ? size_.height : size_.width;
        const int height = swap ? size_.width : size_.height;
        // Decoded at the very size, as a survey's frame often is: no copy.
        const bool asDecoded =
            atLeast_ || (decoded.image.width == width && decoded.image.height == height);
        frame = Upright(
            asDecoded ? std::move(decoded.image) : ResizeByArea(decoded.image, width, height),
            stored.orientation);
        if (!part_.empty()) {
            frame = Cut(frame, part_);
        }
    }
    return frame;
}

void FramePipeline::Work() {
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] {
                return stopped_ || nextToMake_ >= count_ || nextToMake_ < nextToTake_ + ahead_;
            });
            if (stopped_ || nextToMake_ >= count_) {
                return;
            }
            index = nextToMake_++;
        }
        try {
            RgbImage frame = Make(index);
            std::lock_guard<std::mutex> lock(mutex_);
            ready_.emplace(index, std::move(frame));
        } catch (const std::exception&) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) {
                failure_ = std::current_exception();
            }
            stopped_ = true;
        }
        changed_.notify_all();
    }
}

std::optional<RgbImage> FramePipeline::Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (nextToTake_ >= count_) {
        return std::nullopt;
    }
    changed_.wait(lock, [this] { return stopped_ || ready_.count(nextToTake_) != 0; });
    if (stopped_) {
        return std::nullopt;
    }
    auto found = ready_.find(nextToTake_);
    RgbImage frame = std::move(found->second);
    ready_.erase(found);
    ++nextToTake_;
    lock.unlock();
    changed_.notify_all();
    return frame;
}

}  // namespace zentrivo
