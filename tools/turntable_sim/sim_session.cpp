#include "sim_session.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <iostream>
#include <thread>

#include "write_all.h"

namespace {

// Time for the program to read the last reply before the line goes dead.
constexpr std::int64_t kHangUpGraceMs = 100;

bool IsGap(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

SimSession::SimSession(PseudoTerminal& line, const SimOptions& options, Turntable& turntable,
                       Camera& camera, CommandLog& log)
    : line_(line), options_(options), turntable_(turntable), camera_(camera), log_(log) {}

int SimSession::Run() {
    std::string pending;
    char buffer[512];
    for (;;) {
        const ssize_t n = read(line_.ControllerFd(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return 1;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (pending.empty() && IsGap(buffer[i])) {
                continue;
            }
            pending += buffer[i];
            if (buffer[i] != '.') {
                continue;
            }
            const std::string command = pending;
            pending.clear();
            if (!Handle(command)) {
                return 0;
            }
            // A program that waits for each reply writes nothing until it has
            // read it whole, so nothing can have come before its last byte.
            next_early_ = i + 1 < n || more_before_reply_;
        }
    }
}

bool SimSession::MoreHasCome() const {
    pollfd in{line_.ControllerFd(), POLLIN, 0};
    return poll(&in, 1, 0) == 1 && (in.revents & POLLIN) != 0;
}

bool SimSession::Handle(const std::string& command) {
    const auto received = std::chrono::system_clock::now();
    const bool early = next_early_;
    ++count_;
    if (command[0] == 'R' || command[0] == 'L') {
        ++rotations_;
        const auto& kills = options_.KillAtRotations;
        if (std::find(kills.begin(), kills.end(), rotations_) != kills.end()) {
            KillProgram();
        }
    }
    if (options_.SilentFrom != 0 && count_ >= options_.SilentFrom) {
        log_.Record(received, command, nullptr, turntable_.AngleDegrees(), early);
        more_before_reply_ = MoreHasCome();
        return true;
    }
    if (count_ == options_.HangUpAt) {
        log_.Record(received, command, nullptr, turntable_.AngleDegrees(), early);
        Act(command);
        HangUp();
        return false;
    }
    const std::string reply = count_ == options_.ErrorAt ? options_.ErrorReply : Act(command);
    // Logged before the reply goes out: whoever has the reply finds the line.
    log_.Record(received, command, &reply, turntable_.AngleDegrees(), early);
    more_before_reply_ = Send(reply);
    if (count_ == options_.HangUpAfter) {
        Wait(kHangUpGraceMs, 1.0);
        HangUp();
        return false;
    }
    return true;
}

void SimSession::KillProgram() const {
    std::ifstream file(options_.KillPidFile);
    long pid = 0;
    if (!(file >> pid) || pid <= 1 || kill(static_cast<pid_t>(pid), SIGKILL) != 0) {
        std::cerr << "turntable_sim: cannot kill the process in " << options_.KillPidFile << "\n";
    }
}

std::string SimSession::Act(const std::string& command) {
    const CommandEffect effect = turntable_.Execute(command);
    if (!effect.Known) {
        return options_.ErrorReply;
    }
    Wait(effect.DurationMs, options_.TimeScale);
    if (effect.Photo && !options_.CameraNoCable) {
        camera_.TakePhoto(effect.ShutterMs, turntable_.AngleDegrees());
    }
    return options_.Reply;
}

bool SimSession::Send(const std::string& reply) {
    std::string last = reply;
    if (options_.SplitReplies && reply.size() >= 2) {
        const std::size_t half = reply.size() / 2;
        WriteAll(line_.ControllerFd(), reply.substr(0, half));
        KeepGap(options_.SplitGapMs);
        last = reply.substr(half);
    }
    // Asked before the last piece goes out: what comes after it is the
    // program's quick answer, not an early command.
    const bool more = MoreHasCome();
    WriteAll(line_.ControllerFd(), last);
    return more;
}

void SimSession::KeepGap(std::int64_t ms) const {
    // The last stretch is kept by watching the clock: a sleep can wake a
    // few milliseconds late on a busy machine, which is longer than the
    // pause inside a reply may be.
    constexpr auto kWatched = std::chrono::milliseconds(3);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::this_thread::sleep_until(until - kWatched);
    while (std::chrono::steady_clock::now() < until) {
    }
}

void SimSession::HangUp() {
    line_.HangUp();
    log_.Record(std::chrono::system_clock::now(), "HANGUP", nullptr, turntable_.AngleDegrees());
}

void SimSession::Wait(std::int64_t ms, double scale) const {
    const auto scaled = std::chrono::duration<double, std::milli>(static_cast<double>(ms) * scale);
    if (scaled.count() > 0) {
        std::this_thread::sleep_for(scaled);
    }
}
