#include "webp_animation.h"

#include <stdexcept>
#include <string>

#include <webp/encode.h>
#include <webp/mux.h>

#include "jpeg_file.h"
#include "webp_settings.h"

namespace zentrivo {

struct WebpAnimation::Encoder {
    WebPAnimEncoder* encoder = nullptr;
    WebPConfig config;
    ~Encoder() { WebPAnimEncoderDelete(encoder); }
};

WebpAnimation::WebpAnimation(int width, int height, int frames, int turnMilliseconds)
    : encoder_(std::make_unique<Encoder>()), frames_(frames), turnMilliseconds_(turnMilliseconds) {
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&encoder_->config)) {
        throw std::runtime_error(
            "The WebP library does not match the one the program was built with.");
    }
    options.anim_params.loop_count = 0;  // for ever
    options.anim_params.bgcolor = 0xffffffff;
    encoder_->config.quality = kWebpQuality;
    encoder_->config.method = kWebpMethod;
    encoder_->config.thread_level = 1;
    encoder_->encoder = WebPAnimEncoderNew(width, height, &options);
    if (encoder_->encoder == nullptr) {
        throw std::runtime_error("The WebP animation could not be started.");
    }
}

WebpAnimation::~WebpAnimation() = default;

void WebpAnimation::Add(const RgbImage& frame) {
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) {
        throw std::runtime_error("The WebP library could not be used.");
    }
    picture.use_argb = 1;  // the animation encoder works on ARGB
    picture.width = frame.width;
    picture.height = frame.height;
    const bool imported =
        WebPPictureImportRGB(&picture, frame.pixels.data(), static_cast<int>(frame.stride())) != 0;
    // Each frame starts where the turn has got to, so the durations, whole
    // milliseconds, add up to exactly one turn.
    const int start =
        static_cast<int>(static_cast<long long>(added_) * turnMilliseconds_ / frames_);
    const bool added =
        imported && WebPAnimEncoderAdd(encoder_->encoder, &picture, start, &encoder_->config) != 0;
    WebPPictureFree(&picture);
    if (!added) {
        throw std::runtime_error(std::string("Frame ") + std::to_string(added_ + 1) +
                                 " could not be added to the WebP animation: " +
                                 WebPAnimEncoderGetError(encoder_->encoder));
    }
    ++added_;
}

void WebpAnimation::Save(const std::filesystem::path& path) {
    WebPData data;
    WebPDataInit(&data);
    const bool assembled =
        WebPAnimEncoderAdd(encoder_->encoder, nullptr, turnMilliseconds_, nullptr) != 0 &&
        WebPAnimEncoderAssemble(encoder_->encoder, &data) != 0;
    if (!assembled) {
        WebPDataClear(&data);
        throw std::runtime_error(std::string("The WebP animation could not be made: ") +
                                 WebPAnimEncoderGetError(encoder_->encoder));
    }
    const std::string bytes(reinterpret_cast<const char*>(data.bytes), data.size);
    WebPDataClear(&data);
    WriteWholeFile(path, bytes);
}

}  // namespace zentrivo
