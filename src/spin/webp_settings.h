#pragma once

namespace zentrivo {

// Every animated WebP of the export is encoded alike: a good look at photo
// sizes, at the encoder's own default speed.
constexpr float kWebpQuality = 80;
constexpr int kWebpMethod = 4;

}  // namespace zentrivo
