#include "photo_settle.h"

#include <system_error>

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

bool QuietFor(const FileSample& sample, std::chrono::milliseconds quiet) {
    return sample.exists && fs::file_time_type::clock::now() - sample.written >= quiet;
}

bool SameSample(const FileSample& a, const FileSample& b) {
    return a.exists == b.exists && a.size == b.size && a.written == b.written;
}

}  // namespace zentrivo
