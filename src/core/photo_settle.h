#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace zentrivo {

// What a look at a photo file tells: whether it is there, its size and the
// time of its last write.
struct FileSample {
    bool exists = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
};

FileSample SampleFile(const std::string& path);

// A camera may still be writing the newest photo. A file whose last write
// lies at least `quiet` in the past is taken as complete.
bool QuietFor(const FileSample& sample, std::chrono::milliseconds quiet);

// Two looks at the same file found it the same.
bool SameSample(const FileSample& a, const FileSample& b);

}  // namespace zentrivo
