#pragma once

namespace zentrivo {

// The finishing makes and drops a few dozen frame-sized buffers for every
// frame, most of them larger than the 32 MB above which glibc maps each from
// the kernel and unmaps it when freed: every page was then faulted in and
// zeroed anew, a third of the finishing's time, and the workers' faults
// queued on one lock. While a holder lives, such buffers are kept in the
// one heap all threads share and reused; once the last holder is gone the
// heap's free memory is handed back. Only glibc is told; elsewhere nothing
// changes.
class LargeBuffersKept {
public:
    LargeBuffersKept();
    ~LargeBuffersKept();
    LargeBuffersKept(const LargeBuffersKept&) = delete;
    LargeBuffersKept& operator=(const LargeBuffersKept&) = delete;
};

}  // namespace zentrivo
