#include "atomic_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace zentrivo {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::u8path(path), ec)) {
        return std::nullopt;
    }
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    return ReplaceAtomically(path, bytes) == AtomicWrite::kDone;
}

namespace {

std::string TemporaryNameBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long pid = 0;
#else
    const unsigned long pid = static_cast<unsigned long>(::getpid());
#endif
    fs::path tmp = target;
    tmp.replace_filename("." + target.filename().u8string() + ".tmp-" + std::to_string(pid) + "-" +
                         std::to_string(counter++));
    return tmp.u8string();
}

}  // namespace

#ifndef _WIN32

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR) {
            return false;
        }
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return true;
}

// Gives the new file the old one's owner, group and permissions; a file
// that a script run with sudo rewrites must stay its owner's.
AtomicWrite TakeOverOwnership(int fd, const struct stat& old) {
    struct stat mine {};
    if (::fstat(fd, &mine) != 0) {
        return AtomicWrite::kFailed;
    }
    if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        return AtomicWrite::kOwnerNotKept;
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? AtomicWrite::kDone : AtomicWrite::kFailed;
}

// The rename itself reaches the disk only with its folder: without this a
// power cut may leave the old file, or none, after the new one was
// reported written. A file system that cannot sync a folder has nothing to
// sync there.
void SyncFolderOf(const std::string& target) {
    const std::string folder = fs::path(target).parent_path().string();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

AtomicWrite ReplaceAtomically(const std::string& path, const std::string& bytes) {
    const std::string target = fs::u8path(path).string();
    const std::string tmp = TemporaryNameBeside(fs::u8path(path));
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return (errno == EACCES || errno == EPERM) ? AtomicWrite::kNoNewFile : AtomicWrite::kFailed;
    }
    AtomicWrite result = WriteAll(fd, bytes) ? AtomicWrite::kDone : AtomicWrite::kFailed;
    if (result == AtomicWrite::kDone && exists) {
        result = TakeOverOwnership(fd, old);
    }
    if (result == AtomicWrite::kDone && ::fsync(fd) != 0) {
        result = AtomicWrite::kFailed;
    }
    if (::close(fd) != 0 && result == AtomicWrite::kDone) {
        result = AtomicWrite::kFailed;
    }
    if (result == AtomicWrite::kDone && ::rename(tmp.c_str(), target.c_str()) != 0) {
        result = AtomicWrite::kNotReplaced;
    }
    if (result != AtomicWrite::kDone) {
        ::unlink(tmp.c_str());
        return result;
    }
    SyncFolderOf(target);
    return result;
}

bool RewriteInPlace(const std::string& path, const std::string& bytes) {
    const int fd = ::open(fs::u8path(path).c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
              ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

#else

AtomicWrite ReplaceAtomically(const std::string& path, const std::string& bytes) {
    const fs::path target = fs::u8path(path);
    const fs::path tmp = fs::u8path(TemporaryNameBeside(target));
    HANDLE file = ::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return AtomicWrite::kNoNewFile;
    }
    bool written = true;
    for (std::size_t done = 0; written && done < bytes.size();) {
        const DWORD piece =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD n = 0;
        written = ::WriteFile(file, bytes.data() + done, piece, &n, nullptr) != 0 && n > 0;
        done += n;
    }
    // On the disk before it takes the old file's place, and the new name
    // with it: a power cut leaves the old file or the new one.
    written = written && ::FlushFileBuffers(file) != 0;
    written = ::CloseHandle(file) != 0 && written;
    if (!written) {
        ::DeleteFileW(tmp.c_str());
        return AtomicWrite::kFailed;
    }
    if (::MoveFileExW(tmp.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        ::DeleteFileW(tmp.c_str());
        return AtomicWrite::kNotReplaced;
    }
    return AtomicWrite::kDone;
}

bool RewriteInPlace(const std::string& path, const std::string& bytes) {
    {
        std::fstream out(fs::u8path(path), std::ios::binary | std::ios::in | std::ios::out);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            return false;
        }
    }
    std::error_code ec;
    fs::resize_file(fs::u8path(path), bytes.size(), ec);
    return !ec;
}

#endif

}  // namespace zentrivo
