#include "ffmpeg_process.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ffmpeg_process_common.h"

namespace zentrivo {

namespace {

#ifdef _WIN32
constexpr char kPathListSeparator = ';';
constexpr const char* kDefaultPath = "";
#else
constexpr char kPathListSeparator = ':';
constexpr const char* kDefaultPath = "/usr/bin:/bin";
#endif

bool NamesFolder(const std::string& name) {
#ifdef _WIN32
    return name.find_first_of("/\\:") != std::string::npos;
#else
    return name.find('/') != std::string::npos;
#endif
}

// The names a program may have on disk: on Windows a bare "ffmpeg" is
// "ffmpeg.exe".
std::vector<std::filesystem::path> FileNames(const std::string& name) {
    std::vector<std::filesystem::path> names{std::filesystem::u8path(name)};
#ifdef _WIN32
    if (!names.front().has_extension()) {
        names.push_back(std::filesystem::u8path(name + ".exe"));
    }
#endif
    return names;
}

std::optional<std::filesystem::path> FirstExecutable(const std::filesystem::path& folder,
                                                     const std::string& name) {
    for (const auto& file : FileNames(name)) {
        const std::filesystem::path candidate = folder.empty() ? file : folder / file;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> FindProgram(const std::string& name) {
    if (name.empty()) {
        return std::nullopt;
    }
    if (NamesFolder(name)) {
        return FirstExecutable({}, name);
    }
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : kDefaultPath);
    std::string folder;
    while (std::getline(folders, folder, kPathListSeparator)) {
        if (auto found =
                FirstExecutable(std::filesystem::u8path(folder.empty() ? "." : folder), name)) {
            return found;
        }
    }
    return std::nullopt;
}

std::vector<std::string> VideoArguments(const std::filesystem::path& ffmpeg, int width, int height,
                                        int frames, int turnMilliseconds,
                                        const std::filesystem::path& output) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate =
        std::to_string(frames * 1000LL) + "/" + std::to_string(turnMilliseconds);
    return {ffmpeg.string(), "-hide_banner", "-loglevel", "error", "-f", "rawvideo", "-pix_fmt",
            "rgb24", "-video_size", size, "-framerate", rate, "-i", "pipe:0",
            // H.264 in 4:2:0 wants even sides; one white line is added where needed.
            "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2:color=white", "-c:v", "libx264", "-pix_fmt",
            "yuv420p", "-crf", "20", "-movflags", "+faststart", "-y",
            "file:" + std::filesystem::absolute(output).string()};
}

std::string LastLogLine(const std::filesystem::path& log) {
    std::ifstream in(log);
    std::string line, last;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) {
            last = line;
        }
    }
    return last;
}

}  // namespace zentrivo
