#include "webp_parts.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

#include <webp/encode.h>
#include <webp/mux.h>

#include "jpeg_file.h"
#include "webp_settings.h"

namespace zentrivo {

namespace {

using Mux = std::unique_ptr<WebPMux, void (*)(WebPMux*)>;

// `picture` as a lossy WebP at the animation's quality, at the faster
// method of finished frames.
std::string EncodeWebp(const RgbImage& picture) {
    WebPConfig config;
    WebPPicture frame;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&frame)) {
        throw std::runtime_error("The WebP library could not be used.");
    }
    config.quality = kWebpQuality;
    config.method = kFinishedWebpMethod;
    frame.width = picture.width;
    frame.height = picture.height;
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    frame.writer = WebPMemoryWrite;
    frame.custom_ptr = &writer;
    const bool done = WebPPictureImportRGB(&frame, picture.pixels.data(),
                                           static_cast<int>(picture.stride())) != 0 &&
                      WebPEncode(&config, &frame) != 0;
    WebPPictureFree(&frame);
    std::string bytes;
    if (done) {
        bytes.assign(reinterpret_cast<const char*>(writer.mem), writer.size);
    }
    WebPMemoryWriterClear(&writer);
    if (!done) {
        throw std::runtime_error("A frame of the WebP animation could not be encoded.");
    }
    return bytes;
}

}  // namespace

namespace {

constexpr int kUnseen = 3;

bool Differs(const std::uint8_t* now, const std::uint8_t* was) {
    return std::abs(now[0] - was[0]) > kUnseen || std::abs(now[1] - was[1]) > kUnseen ||
           std::abs(now[2] - was[2]) > kUnseen;
}

// The first pixel of [from, to) that differs, stepping by `step`; `to`
// when none does. Most of a row is the same to the byte: a run of such
// pixels is passed in one comparison.
int FirstDiffering(const std::uint8_t* now, const std::uint8_t* was, int from, int to, int step) {
    constexpr int kRun = 32;
    int x = from;
    while (x != to) {
        const int run = std::min(kRun, std::abs(to - x));
        const int low = step > 0 ? x : x - run + 1;
        if (std::memcmp(now + 3 * static_cast<std::ptrdiff_t>(low),
                        was + 3 * static_cast<std::ptrdiff_t>(low),
                        3 * static_cast<std::size_t>(run)) != 0) {
            for (int k = 0; k < run; ++k, x += step) {
                if (Differs(now + 3 * static_cast<std::ptrdiff_t>(x),
                            was + 3 * static_cast<std::ptrdiff_t>(x))) {
                    return x;
                }
            }
        } else {
            x += step * run;
        }
    }
    return to;
}

}  // namespace

PixelRect WebpCanvas::Changed(const RgbImage& frame) {
    if (shown_.width != frame.width || shown_.height != frame.height) {
        shown_ = frame;
        return {0, 0, frame.width, frame.height};
    }
    // Only the box of the change is wanted, so a row is read from each end
    // only as far as the box already reaches, and its middle only until a
    // change shows there; a row the same to the byte is passed at once.
    int left = frame.width;
    int right = -1;
    int top = frame.height;
    int bottom = -1;
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* now = frame.row(y);
        const std::uint8_t* was = shown_.row(y);
        if (std::memcmp(now, was, frame.stride()) == 0) {
            continue;
        }
        // Until a change is found the box is empty (left past right).
        const bool boxed = right >= 0;
        const int leftEnd = boxed ? left : frame.width;
        const int first = FirstDiffering(now, was, 0, leftEnd, 1);
        bool differs = first < leftEnd;
        if (differs) {
            left = first;
        } else if (!boxed) {
            continue;
        }
        const int rightEnd = boxed ? right : left;
        const int last = FirstDiffering(now, was, frame.width - 1, rightEnd, -1);
        if (last > rightEnd) {
            right = last;
            differs = true;
        } else if (!boxed) {
            right = left;
        }
        if (!differs) {
            differs = FirstDiffering(now, was, left, right + 1, 1) <= right;
        }
        if (differs) {
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0) {
        return {0, 0, std::min(2, frame.width), std::min(2, frame.height)};
    }
    const PixelRect changed{left, top, right - left + 1, bottom - top + 1};
    for (int y = changed.top; y < changed.top + changed.height; ++y) {
        const std::size_t from = static_cast<std::size_t>(changed.left) * 3;
        std::copy_n(frame.row(y) + from, static_cast<std::size_t>(changed.width) * 3,
                    shown_.row(y) + from);
    }
    return changed;
}

WebpPartsAnimation::WebpPartsAnimation(int width, int height, int turnMilliseconds, int threads)
    : width_(width),
      height_(height),
      turnMilliseconds_(turnMilliseconds),
      threads_(static_cast<std::size_t>(std::max(1, threads))) {}

void WebpPartsAnimation::Add(const RgbImage& frame) {
    const PixelRect changed = canvas_.Changed(frame);
    // Only the part travels to its thread: a frame is large, its change
    // often a narrow strip.
    const int left = changed.left / 2 * 2;
    const int top = changed.top / 2 * 2;
    RgbImage part(changed.left + changed.width - left, changed.top + changed.height - top,
                  Unfilled{});
    for (int y = 0; y < part.height; ++y) {
        std::copy_n(frame.row(top + y) + static_cast<std::size_t>(left) * 3, part.stride(),
                    part.row(y));
    }
    // The parts are taken in order: were no more of them encoding than
    // there are cores, a core would wait while a large part ahead of the
    // rest was still being encoded, the ones behind it done. Parts differ
    // in size as the product turns: twice as many still left cores waiting.
    Collect(4 * threads_ - 1);
    encoding_.push_back(std::async(std::launch::async, [part = std::move(part), left, top] {
        return WebpPart{EncodeWebp(part), left, top};
    }));
}

void WebpPartsAnimation::Collect(std::size_t waiting) {
    while (encoding_.size() > waiting) {
        parts_.push_back(encoding_.front().get());
        encoding_.pop_front();
    }
}

void WebpPartsAnimation::Save(const std::filesystem::path& path) {
    Collect(0);
    const auto failed = [] { throw std::runtime_error("The WebP animation could not be made."); };
    Mux mux(WebPMuxNew(), &WebPMuxDelete);
    if (!mux) {
        failed();
    }
    WebPMuxAnimParams animation;
    animation.bgcolor = 0xffffffff;
    animation.loop_count = 0;  // for ever
    if (WebPMuxSetAnimationParams(mux.get(), &animation) != WEBP_MUX_OK ||
        WebPMuxSetCanvasSize(mux.get(), width_, height_) != WEBP_MUX_OK) {
        failed();
    }
    const auto count = static_cast<long long>(parts_.size());
    for (long long i = 0; i < count; ++i) {
        const WebpPart& part = parts_[static_cast<std::size_t>(i)];
        WebPMuxFrameInfo frame{};
        frame.bitstream.bytes = reinterpret_cast<const std::uint8_t*>(part.bytes.data());
        frame.bitstream.size = part.bytes.size();
        frame.id = WEBP_CHUNK_ANMF;
        frame.x_offset = part.left;
        frame.y_offset = part.top;
        // Each frame starts where the turn has got to, so the durations,
        // whole milliseconds, add up to exactly one turn.
        frame.duration =
            static_cast<int>((i + 1) * turnMilliseconds_ / count - i * turnMilliseconds_ / count);
        frame.dispose_method = WEBP_MUX_DISPOSE_NONE;
        frame.blend_method = WEBP_MUX_NO_BLEND;
        if (WebPMuxPushFrame(mux.get(), &frame, 0) != WEBP_MUX_OK) {
            failed();
        }
    }
    WebPData data;
    WebPDataInit(&data);
    if (WebPMuxAssemble(mux.get(), &data) != WEBP_MUX_OK) {
        WebPDataClear(&data);
        failed();
    }
    const std::string bytes(reinterpret_cast<const char*>(data.bytes), data.size);
    WebPDataClear(&data);
    WriteWholeFile(path, bytes);
}

}  // namespace zentrivo
