#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "rgb_image.h"

namespace zentrivo {

// What the front ends say when MP4 is asked for and ffmpeg cannot be found.
constexpr const char* kNoFfmpegText = "MP4 needs the ffmpeg program, which is not installed.";

// Where a program is: a name with a "/" as given, any other name looked up
// on the PATH. Nothing when there is no such executable file.
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
    int input_ = -1;  // the pipe to ffmpeg's standard input
    int pid_ = -1;
    int status_ = 0;
};

}  // namespace zentrivo
