#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_map>

namespace zentrivo {

// What a look at a photo file tells: whether it is there, its size and the
// time of its last write.
struct FileSample {
    bool exists = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
};

FileSample SampleFile(const std::string& path);

// Two looks at the same file found it the same.
bool SameSample(const FileSample& a, const FileSample& b);

// How long a photo must stay unchanged before it is taken as whole.
inline constexpr std::chrono::milliseconds kPhotoSettleTime{500};

// Tells when a photo the camera may still be writing is whole: its size and
// time of last write have stayed the same between two looks at least
// `settle` apart, as this PC's own steady clock measures. The file's time is
// compared only with itself, never with this PC's clock, which a camera's
// clock need not agree with.
class PhotoSettle {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit PhotoSettle(std::chrono::milliseconds settle,
                         Clock clock = &std::chrono::steady_clock::now);

    // Looks at the file now, so that a later look can find it unchanged.
    void Look(const std::string& path);

    // Looks again: true when the file is there and unchanged since a look
    // at least `settle` ago.
    bool Settled(const std::string& path);

    // Looks until the file has settled, running `pause` between two looks;
    // false when the file is gone or `longest` has passed first.
    bool WaitUntilSettled(const std::string& path, std::chrono::milliseconds longest,
                          const std::function<void()>& pause);

    // Forgets every look.
    void Clear() { looks_.clear(); }

private:
    struct Seen {
        FileSample sample;
        std::chrono::steady_clock::time_point since;  // first look that found it so
    };
    const Seen& LookAt(const std::string& path);

    std::chrono::milliseconds settle_;
    Clock clock_;
    std::unordered_map<std::string, Seen> looks_;
};

}  // namespace zentrivo
