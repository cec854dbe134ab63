#include "webp_parts.h"

#include <cstdint>
#include <memory>
#include <stdexcept>

#include <webp/encode.h>
#include <webp/mux.h>

#include "jpeg_file.h"
#include "webp_settings.h"

namespace zentrivo {

namespace {

using Mux = std::unique_ptr<WebPMux, void (*)(WebPMux*)>;

}  // namespace

WebpPart EncodeWebpPart(const RgbImage& frame, PixelRect part) {
    if (part.empty()) {
        part = {0, 0, frame.width, frame.height};
    }
    WebpPart encoded;
    encoded.left = part.left / 2 * 2;
    encoded.top = part.top / 2 * 2;
    const int width = part.left + part.width - encoded.left;
    const int height = part.top + part.height - encoded.top;

    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) {
        throw std::runtime_error("The WebP library could not be used.");
    }
    config.quality = kWebpQuality;
    config.method = kWebpMethod;
    picture.width = width;
    picture.height = height;
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    const std::uint8_t* corner =
        frame.row(encoded.top) + static_cast<std::size_t>(encoded.left) * 3;
    const bool done =
        WebPPictureImportRGB(&picture, corner, static_cast<int>(frame.stride())) != 0 &&
        WebPEncode(&config, &picture) != 0;
    WebPPictureFree(&picture);
    if (done) {
        encoded.bytes.assign(reinterpret_cast<const char*>(writer.mem), writer.size);
    }
    WebPMemoryWriterClear(&writer);
    if (!done) {
        throw std::runtime_error("A frame of the WebP animation could not be encoded.");
    }
    return encoded;
}

void SaveWebpParts(const std::vector<WebpPart>& parts, int width, int height, int turnMilliseconds,
                   const std::filesystem::path& path) {
    const auto failed = [] { throw std::runtime_error("The WebP animation could not be made."); };
    Mux mux(WebPMuxNew(), &WebPMuxDelete);
    if (!mux) {
        failed();
    }
    WebPMuxAnimParams animation;
    animation.bgcolor = 0xffffffff;
    animation.loop_count = 0;  // for ever
    if (WebPMuxSetAnimationParams(mux.get(), &animation) != WEBP_MUX_OK ||
        WebPMuxSetCanvasSize(mux.get(), width, height) != WEBP_MUX_OK) {
        failed();
    }
    const auto count = static_cast<long long>(parts.size());
    for (long long i = 0; i < count; ++i) {
        const WebpPart& part = parts[static_cast<std::size_t>(i)];
        WebPMuxFrameInfo frame{};
        frame.bitstream.bytes = reinterpret_cast<const std::uint8_t*>(part.bytes.data());
        frame.bitstream.size = part.bytes.size();
        frame.id = WEBP_CHUNK_ANMF;
        frame.x_offset = part.left;
        frame.y_offset = part.top;
        // Each frame starts where the turn has got to, so the durations,
        // whole milliseconds, add up to exactly one turn.
        frame.duration =
            static_cast<int>((i + 1) * turnMilliseconds / count - i * turnMilliseconds / count);
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
