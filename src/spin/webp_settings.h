#pragma once

namespace zentrivo {

// Every animated WebP of the export has a good look at photo sizes and,
// but for the one below, is encoded at the encoder's own default speed.
constexpr float kWebpQuality = 80;
constexpr int kWebpMethod = 4;

// A spin finished on white or clear and framed as one is encoded at a
// faster method. Its product fills most of each frame and changes wherever
// it turns, so its frames take far longer to encode than a plain export's;
// at this method the encoder skips its rate-distortion search and they take
// about half as long, for a file a few per cent larger and a few tenths
// of a decibel less.
constexpr int kFinishedWebpMethod = 2;

}  // namespace zentrivo
