#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "rgb_image.h"

namespace zentrivo {

// What the front ends say when MP4 is asked for and ffmpeg cannot be found.
constexpr const char* kNoFfmpegText = "MP4 needs the ffmpeg program, which is not installed.";

// Where a program is: a name with a folder in it as given, any other name
// looked up on the PATH (on Windows with ".exe" added where it has none).
// Nothing when there is no such executable file.
std::optional<std::filesystem::path> FindProgram(const std::string& name);

// ffmpeg run as a separate program, making an H.264 MP4 of one turn from
// frames written to it in order through a pipe. Its own messages go to a
// log file, whose last line explains a failure. Throws std::runtime_error.
class VideoProcess {
public:
    VideoProcess(const std::filesystem::path& ffmpeg, int width, int height, int frames,
                 int turnMilliseconds, const std::filesystem::path& output,
                 const std::filesystem::path& log);
    // Ends ffmpeg if it still runs.
    ~VideoProcess();
    VideoProcess(const VideoProcess&) = delete;
    VideoProcess& operator=(const VideoProcess&) = delete;

    void Add(const RgbImage& frame);
    // Ends the input and waits for ffmpeg to finish the file.
    void Finish();

private:
    [[noreturn]] void Failed(const std::string& what);
    void Reap(bool kill);

    std::filesystem::path log_;
#ifdef _WIN32
    void* input_ = nullptr;    // the pipe to ffmpeg's standard input
    void* process_ = nullptr;  // the running ffmpeg
    unsigned long exitCode_ = 1;
#else
    int input_ = -1;  // the pipe to ffmpeg's standard input
    int pid_ = -1;
    int status_ = 0;
#endif
};

}  // namespace zentrivo
