#include "core/serial/device.h"

#include <chrono>
#include <thread>

namespace zentrivo {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kPoll{10};
// The line counts as quiet, and a reply as whole, after this long without a
// byte: a dozen bytes' time at 57,600 baud.
constexpr std::chrono::milliseconds kQuiet{2};
// A reply that ends in CR waits this long for the LF that may follow it:
// a few bytes' time even at 9,600 baud.
constexpr std::chrono::microseconds kLineFeedWait{1500};

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// A reply that ends in a line end has plainly ended, unless it is nothing
// but line ends (the tail of an earlier one).
bool EndsInLine(const std::string& reply, std::size_t from) {
    if (reply.size() <= from || !IsLineEnd(reply.back())) {
        return false;
    }
    for (std::size_t i = from; i < reply.size(); ++i) {
        if (!IsLineEnd(reply[i])) {
            return true;
        }
    }
    return false;
}

// A poll at the standard pace: the fixed pause, then one read. Returns
// false when the device has gone.
bool PollAfterPause(const PortHandle& port, const std::function<void()>& sleep,
                    std::string& reply) {
    if (sleep) {
        sleep();
    } else {
        SleepOnePollInterval();
    }
    return port == kInvalidPortHandle || ReadPort(port, reply);
}

// A poll at the fast pace: waits on the line until bytes come, at most a
// poll's time, then reads on until the line is quiet. A poll that finds
// nothing lasts its whole 10 ms, also on a line that wakes every wait.
// Returns false when the device has gone before any reply came.
bool PollOnTheLine(const PortHandle& port, std::string& reply) {
    const auto poll_end = Clock::now() + kPoll;
    const std::size_t before = reply.size();
    if (port != kInvalidPortHandle && !ReadPortWithin(port, kPoll, reply)) {
        return false;
    }
    if (reply.size() == before) {
        std::this_thread::sleep_until(poll_end);
        return true;
    }
    // A reply ended by a line end is whole at once (an LF after its CR is
    // taken with it); one without is whole when the line falls quiet. A
    // board that never falls silent is read for one more poll's time at
    // most, so that the windows get their turn. A device that goes once its
    // reply has come has answered; the next write finds it gone.
    const auto read_end = Clock::now() + kPoll;
    while (Clock::now() < read_end) {
        if (EndsInLine(reply, before)) {
            if (reply.back() == '\r') {
                ReadPortWithin(port, kLineFeedWait, reply);
            }
            break;
        }
        const std::size_t had = reply.size();
        if (!ReadPortWithin(port, kQuiet, reply) || reply.size() == had) {
            break;
        }
    }
    return true;
}

// Only the capital letter counts as the controller's error signal.
ExchangeOutcome Judge(const std::string& reply, std::int32_t polls, std::int32_t poll_limit) {
    if (reply.find('E') != std::string::npos) {
        return ExchangeOutcome::DeviceError;
    }
    // Nothing read: the wait ran out, or was abandoned.
    if (reply.empty() || polls > poll_limit) {
        return ExchangeOutcome::NoReply;
    }
    return ExchangeOutcome::Accepted;
}

}  // namespace

void SleepOnePollInterval() {
    std::this_thread::sleep_for(kPoll);
}

ExchangeResult ExchangeCommand(const PortHandle& port, const std::string& command,
                               std::int32_t poll_limit, bool quiet_write, bool* waiting_reply,
                               const std::function<void()>& dispatch_events,
                               const std::function<void()>& sleep, ExchangePace pace,
                               const std::atomic<bool>* abandon) {
    ExchangeResult result;
    if (port == kInvalidPortHandle) {
        result.PortClosed = true;
        return result;
    }
    DiscardInput(port);
    if (!WritePort(port, command, quiet_write)) {
        result.Outcome = ExchangeOutcome::SendFailed;
        return result;
    }
    bool lost = false;
    do {
        // Raised again at every poll: a tick run during the wait lowers it.
        if (waiting_reply != nullptr) {
            *waiting_reply = true;
        }
        lost = !(pace == ExchangePace::Fast ? PollOnTheLine(port, result.Reply)
                                            : PollAfterPause(port, sleep, result.Reply));
        ++result.Polls;
        if (!result.Reply.empty()) {
            result.RepliedAt = Clock::now();
        }
        if (dispatch_events) {
            dispatch_events();
        }
    } while (!lost && result.Reply.empty() && result.Polls <= poll_limit &&
             !(abandon != nullptr && abandon->load()));
    if (waiting_reply != nullptr) {
        *waiting_reply = false;
    }
    result.Outcome =
        lost ? ExchangeOutcome::DeviceLost : Judge(result.Reply, result.Polls, poll_limit);
    return result;
}

}  // namespace zentrivo
