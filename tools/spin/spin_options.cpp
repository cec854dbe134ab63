#include "spin_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

using zentrivo::FrameChoice;

namespace {

bool WholeNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 9) {
        return false;
    }
    value = std::atoi(text.c_str());
    return value >= low && value <= high;
}

bool Seconds(const std::string& text, int& milliseconds) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !(seconds < 1e6)) {
        return false;
    }
    milliseconds = static_cast<int>(std::lround(seconds * 1000));
    return true;
}

}  // namespace

const char* SpinUsage() {
    return "Usage: zentrivo-spin SOURCE TARGET [options]\n"
           "\n"
           "Makes a 360-degree view of the photos of one turn in SOURCE (1.jpg, 2.jpg, ...\n"
           "in the order of their numbers, other names by name) in the folder TARGET:\n"
           "  index.html, spin.js, frames/  a viewer that works from the disk or a web server\n"
           "  spin.webp                     an endless animated WebP\n"
           "  spin.mp4                      an H.264 video, made by the ffmpeg program\n"
           "An earlier export in TARGET is replaced; a failed one leaves nothing behind.\n"
           "\n"
           "Options:\n"
           "  --frames N       N photos spread evenly over the turn (default: every photo)\n"
           "  --every N        every N-th photo, starting with the first\n"
           "  --size PX        long edge of the frames in pixels, 16 to 8192 (default 1200);\n"
           "                   smaller photos keep their size\n"
           "  --turn SECONDS   one turn of the animation, the video and the viewer's\n"
           "                   autoplay (default 6)\n"
           "  --reverse        turn the other way; the first photo stays first\n"
           "  --formats LIST   any of html,webp,mp4, comma-separated (default html,webp)\n"
           "  --quiet          no progress on standard error\n"
           "  --help           this text\n"
           "\n"
           "Finishing: the product cut from its backdrop and framed alike in every frame.\n"
           "  --background as-shot|white|transparent\n"
           "                   the backdrop as shot (default), pure white, or transparent;\n"
           "                   transparent frames are shown on white in the viewer, the\n"
           "                   WebP and the video, and keep their alpha in the stills\n"
           "  --shadow keep|drop\n"
           "                   the contact shadow kept as a soft grey (default) or dropped\n"
           "  --framing as-shot|spin\n"
           "                   the photos' own framing (default), or every frame cropped\n"
           "                   alike around the turntable's axis, square, --size on a side\n"
           "                   (default 2000 with spin)\n"
           "  --fill PERCENT   the share of a spin-framed frame the product fills, 1 to 100\n"
           "                   (default 85)\n"
           "  --plate FILE     a JPEG of the empty table at the same settings; without it\n"
           "                   the backdrop is read from the frame's border\n"
           "  --stills         the finished frames also as stills/1.jpg, 2.jpg, ... at the\n"
           "                   frames' size (1.png, ... with alpha when transparent)\n"
           "Frames whose product looks wrong (none found, cut by the frame's edge, much\n"
           "larger or smaller than in the frames beside it) are named on standard error.\n"
           "\n"
           "Exit status: 0 done; 1 the export failed (an unreadable photo, a full disk,\n"
           "ffmpeg); 2 bad input: the command line, or folders that cannot be used, and\n"
           "nothing was written; 130 interrupted, and nothing was left behind.\n";
}

bool ParseSpinOptions(int argc, const char* const* argv, SpinOptions& options, std::string& why) {
    static const std::vector<std::string> kWithValue = {
        "--frames",     "--every",  "--size",    "--turn", "--formats",
        "--background", "--shadow", "--framing", "--fill", "--plate"};
    std::vector<std::string> folders;
    // The two choose frames in different ways; the later would silently win.
    bool countGiven = false;
    bool everyGiven = false;
    bool sizeGiven = false;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        const auto equals = arg.find('=');
        const bool joined = arg.rfind("--", 0) == 0 && equals != std::string::npos;
        if (joined) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
        }
        if (std::find(kWithValue.begin(), kWithValue.end(), arg) != kWithValue.end() && !joined) {
            if (i + 1 >= argc) {
                why = arg + " needs a value.";
                return false;
            }
            value = argv[++i];
        }
        zentrivo::SpinRequest& r = options.request;
        bool ok = true;
        std::string expected;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--reverse") {
            r.reverse = true;
        } else if (arg == "--frames") {
            r.frames.kind = FrameChoice::Kind::kCount;
            countGiven = true;
            ok = WholeNumber(value, 1, 999999, r.frames.count);
            expected = "a number of frames from 1";
        } else if (arg == "--every") {
            r.frames.kind = FrameChoice::Kind::kEvery;
            everyGiven = true;
            ok = WholeNumber(value, 1, 999999, r.frames.every);
            expected = "a whole number from 1";
        } else if (arg == "--size") {
            sizeGiven = true;
            ok = WholeNumber(value, zentrivo::kSmallestLongEdge, zentrivo::kLargestLongEdge,
                             r.longEdge);
            expected = "pixels from 16 to 8192";
        } else if (arg == "--turn") {
            ok = Seconds(value, r.turnMilliseconds) &&
                 r.turnMilliseconds >= zentrivo::kShortestTurnMilliseconds &&
                 r.turnMilliseconds <= zentrivo::kLongestTurnMilliseconds;
            expected = "seconds from 0.5 to 600";
        } else if (arg == "--formats") {
            ok = zentrivo::ParseSpinFormats(value, r.formats);
            expected = "a list of html, webp and mp4";
        } else if (arg == "--background") {
            ok = zentrivo::ParseBackground(value, r.finish.background);
            expected = "as-shot, white or transparent";
        } else if (arg == "--shadow") {
            ok = zentrivo::ParseShadow(value, r.finish.dropShadow);
            expected = "keep or drop";
        } else if (arg == "--framing") {
            ok = zentrivo::ParseFraming(value, r.finish.framing);
            expected = "as-shot or spin";
        } else if (arg == "--fill") {
            ok = WholeNumber(value, 1, 100, r.finish.fillPercent);
            expected = "a percentage from 1 to 100";
        } else if (arg == "--plate") {
            ok = !value.empty();
            r.finish.plate = value;
            expected = "a JPEG file";
        } else if (arg == "--stills") {
            r.finish.stills = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            why = "Unknown option " + arg + ".";
            return false;
        } else {
            folders.push_back(arg);
        }
        if (!ok) {
            why = arg + " takes " + expected + ", not \"" + value + "\".";
            return false;
        }
    }
    if (options.help) {
        return true;
    }
    if (countGiven && everyGiven) {
        why = "Give --frames or --every, not both.";
        return false;
    }
    if (folders.size() != 2) {
        why = folders.size() < 2 ? "Give the SOURCE and TARGET folders."
                                 : "Give only the SOURCE and TARGET folders.";
        return false;
    }
    // A spin's framed frames are made for shop pages, larger than a plain
    // export's; --size still chooses.
    if (!sizeGiven && options.request.finish.framing == zentrivo::SpinFinish::Framing::kSpin) {
        options.request.longEdge = zentrivo::kFramedLongEdge;
    }
    options.request.source = folders[0];
    options.request.target = folders[1];
    return true;
}
