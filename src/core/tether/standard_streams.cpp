#include "core/tether/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <mutex>

namespace zentrivo {

void KeepStandardStreamsTaken() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int fd = 0; fd <= 2; ++fd) {
            if (fcntl(fd, F_GETFD) == -1) {
                const int opened = open("/dev/null", O_RDWR);
                if (opened >= 0 && opened != fd) {
                    dup2(opened, fd);
                    close(opened);
                }
            }
        }
    });
}

namespace {

// Before main: the application's own event loop opens its descriptors
// before any camera is made.
const bool kTakenAtStart = (KeepStandardStreamsTaken(), true);

}  // namespace

}  // namespace zentrivo
