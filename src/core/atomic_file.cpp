#include "atomic_file.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

#ifndef _WIN32
bool WriteAndSync(const std::string& tmp, const std::string& bytes, const fs::path& target) {
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            ok = errno == EINTR;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    struct stat st {};
    if (ok && ::stat(target.c_str(), &st) == 0) {
        ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}
#else
bool WriteAndSync(const std::string& tmp, const std::string& bytes, const fs::path&) {
    std::ofstream out(fs::u8path(tmp), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}
#endif

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const fs::path target = fs::u8path(path);
    const std::string tmp = TemporaryNameBeside(target);
    std::error_code ec;
    if (!WriteAndSync(tmp, bytes, target)) {
        fs::remove(fs::u8path(tmp), ec);
        return false;
    }
    fs::rename(fs::u8path(tmp), target, ec);
    if (ec) {
        fs::remove(fs::u8path(tmp), ec);
        return false;
    }
    return true;
}

}  // namespace zentrivo
