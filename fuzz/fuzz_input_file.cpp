#include "fuzz_input_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zentrivo::fuzz {

namespace fs = std::filesystem;

namespace {

fs::path MemoryFolder() {
    std::error_code ec;
    const fs::path shm("/dev/shm");
    return fs::is_directory(shm, ec) ? shm : fs::temp_directory_path();
}

// One folder per process, so that parallel fuzzing jobs never share a file.
// The path is never destroyed, so the exit handler can still use it.
const fs::path& ProcessFolder() {
    static const fs::path* const folder = [] {
        auto* f = new fs::path(MemoryFolder() / ("zentrivo-fuzz-" + std::to_string(::getpid())));
        fs::create_directories(*f);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(ProcessFolder(), ec);
        });
        return f;
    }();
    return *folder;
}

}  // namespace

std::string WriteInputFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const fs::path path = ProcessFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write the fuzz input to %s\n", path.c_str());
        std::abort();
    }
    return path.string();
}

}  // namespace zentrivo::fuzz
