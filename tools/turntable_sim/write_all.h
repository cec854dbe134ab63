#pragma once

#include <unistd.h>

#include <cerrno>
#include <string_view>

// Writes every byte, going on after partial writes and interruptions; false
// when the descriptor refuses them.
inline bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}
