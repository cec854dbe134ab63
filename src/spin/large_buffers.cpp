#include "large_buffers.h"

#include <mutex>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace zentrivo {
namespace {

std::mutex holding;
int holders = 0;
#ifdef __GLIBC__
constexpr int kGlibcStartingThreshold = 128 * 1024;
#endif

}  // namespace

LargeBuffersKept::LargeBuffersKept() {
#ifdef __GLIBC__
    const std::lock_guard<std::mutex> lock(holding);
    if (holders++ == 0) {
        // Far above a frame's buffers (a float frame of 8192 px is 600 MB);
        // the trim threshold above it, so a freed buffer is not handed back
        // at once either. One arena: a thread's own is too small to hold
        // them and would map them after all.
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        mallopt(M_ARENA_MAX, 1);
    }
#endif
}

LargeBuffersKept::~LargeBuffersKept() {
#ifdef __GLIBC__
    const std::lock_guard<std::mutex> lock(holding);
    if (--holders == 0) {
        // The program goes on after an export: its small buffers are
        // mapped and handed back as glibc starts out, and the heap's free
        // memory goes back now.
        mallopt(M_MMAP_THRESHOLD, kGlibcStartingThreshold);
        mallopt(M_TRIM_THRESHOLD, kGlibcStartingThreshold);
        malloc_trim(0);
    }
#endif
}

}  // namespace zentrivo
