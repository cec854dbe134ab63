#pragma once

// POSIX only: Windows has no SIGPIPE.
#include <signal.h>

#include <ctime>

namespace zentrivo {

// A write to a pipe or socket whose other end has gone raises SIGPIPE, which
// would end the whole program; blocked on this thread, the write fails with
// EPIPE instead, and the signal is taken off again when the guard ends.
class QuietBrokenPipe {
public:
    QuietBrokenPipe() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &before_);
    }
    ~QuietBrokenPipe() {
        if (!sigismember(&before_, SIGPIPE)) {
            const timespec now{0, 0};
            while (sigtimedwait(&pipe_, nullptr, &now) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &before_, nullptr);
    }
    QuietBrokenPipe(const QuietBrokenPipe&) = delete;
    QuietBrokenPipe& operator=(const QuietBrokenPipe&) = delete;

private:
    sigset_t pipe_;
    sigset_t before_;
};

// For the whole process from the first call on: a write to a pipe or socket
// whose other end has gone fails with EPIPE, on whichever thread it is made.
// A library that writes to its connections with a plain write (the camera
// library does) is then safe without a guard around every call into it, on
// every path it may take. A handler that does nothing, not SIG_IGN: an
// ignored signal would stay ignored in the programs this one starts.
inline void HearBrokenPipesAsErrors() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        return sigaction(SIGPIPE, &action, nullptr) == 0;
    }();
    (void)installed;
}

}  // namespace zentrivo
