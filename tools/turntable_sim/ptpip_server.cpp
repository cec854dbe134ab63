#include "ptpip_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "ptp_codes.h"
#include "ptp_data.h"

namespace {

// The most the program may send in one packet: its requests and datasets
// are small, and a broken length must not make the camera take all memory.
constexpr std::uint32_t kLongestIncoming = 16u << 20;
// The size of the data packets a download is cut into.
constexpr std::size_t kDataChunk = 1u << 20;
constexpr std::uint32_t kRejected = 1;  // the reason of an Init_Fail

bool ReadExactly(int fd, char* into, std::size_t size) {
    while (size > 0) {
        const ssize_t n = recv(fd, into, size, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        into += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadPacket(int fd, std::uint32_t& type, std::string& payload) {
    std::string header(8, '\0');
    if (!ReadExactly(fd, header.data(), header.size())) {
        return false;
    }
    const std::uint32_t length = ReadU32(header, 0);
    type = ReadU32(header, 4);
    if (length < 8 || length > kLongestIncoming) {
        return false;
    }
    payload.assign(length - 8, '\0');
    return ReadExactly(fd, payload.data(), payload.size());
}

// Writes the pieces as one stream; never raises SIGPIPE when the program
// has gone, which shows as false instead.
bool SendAll(int fd, std::string_view head, std::string_view body = {}) {
    while (!head.empty() || !body.empty()) {
        iovec parts[2] = {{const_cast<char*>(head.data()), head.size()},
                          {const_cast<char*>(body.data()), body.size()}};
        msghdr message{};
        message.msg_iov = head.empty() ? parts + 1 : parts;
        message.msg_iovlen = head.empty() ? 1 : 2;
        const ssize_t n = sendmsg(fd, &message, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        std::size_t sent = static_cast<std::size_t>(n);
        const std::size_t from_head = std::min(sent, head.size());
        head.remove_prefix(from_head);
        body.remove_prefix(sent - from_head);
    }
    return true;
}

bool SendPacket(int fd, std::uint32_t type, const std::string& payload) {
    return SendAll(fd, Packet(type, payload));
}

// On `port`, or on any free one when it is 0, which `port` is then set to;
// -1 when it cannot be had.
int ListenOnLoopback(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // The connections of the last session may linger on the port the camera
    // comes back to; they must not keep it from listening there again.
    const int on = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    socklen_t size = sizeof address;
    if (fd < 0 || (port != 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) ||
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 8) != 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

PtpIpServer::PtpIpServer(const std::string& name, PtpResponder& responder)
    : name_(name), responder_(responder) {
    listen_fd_ = ListenOnLoopback(port_);
    if (listen_fd_ < 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1 for the tethered camera");
    }
    if (pipe2(wake_, O_CLOEXEC) != 0) {
        close(listen_fd_);
        throw std::runtime_error("cannot make a pipe for the tethered camera");
    }
    thread_ = std::thread(&PtpIpServer::Serve, this);
}

PtpIpServer::~PtpIpServer() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    Wake();
    thread_.join();
    close(wake_[0]);
    close(wake_[1]);
}

void PtpIpServer::Wake() {
    const char byte = 0;
    while (write(wake_[1], &byte, 1) < 0 && errno == EINTR) {
    }
}

void PtpIpServer::Announce(std::uint16_t code, std::uint32_t transaction, std::uint32_t param) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (event_fd_ >= 0 && !gone_) {
        SendPacket(event_fd_, ptp::kEvent,
                   PtpWriter().U16(code).U32(transaction).U32(param).Data());
    }
}

void PtpIpServer::GoAway(std::optional<std::chrono::milliseconds> back_in) {
    const std::lock_guard<std::mutex> lock(mutex_);
    gone_ = true;
    if (back_in) {
        back_at_ = Clock::now() + *back_in;
    }
    // Closed by the thread, once it has sent what it is sending, with a
    // reset rather than an orderly end, as a camera switched off ends them:
    // the program reads an error, not a camera that has nothing more to say.
    const linger reset{1, 0};
    for (const int fd : {command_fd_, event_fd_}) {
        if (fd >= 0) {
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        }
    }
    Wake();
}

bool PtpIpServer::Away() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return gone_;
}

void PtpIpServer::Close(int& fd) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

void PtpIpServer::Serve() {
    do {
        ServeConnections();
        EndSession();
        for (const int fd : newcomers_) {
            close(fd);
        }
        newcomers_.clear();
        // Closed while the camera is away, so that a program is refused.
        Close(listen_fd_);
    } while (ComeBack());
}

void PtpIpServer::ServeConnections() {
    for (;;) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_ || gone_) {
                return;
            }
        }
        std::vector<pollfd> watched = {{wake_[0], POLLIN, 0},
                                       {listen_fd_, POLLIN, 0},
                                       {command_fd_, POLLIN, 0},
                                       {event_fd_, POLLIN, 0}};
        for (const int fd : newcomers_) {
            watched.push_back({fd, POLLIN, 0});
        }
        if (poll(watched.data(), watched.size(), -1) < 0) {
            continue;
        }
        if (watched[0].revents != 0) {
            char drained[64];
            (void)!read(wake_[0], drained, sizeof drained);
            continue;
        }
        if (watched[1].revents != 0) {
            const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                const int on = 1;
                setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                newcomers_.push_back(fd);
            }
        }
        if (watched[2].revents != 0 && !ServeCommand()) {
            EndSession();
        }
        if (watched[3].revents != 0) {
            std::uint32_t type = 0;
            std::string payload;
            if (!ReadPacket(event_fd_, type, payload)) {
                Close(event_fd_);
            } else if (type == ptp::kProbeRequest) {
                const std::lock_guard<std::mutex> lock(mutex_);
                SendPacket(event_fd_, ptp::kProbeResponse, {});
            }
        }
        for (std::size_t i = 4; i < watched.size(); ++i) {
            if (watched[i].revents != 0) {
                newcomers_.erase(std::find(newcomers_.begin(), newcomers_.end(), watched[i].fd));
                Greet(watched[i].fd);
            }
        }
    }
}

bool PtpIpServer::ComeBack() {
    for (;;) {
        int wait_ms = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_ || !back_at_) {
                return false;
            }
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(*back_at_ - Clock::now()).count();
            if (left <= 0) {
                int port = port_;
                listen_fd_ = ListenOnLoopback(port);
                if (listen_fd_ >= 0) {
                    gone_ = false;
                    back_at_.reset();
                    return true;
                }
                // Another socket has taken the port meanwhile: try again soon.
                wait_ms = 50;
            } else {
                wait_ms = static_cast<int>(left);
            }
        }
        pollfd wake{wake_[0], POLLIN, 0};
        if (poll(&wake, 1, wait_ms) > 0) {
            char drained[64];
            (void)!read(wake_[0], drained, sizeof drained);
        }
    }
}

void PtpIpServer::Greet(int fd) {
    std::uint32_t type = 0;
    std::string payload;
    if (!ReadPacket(fd, type, payload)) {
        close(fd);
        return;
    }
    if (type == ptp::kProbeRequest) {
        SendPacket(fd, ptp::kProbeResponse, {});
        newcomers_.push_back(fd);
        return;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (type == ptp::kInitCommandRequest && command_fd_ < 0) {
        command_fd_ = fd;
        ++connection_;
        const std::string guid = "ZentrivoSimCam01";
        SendPacket(fd, ptp::kInitCommandAck,
                   PtpWriter()
                       .U32(connection_)
                       .Bytes(guid)
                       .ZeroEndedText(name_)
                       .U32(0x00010000)  // PTP/IP 1.0
                       .Data());
        return;
    }
    if (type == ptp::kInitEventRequest && command_fd_ >= 0 && event_fd_ < 0 &&
        ReadU32(payload, 0) == connection_) {
        event_fd_ = fd;
        SendPacket(fd, ptp::kInitEventAck, {});
        return;
    }
    // A second program, or one that skipped a step: a camera serves one.
    SendPacket(fd, ptp::kInitFail, PtpWriter().U32(kRejected).Data());
    close(fd);
}

bool PtpIpServer::ServeCommand() {
    std::uint32_t type = 0;
    std::string payload;
    if (!ReadPacket(command_fd_, type, payload)) {
        return false;
    }
    if (type == ptp::kProbeRequest) {
        return SendPacket(command_fd_, ptp::kProbeResponse, {});
    }
    if (type != ptp::kOperationRequest) {
        return true;  // a stray data packet or cancel: nothing is under way
    }
    PtpRequest request;
    const std::uint32_t data_phase = ReadU32(payload, 0);
    request.Code = ReadU16(payload, 4);
    request.Transaction = ReadU32(payload, 6);
    for (std::size_t at = 10; at + 4 <= payload.size() && request.Params.size() < 5; at += 4) {
        request.Params.push_back(ReadU32(payload, at));
    }
    if (data_phase == ptp::kDataToCamera) {
        // The camera takes no data from the program: read it to its end,
        // then refuse the operation.
        std::string data;
        do {
            if (!ReadPacket(command_fd_, type, data) || type == ptp::kCancel) {
                return type == ptp::kCancel;
            }
        } while (type != ptp::kEndData);
    }
    const PtpAnswer answer = responder_.Answer(request);
    return SendAnswer(request.Transaction, answer);
}

bool PtpIpServer::SendAnswer(std::uint32_t transaction, const PtpAnswer& answer) {
    if (answer.HasData) {
        if (!SendPacket(command_fd_, ptp::kStartData,
                        PtpWriter().U32(transaction).U64(answer.Size).Data())) {
            return false;
        }
        const std::string_view all(*answer.Data);
        std::size_t sent = 0;
        do {
            const std::size_t chunk = std::min(kDataChunk, answer.Size - sent);
            const bool last = sent + chunk == answer.Size;
            const std::string header = PtpWriter()
                                           .U32(static_cast<std::uint32_t>(12 + chunk))
                                           .U32(last ? ptp::kEndData : ptp::kData)
                                           .U32(transaction)
                                           .Data();
            if (!SendAll(command_fd_, header, all.substr(answer.Offset + sent, chunk))) {
                return false;
            }
            sent += chunk;
        } while (sent < answer.Size);
    }
    PtpWriter response;
    response.U16(answer.Code).U32(transaction);
    for (const std::uint32_t param : answer.Params) {
        response.U32(param);
    }
    return SendPacket(command_fd_, ptp::kOperationResponse, response.Data());
}

void PtpIpServer::EndSession() {
    Close(command_fd_);
    Close(event_fd_);
    responder_.EndSession();
}
