#include "device.h"

#include <chrono>
#include <thread>

namespace zentrivo {

namespace {

// Only the capital letter counts as the controller's error signal.
ExchangeOutcome Judge(const std::string& reply, std::int32_t polls, std::int32_t poll_limit) {
    if (reply.find('E') != std::string::npos) {
        return ExchangeOutcome::DeviceError;
    }
    if (polls > poll_limit) {
        return ExchangeOutcome::NoReply;
    }
    return ExchangeOutcome::Accepted;
}

}  // namespace

void SleepOnePollInterval() {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

ExchangeResult ExchangeCommand(const PortHandle& port, const std::string& command,
                               std::int32_t poll_limit, bool quiet_write, bool* waiting_reply,
                               const std::function<void()>& dispatch_events,
                               const std::function<void()>& sleep) {
    ExchangeResult result;
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
        if (sleep) {
            sleep();
        } else {
            SleepOnePollInterval();
        }
        if (port != kInvalidPortHandle && !ReadPort(port, result.Reply)) {
            lost = true;
        }
        ++result.Polls;
        if (dispatch_events) {
            dispatch_events();
        }
    } while (!lost && result.Reply.empty() && result.Polls <= poll_limit);
    if (waiting_reply != nullptr) {
        *waiting_reply = false;
    }
    result.Outcome =
        lost ? ExchangeOutcome::DeviceLost : Judge(result.Reply, result.Polls, poll_limit);
    return result;
}

}  // namespace zentrivo
