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

}  // namespace zentrivo
