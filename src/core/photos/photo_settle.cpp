#include "core/photos/photo_settle.h"

#include <system_error>
#include <utility>

namespace zentrivo {

namespace fs = std::filesystem;

FileSample SampleFile(const std::string& path) {
    FileSample s;
    std::error_code ec;
    const fs::path p = fs::u8path(path);
    if (!fs::is_regular_file(p, ec)) {
        return s;
    }
    s.size = fs::file_size(p, ec);
    if (ec) {
        return s;
    }
    s.written = fs::last_write_time(p, ec);
    s.exists = !ec;
    return s;
}

bool SameSample(const FileSample& a, const FileSample& b) {
    return a.exists == b.exists && a.size == b.size && a.written == b.written;
}

PhotoSettle::PhotoSettle(std::chrono::milliseconds settle, Clock clock)
    : settle_(settle), clock_(std::move(clock)) {}

const PhotoSettle::Seen& PhotoSettle::LookAt(const std::string& path) {
    const Seen now{SampleFile(path), clock_()};
    const auto [it, added] = looks_.try_emplace(path, now);
    if (!added && !SameSample(it->second.sample, now.sample)) {
        it->second = now;
    }
    return it->second;
}

void PhotoSettle::Look(const std::string& path) {
    LookAt(path);
}

bool PhotoSettle::Settled(const std::string& path) {
    const Seen& seen = LookAt(path);
    return seen.sample.exists && clock_() - seen.since >= settle_;
}

bool PhotoSettle::WaitUntilSettled(const std::string& path, std::chrono::milliseconds longest,
                                   const std::function<void()>& pause) {
    const auto deadline = clock_() + longest;
    while (!Settled(path)) {
        if (!looks_.at(path).sample.exists || clock_() >= deadline) {
            return false;
        }
        pause();
    }
    return true;
}

}  // namespace zentrivo
