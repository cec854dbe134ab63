#pragma once

#include <filesystem>
#include <memory>

#include "rgb_image.h"

namespace zentrivo {

// An endless animated WebP made with libwebp's animation encoder: frames
// added in order, spread evenly over one turn. Throws std::runtime_error on
// failure.
class WebpAnimation {
public:
    WebpAnimation(int width, int height, int frames, int turnMilliseconds);
    ~WebpAnimation();
    WebpAnimation(const WebpAnimation&) = delete;
    WebpAnimation& operator=(const WebpAnimation&) = delete;

    void Add(const RgbImage& frame);
    // Writes the file once every frame has been added.
    void Save(const std::filesystem::path& path);

private:
    struct Encoder;
    std::unique_ptr<Encoder> encoder_;
    const int frames_;
    const int turnMilliseconds_;
    int added_ = 0;
};

}  // namespace zentrivo
