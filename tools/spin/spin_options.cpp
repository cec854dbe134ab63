#include "spin_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

using zentrivo::FrameChoice;

namespace {

bool WholeNumber(const std::string& text, int& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 9) {
        return false;
    }
    value = std::atoi(text.c_str());
    return true;
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
           "Exit status: 0 done; 1 the export failed (an unreadable photo, a full disk,\n"
           "ffmpeg); 2 bad input: the command line, or folders that cannot be used, and\n"
           "nothing was written; 130 interrupted, and nothing was left behind.\n";
}

bool ParseSpinOptions(int argc, const char* const* argv, SpinOptions& options, std::string& why) {
    std::vector<std::string> folders;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
            value = arg.substr(arg.find('=') + 1);
            arg = arg.substr(0, arg.find('='));
            hasValue = true;
        }
        const auto takeValue = [&]() {
            if (!hasValue) {
                if (i + 1 >= argc) {
                    why = arg + " needs a value.";
                    return false;
                }
                value = argv[++i];
            }
            return true;
        };
        const auto bad = [&](const std::string& expected) {
            why = arg + " takes " + expected + ", not \"" + value + "\".";
            return false;
        };
        zentrivo::SpinRequest& r = options.request;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--quiet" || arg == "-q") {
            options.quiet = true;
        } else if (arg == "--reverse") {
            r.reverse = true;
        } else if (arg == "--frames") {
            if (!takeValue()) {
                return false;
            }
            r.frames.kind = FrameChoice::Kind::kCount;
            if (!WholeNumber(value, r.frames.count) || r.frames.count < 1) {
                return bad("a number of frames from 1");
            }
        } else if (arg == "--every") {
            if (!takeValue()) {
                return false;
            }
            r.frames.kind = FrameChoice::Kind::kEvery;
            if (!WholeNumber(value, r.frames.every) || r.frames.every < 1) {
                return bad("a whole number from 1");
            }
        } else if (arg == "--size") {
            if (!takeValue()) {
                return false;
            }
            if (!WholeNumber(value, r.longEdge) || r.longEdge < zentrivo::kSmallestLongEdge ||
                r.longEdge > zentrivo::kLargestLongEdge) {
                return bad("pixels from 16 to 8192");
            }
        } else if (arg == "--turn") {
            if (!takeValue()) {
                return false;
            }
            if (!Seconds(value, r.turnMilliseconds) ||
                r.turnMilliseconds < zentrivo::kShortestTurnMilliseconds ||
                r.turnMilliseconds > zentrivo::kLongestTurnMilliseconds) {
                return bad("seconds from 0.5 to 600");
            }
        } else if (arg == "--formats") {
            if (!takeValue()) {
                return false;
            }
            if (!zentrivo::ParseSpinFormats(value, r.formats)) {
                return bad("a list of html, webp and mp4");
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            why = "Unknown option " + arg + ".";
            return false;
        } else {
            folders.push_back(arg);
        }
    }
    if (options.help) {
        return true;
    }
    if (folders.size() != 2) {
        why = folders.size() < 2 ? "Give the SOURCE and TARGET folders."
                                 : "Give only the SOURCE and TARGET folders.";
        return false;
    }
    options.request.source = folders[0];
    options.request.target = folders[1];
    return true;
}
