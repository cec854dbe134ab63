#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ptp_responder.h"

// The tethered camera's network side: PTP/IP on 127.0.0.1, on a free port
// the system picks, for both the command and the event connection, as a
// camera uses one port for both. One program at a time: it opens the
// command connection, then the event connection with the number it was
// given. The connections are served on a thread of their own.
class PtpIpServer {
public:
    // Throws std::runtime_error when no port can be had.
    PtpIpServer(const std::string& name, PtpResponder& responder);
    ~PtpIpServer();
    PtpIpServer(const PtpIpServer&) = delete;
    PtpIpServer& operator=(const PtpIpServer&) = delete;

    int Port() const { return port_; }

    // Sends an event to the connected program; lost when none is connected,
    // as a camera's events are.
    void Announce(std::uint16_t code, std::uint32_t transaction, std::uint32_t param);
    // The camera goes away: both connections break and no new one is taken;
    // `back_in` later, when given, it comes back on the same port, as one
    // switched on again, and a program may open a new session.
    void GoAway(std::optional<std::chrono::milliseconds> back_in);
    // From GoAway until the camera is back.
    bool Away();

private:
    using Clock = std::chrono::steady_clock;

    void Serve();
    // Until the camera goes away or the simulator ends.
    void ServeConnections();
    // Waits, switched off, for the time to come back, then listens again;
    // false when the camera stays away or the simulator ends first.
    bool ComeBack();
    void Greet(int fd);
    // False once the program has hung up.
    bool ServeCommand();
    bool SendAnswer(std::uint32_t transaction, const PtpAnswer& answer);
    void EndSession();
    void Close(int& fd);
    void Wake();

    const std::string name_;
    PtpResponder& responder_;
    int listen_fd_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::vector<int> newcomers_;  // connections that have not said what they are
    std::uint32_t connection_ = 0;
    std::mutex mutex_;  // guards the descriptors below and the flags
    int command_fd_ = -1;
    int event_fd_ = -1;
    bool gone_ = false;
    std::optional<Clock::time_point> back_at_;  // when a camera gone comes back
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once everything above is ready
};
