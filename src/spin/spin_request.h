#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zentrivo {

// Which of the source's photos make the turn.
struct FrameChoice {
    enum class Kind { kAll, kEvery, kCount };
    Kind kind = Kind::kAll;
    int every = 1;  // kEvery: take the 1st photo, then every n-th after it
    int count = 0;  // kCount: this many photos spread evenly over the turn
};

struct SpinFormats {
    bool html = true;  // a folder viewer: index.html, spin.js and frames/
    bool webp = true;  // spin.webp, an endless animated WebP
    bool mp4 = false;  // spin.mp4, H.264 made by the ffmpeg program
};

// The product cut from its backdrop and framed alike in every frame. With
// everything at its default the photos are used as shot.
struct SpinFinish {
    enum class Background { kAsShot, kWhite, kTransparent };
    enum class Framing { kAsShot, kSpin };
    Background background = Background::kAsShot;
    bool dropShadow = false;  // the contact shadow kept as a soft grey, or none
    // kSpin: every frame cropped alike around the turntable's axis, square,
    // the long edge on a side.
    Framing framing = Framing::kAsShot;
    int fillPercent = 85;         // the share of a framed frame the product fills
    std::filesystem::path plate;  // a photo of the empty table; none: the frame's border
    bool stills = false;          // stills/1.jpg, ... (1.png, ... when transparent)

    // Whether the frames are finished at all.
    bool Any() const { return background != Background::kAsShot || framing != Framing::kAsShot; }
};

struct SpinRequest {
    std::filesystem::path source;  // the shoot's photos, 1.jpg, 2.jpg, ... or any names
    std::filesystem::path target;  // made when missing; earlier exports in it are replaced
    FrameChoice frames;
    int longEdge = 1200;          // pixels; a smaller photo keeps its own size
    bool reverse = false;         // the first photo stays first, the rest turn the other way
    int turnMilliseconds = 6000;  // one full turn of the animation, the video and autoplay
    SpinFormats formats;
    std::string ffmpeg = "ffmpeg";  // the program's name on the PATH, or a path
    int threads = 0;                // 0: one per core
    SpinFinish finish;
};

// The limits the front ends offer.
constexpr int kSmallestLongEdge = 16;
constexpr int kLargestLongEdge = 8192;
// The side of a spin's framed frames unless the user chose a size.
constexpr int kFramedLongEdge = 2000;
constexpr int kShortestTurnMilliseconds = 500;
constexpr int kLongestTurnMilliseconds = 600000;
// Browsers show a shorter frame of an animation for much longer.
constexpr int kShortestFrameMilliseconds = 20;

struct SpinProgress {
    int done = 0;   // frames finished
    int total = 0;  // frames in the turn
    std::string stage;
};

// Called on the exporting thread; false asks the export to stop.
using SpinProgressFunction = std::function<bool(const SpinProgress&)>;

enum class SpinStatus {
    kDone,
    kBadRequest,  // nothing was started: the message says what to change
    kFailed,      // something went wrong on the way; nothing is left behind
    kCancelled,   // stopped on request; nothing is left behind
};

struct SpinResult {
    SpinStatus status = SpinStatus::kFailed;
    std::string message;                         // why, when not done
    std::vector<std::filesystem::path> written;  // what a finished export made
    int frames = 0;
    int width = 0;
    int height = 0;
    // Finished frames whose product looks wrong, one line each: "Frame 3
    // (3.jpg) looks wrong: no product was found."
    std::vector<std::string> doubts;
};

// Whether this build can finish frames (Linux with the finishing library);
// elsewhere any finishing option is refused as a bad request.
bool FinishingBuilt();

// The request's own values checked, before any folder is looked at; the
// message, if any, says what to change.
std::string CheckSpinRequest(const SpinRequest& request);

// The words the front ends take: as-shot, white, transparent; keep, drop;
// as-shot, spin. False on any other.
bool ParseBackground(const std::string& word, SpinFinish::Background& background);
bool ParseShadow(const std::string& word, bool& dropShadow);
bool ParseFraming(const std::string& word, SpinFinish::Framing& framing);

// "html,webp,mp4" and the like; false on an unknown or empty name.
bool ParseSpinFormats(const std::string& list, SpinFormats& formats);

}  // namespace zentrivo
