#include "core/settings/file_update.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/atomic_file.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zentrivo {

namespace fs = std::filesystem;

namespace {

// As many links as the system itself follows before it gives up on a loop.
constexpr int kMostLinks = 40;

bool MayChange(const fs::path& file, const fs::file_status& status) {
    constexpr fs::perms kAnyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (!fs::is_regular_file(status) || (status.permissions() & kAnyWrite) == fs::perms::none) {
        return false;
    }
#ifndef _WIN32
    if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) {
        return false;
    }
#else
    (void)file;
#endif
    return true;
}

}  // namespace

std::string WriteTarget(const std::string& path) {
    fs::path p = fs::u8path(path);
    std::error_code ec;
    for (int i = 0; i < kMostLinks && fs::is_symlink(p, ec); ++i) {
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) {
            break;
        }
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p.u8string();
}

FileContent ReadForUpdate(const std::string& path) {
    const fs::path file = fs::u8path(path);
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    FileContent content;
    if (status.type() == fs::file_type::not_found) {
        return content;
    }
    content.state = FileContent::State::kUnreadable;
    if (ec || !fs::is_regular_file(status)) {
        return content;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return content;
    }
    content.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return content;
    }
    content.state = FileContent::State::kRead;
    return content;
}

bool UpdateFile(const std::string& path, const std::string& bytes) {
    const fs::path file = fs::u8path(path);
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    const bool exists = fs::exists(status);
    if (exists && !MayChange(file, status)) {
        return false;
    }
    switch (ReplaceAtomically(path, bytes)) {
        case AtomicWrite::kDone:
            return true;
        case AtomicWrite::kNoNewFile:
        case AtomicWrite::kOwnerNotKept:
        case AtomicWrite::kNotReplaced:
            return exists && RewriteInPlace(path, bytes);
        case AtomicWrite::kFailed:
            break;
    }
    return false;
}

}  // namespace zentrivo
