#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What the platforms' ways of running ffmpeg share.
namespace zentrivo {

// Whether `path` is a file this user may run.
bool IsExecutableFile(const std::filesystem::path& path);

// ffmpeg's command line for a turn of `frames` raw RGB frames read from its
// standard input, made into an H.264 MP4 at `output`.
std::vector<std::string> VideoArguments(const std::filesystem::path& ffmpeg, int width, int height,
                                        int frames, int turnMilliseconds,
                                        const std::filesystem::path& output);

// The last line of ffmpeg's log with anything on it: its reason for failing.
std::string LastLogLine(const std::filesystem::path& log);

}  // namespace zentrivo
