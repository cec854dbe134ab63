#include "core/tether/network_probe.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace zentrivo {

namespace {

constexpr const char* kPrefix = "ptpip:";
constexpr const char* kPtpIpPort = "15740";

bool ConnectsWithin(const addrinfo& address, int timeoutMs) {
    const int fd = socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                          address.ai_protocol);
    if (fd < 0) {
        return true;  // nothing learnt: libgphoto2 tries for itself
    }
    bool connected = connect(fd, address.ai_addr, address.ai_addrlen) == 0;
    if (!connected && errno == EINPROGRESS) {
        pollfd watched{fd, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        connected = poll(&watched, 1, timeoutMs) == 1 &&
                    getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
    close(fd);
    return connected;
}

}  // namespace

bool NetworkCameraAnswers(const std::string& port, int timeoutMs) {
    if (port.rfind(kPrefix, 0) != 0) {
        return true;
    }
    std::vector<std::string> parts;
    std::string rest = port.substr(std::string(kPrefix).size());
    for (std::size_t colon; (colon = rest.find(':')) != std::string::npos;) {
        parts.push_back(rest.substr(0, colon));
        rest.erase(0, colon + 1);
    }
    parts.push_back(rest);
    // "HOST", "HOST:PORT" or "HOST:PORT:PORT"; anything else (an IPv6
    // address) is left to libgphoto2.
    if (parts.size() > 3 || parts[0].empty()) {
        return true;
    }
    const std::string service = parts.size() > 1 ? parts[1] : kPtpIpPort;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(parts[0].c_str(), service.c_str(), &hints, &found) != 0) {
        return true;  // libgphoto2 says what is wrong with the name
    }
    bool answers = false;
    for (const addrinfo* address = found; address != nullptr && !answers;
         address = address->ai_next) {
        answers = ConnectsWithin(*address, timeoutMs);
    }
    freeaddrinfo(found);
    return answers;
}

}  // namespace zentrivo
