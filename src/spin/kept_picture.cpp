#include "kept_picture.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <system_error>

#include "jpeg_file.h"

namespace zentrivo {

namespace {

// Read back by the same program on the same machine, so the header's
// numbers are in its own byte order; the mark catches a file not ours.
constexpr std::uint32_t kMark = 0x5a4b5032;  // "ZKP2"

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

}  // namespace

void WriteKeptPicture(const KeptPicture& kept, const std::filesystem::path& path) {
    const auto failed = [&path] {
        throw std::filesystem::filesystem_error("write", path,
                                                std::error_code(errno, std::generic_category()));
    };
    File file(std::fopen(path.string().c_str(), "wb"), &std::fclose);
    if (!file) {
        failed();
    }
    const std::array<std::int32_t, 6> header = {static_cast<std::int32_t>(kMark),
                                                kept.left,
                                                kept.top,
                                                kept.width,
                                                kept.height,
                                                kept.channels};
    if (std::fwrite(header.data(), sizeof header, 1, file.get()) != 1 ||
        (!kept.pixels.empty() &&
         std::fwrite(kept.pixels.data(), kept.pixels.size(), 1, file.get()) != 1) ||
        std::fflush(file.get()) != 0) {
        failed();
    }
    if (std::fclose(file.release()) != 0) {
        failed();
    }
}

KeptPicture ReadKeptPicture(const std::filesystem::path& path) {
    const auto broken = [&path]() -> KeptPicture {
        throw ImageFileError("The finished frame kept in \"" + path.string() +
                             "\" could not be read back.");
    };
    File file(std::fopen(path.string().c_str(), "rb"), &std::fclose);
    std::array<std::int32_t, 6> header{};
    if (!file || std::fread(header.data(), sizeof header, 1, file.get()) != 1 ||
        static_cast<std::uint32_t>(header[0]) != kMark || header[3] < 0 || header[4] < 0 ||
        (header[5] != 3 && header[5] != 4)) {
        return broken();
    }
    KeptPicture kept;
    kept.left = header[1];
    kept.top = header[2];
    kept.width = header[3];
    kept.height = header[4];
    kept.channels = header[5];
    kept.pixels = PictureBytes(kept.stride() * static_cast<std::size_t>(kept.height));
    if (!kept.pixels.empty() &&
        std::fread(kept.pixels.data(), kept.pixels.size(), 1, file.get()) != 1) {
        return broken();
    }
    return kept;
}

}  // namespace zentrivo
