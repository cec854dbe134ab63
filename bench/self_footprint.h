#pragma once

// What this process holds at a moment: its resident memory, the heap in use
// and its open file descriptors, read from /proc/self and from malloc.

#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

struct Footprint {
    long residentKb = 0;             // VmRSS
    long peakResidentKb = 0;         // VmHWM
    long heapInUseKb = 0;            // bytes malloc has handed out and not had back
    std::map<int, std::string> fds;  // descriptor -> what it is open on
};

inline long StatusFieldKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0) {
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
        }
    }
    return -1;
}

inline std::map<int, std::string> OpenDescriptors() {
    namespace fs = std::filesystem;
    const std::string listing = "/proc/" + std::to_string(getpid()) + "/fd";
    std::map<int, std::string> fds;
    std::error_code error;
    for (fs::directory_iterator entry(listing, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code unreadable;
        const std::string target = fs::read_symlink(entry->path(), unreadable).string();
        // Not the listing's own descriptor, open on this very folder.
        if (target != listing) {
            fds[std::atoi(entry->path().filename().c_str())] = target;
        }
    }
    return fds;
}

inline Footprint TakeFootprint() {
    Footprint f;
    f.residentKb = StatusFieldKb("VmRSS");
    f.peakResidentKb = StatusFieldKb("VmHWM");
    f.heapInUseKb = static_cast<long>(mallinfo2().uordblks / 1024);
    f.fds = OpenDescriptors();
    return f;
}
