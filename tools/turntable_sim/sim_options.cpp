#include "sim_options.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

const char kSimUsage[] =
    "usage: turntable_sim [options]\n"
    "Plays the turntable's controller board on a pseudo-terminal. The first line\n"
    "of standard output is the path of the device to open as the serial port.\n"
    "Each command ending in \".\" is acted on and answered; \"X.\" at once.\n"
    "\n"
    "  --steps N          motor steps per revolution (48)\n"
    "  --gear N           gear ratio of motor to turntable (25)\n"
    "  --time-scale X     multiply every command's duration by X (1; 0 = instant)\n"
    "  --reply TEXT       reply to an accepted command (\"OK\\r\\n\"); \\r \\n \\t \\\\ work\n"
    "  --error-reply TEXT reply to a rejected command (\"ERROR\\r\\n\")\n"
    "  --error-at N       answer the N-th command with the error reply\n"
    "  --silent-from N    answer nothing from the N-th command on\n"
    "  --split-replies    send each reply in two writes\n"
    "  --split-gap MS     time between the two writes (200)\n"
    "  --hangup-after N   answer the N-th command, then hang up and exit\n"
    "  --hangup-at N      act on the N-th command (a rotation turns), then hang up\n"
    "                     and exit without answering it, as a board unplugged mid-way\n"
    "  --kill-at-rotation N[,M...]  the moment the N-th rotation command arrives, kill\n"
    "                     (SIGKILL) the process whose id --kill-pid-file holds, as\n"
    "                     a crash would end the program; the rotation is still made\n"
    "  --kill-pid-file FILE  where that process id is read from, at that moment\n"
    "  --log FILE         append a line per command: time, command, reply, angle;\n"
    "                     a hang-up adds a line with its time and HANGUP\n"
    "  --log-microseconds the times in the log to the microsecond, not the millisecond\n"
    "  --camera-dir DIR   a camera that stores a JPEG for each P command in DIR,\n"
    "                     IMG_0001.JPG, IMG_0002.JPG, ... on from the highest there\n"
    "  --camera-delay MS  from the end of the exposure until the photo's file\n"
    "                     appears (300)\n"
    "  --camera-slow-write MS\n"
    "                     the time the camera takes to write a photo, in four\n"
    "                     parts (200; 0 = all at once). The camera's times are\n"
    "                     real time, never scaled by --time-scale; at most 60000\n"
    "  --camera-miss N    the camera never stores the N-th photo (counted from 1)\n"
    "  --camera-miss-count M\n"
    "                     nor the photos after it, M in all (1; 0 = none ever again)\n"
    "  --camera-late N    the N-th photo is stored --camera-late-ms later (5000)\n"
    "  --camera-cut N     the N-th photo is written cut short, and finished\n"
    "                     --camera-cut-ms later (3000)\n"
    "  --camera-raw       a RAW file (IMG_0001.CR2) beside each JPEG\n"
    "  --camera-ptpip     the camera is tethered instead: it keeps its photos on its\n"
    "                     card and serves them as a PTP/IP camera on 127.0.0.1, on a\n"
    "                     free port; the second line of standard output is\n"
    "                     \"camera: ptpip:127.0.0.1:PORT:PORT\", the port to give\n"
    "                     libgphoto2 (model \"PTP/IP Camera\"). Each photo is\n"
    "                     announced --camera-delay after the shot; --camera-miss,\n"
    "                     --camera-late and --camera-raw apply, --camera-slow-write\n"
    "                     and --camera-cut do not; not with --camera-dir\n"
    "  --camera-photo-bytes N\n"
    "                     the tethered camera's JPEGs padded to N bytes, still valid\n"
    "  --camera-drop N    the tethered camera goes away at the N-th shot, as one\n"
    "                     switched off: both connections are reset, new ones are\n"
    "                     refused; that shot and those while it is away are lost\n"
    "  --camera-drop-ms MS\n"
    "                     it comes back MS after it went (never), on the same port,\n"
    "                     as one switched on again: a program may open a new\n"
    "                     session, the card keeps its photos, later ones are\n"
    "                     announced again; needs --camera-drop\n"
    "  --camera-fail-download N\n"
    "                     the first download of the N-th shot's JPEG fails\n"
    "  --camera-fail-download-times K\n"
    "                     the first K downloads of it fail (1)\n"
    "  --camera-no-cable  no release cable: the board's P commands do not fire the\n"
    "                     camera; only a capture over the tethered connection does\n"
    "  --verbose          write those lines to standard error too\n"
    "  --help             this text\n";

namespace {

// "\r", "\n", "\t" and "\\" as the shell cannot easily pass them.
std::string Unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return out;
}

bool ReadCount(const std::string& text, std::int64_t min, std::int64_t& out) {
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < min) {
        return false;
    }
    out = value;
    return true;
}

bool ReadScale(const std::string& text, double& out) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0.0) || !std::isfinite(value)) {
        return false;
    }
    out = value;
    return true;
}

bool ReadCountUpTo(const std::string& text, std::int64_t min, std::int64_t max, std::int64_t& out) {
    std::int64_t value = 0;
    if (!ReadCount(text, min, value) || value > max) {
        return false;
    }
    out = value;
    return true;
}

// "3" or "3,5": counts from 1.
bool ReadCountList(const std::string& text, std::vector<std::int64_t>& out) {
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = text.find(',', begin);
        std::int64_t value = 0;
        if (!ReadCount(text.substr(begin, comma - begin), 1, value)) {
            return false;
        }
        out.push_back(value);
        if (comma == std::string::npos) {
            return true;
        }
        begin = comma + 1;
    }
}

bool ReadSmall(const std::string& text, std::int32_t& out) {
    std::int64_t value = 0;
    if (!ReadCountUpTo(text, 1, 1000000, value)) {
        return false;
    }
    out = static_cast<std::int32_t>(value);
    return true;
}

// The camera's times: long enough for any demonstration, short enough that
// the photos still pending at a hang-up are soon written.
bool ReadCameraMs(const std::string& text, std::int64_t& out) {
    return ReadCountUpTo(text, 0, 60000, out);
}

// The tethered camera keeps its photos in memory: a few hundred megabytes
// of them at most.
constexpr std::int64_t kLargestPhoto = 200000000;

}  // namespace

ParsedOptions ParseSimOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    SimOptions& o = parsed.Options;
    using Setter = std::function<bool(const std::string&)>;
    const std::map<std::string, Setter> with_value = {
        {"--steps", [&](const std::string& v) { return ReadSmall(v, o.StepsPerRevolution); }},
        {"--gear", [&](const std::string& v) { return ReadSmall(v, o.GearRatio); }},
        {"--time-scale", [&](const std::string& v) { return ReadScale(v, o.TimeScale); }},
        {"--error-at", [&](const std::string& v) { return ReadCount(v, 1, o.ErrorAt); }},
        {"--silent-from", [&](const std::string& v) { return ReadCount(v, 1, o.SilentFrom); }},
        {"--hangup-after", [&](const std::string& v) { return ReadCount(v, 1, o.HangUpAfter); }},
        {"--hangup-at", [&](const std::string& v) { return ReadCount(v, 1, o.HangUpAt); }},
        {"--kill-at-rotation",
         [&](const std::string& v) { return ReadCountList(v, o.KillAtRotations); }},
        {"--kill-pid-file", [&](const std::string& v) { return o.KillPidFile = v, !v.empty(); }},
        {"--split-gap", [&](const std::string& v) { return ReadCount(v, 0, o.SplitGapMs); }},
        {"--reply", [&](const std::string& v) { return o.Reply = Unescaped(v), true; }},
        {"--error-reply", [&](const std::string& v) { return o.ErrorReply = Unescaped(v), true; }},
        {"--log", [&](const std::string& v) { return o.LogPath = v, !v.empty(); }},
        {"--camera-dir", [&](const std::string& v) { return o.CameraDir = v, !v.empty(); }},
        {"--camera-delay", [&](const std::string& v) { return ReadCameraMs(v, o.CameraDelayMs); }},
        {"--camera-slow-write",
         [&](const std::string& v) { return ReadCameraMs(v, o.CameraSlowWriteMs); }},
        {"--camera-miss", [&](const std::string& v) { return ReadCount(v, 1, o.Camera.MissFrom); }},
        {"--camera-miss-count",
         [&](const std::string& v) { return ReadCount(v, 0, o.Camera.MissCount); }},
        {"--camera-late", [&](const std::string& v) { return ReadCount(v, 1, o.Camera.Late); }},
        {"--camera-late-ms",
         [&](const std::string& v) { return ReadCameraMs(v, o.Camera.LateMs); }},
        {"--camera-cut", [&](const std::string& v) { return ReadCount(v, 1, o.Camera.Cut); }},
        {"--camera-cut-ms", [&](const std::string& v) { return ReadCameraMs(v, o.Camera.CutMs); }},
        {"--camera-photo-bytes",
         [&](const std::string& v) {
             return ReadCountUpTo(v, 0, kLargestPhoto, o.CameraPhotoBytes);
         }},
        {"--camera-drop", [&](const std::string& v) { return ReadCount(v, 1, o.Camera.Drop); }},
        {"--camera-drop-ms",
         [&](const std::string& v) { return ReadCameraMs(v, o.Camera.DropMs); }},
        {"--camera-fail-download",
         [&](const std::string& v) { return ReadCount(v, 1, o.Camera.FailDownload); }},
        {"--camera-fail-download-times",
         [&](const std::string& v) { return ReadCount(v, 1, o.Camera.FailDownloadTimes); }},
    };
    const std::map<std::string, bool*> flags = {
        {"--split-replies", &o.SplitReplies},
        {"--verbose", &o.Verbose},
        {"--camera-raw", &o.Camera.Raw},
        {"--log-microseconds", &o.LogMicroseconds},
        {"--help", &parsed.ShowHelp},
        {"--camera-ptpip", &o.CameraPtpIp},
        {"--camera-no-cable", &o.CameraNoCable},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool has_value = false;
        const auto equals = name.find('=');
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            has_value = true;
        }
        if (const auto flag = flags.find(name); flag != flags.end() && !has_value) {
            *flag->second = true;
            continue;
        }
        const auto setter = with_value.find(name);
        if (setter == with_value.end()) {
            parsed.Error = "unknown option " + args[i];
            return parsed;
        }
        if (!has_value) {
            if (i + 1 == args.size()) {
                parsed.Error = name + " needs a value";
                return parsed;
            }
            value = args[++i];
        }
        if (!setter->second(value)) {
            parsed.Error = "bad value for " + name + ": " + value;
            return parsed;
        }
    }
    if (!o.CameraPtpIp &&
        (o.CameraPhotoBytes != 0 || o.Camera.Drop != 0 || o.Camera.FailDownload != 0)) {
        parsed.Error =
            "--camera-photo-bytes, --camera-drop and --camera-fail-download need --camera-ptpip";
    }
    if (o.Camera.DropMs >= 0 && o.Camera.Drop == 0) {
        parsed.Error = "--camera-drop-ms needs --camera-drop";
    }
    if (o.KillAtRotations.empty() != o.KillPidFile.empty()) {
        parsed.Error = "--kill-at-rotation and --kill-pid-file go together";
    }
    return parsed;
}
