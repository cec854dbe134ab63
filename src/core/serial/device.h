#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "core/serial/commu.h"

// One command exchange with the turntable's controller: write the command,
// poll for its reply and judge it.
namespace zentrivo {

enum class ExchangeOutcome {
    SendFailed,   // the write failed; nothing was read
    DeviceError,  // the reply holds a capital "E"
    NoReply,      // nothing arrived before the poll limit was passed
    Accepted,     // anything else
    DeviceLost,   // the device went away during the wait (see ReadPort)
};

struct ExchangeResult {
    ExchangeOutcome Outcome = ExchangeOutcome::SendFailed;
    std::string Reply;       // what the first non-empty poll (and those before) read
    std::int32_t Polls = 0;  // reads made
    // SendFailed because no port was open: nothing was written or shown.
    bool PortClosed = false;
    // When the reply was read, before the events of its poll ran.
    std::chrono::steady_clock::time_point RepliedAt{};
};

// Poll limits: the connection test makes at most 11 polls, a command that
// takes the controller no time at most 1001 (PollLimitFor in
// command_time.h adds the time a command takes).
inline constexpr std::int32_t kTestPollLimit = 10;
inline constexpr std::int32_t kCommandPollLimit = 1000;

// The controller's connection test, answered at once by a working board.
inline constexpr char kTestCommand[] = "X.";

// How an exchange waits for its reply.
enum class ExchangePace {
    // A fixed 10 ms pause before each read; the first read that finds
    // bytes ends the wait.
    Standard,
    // Each poll waits on the line for at most 10 ms and ends as soon as
    // bytes come; then it reads on until the line has been quiet for 2 ms,
    // so that a reply written in a few pieces is taken whole.
    Fast,
};

// The pause before each poll at the standard pace.
void SleepOnePollInterval();  // 10 ms

// Writes `command` to the port and polls it until a reply shows or more than
// `poll_limit` polls were made, then judges: a reply holding "E" is
// DeviceError, else a passed limit is NoReply, else Accepted. What waited on
// the line before the write is dropped first, so that the reply is read only
// from what the controller sends after the command. A device that goes
// away ends the wait at that poll, as DeviceLost, with the port layer's
// error text set.
//
// A closed port (the invalid handle) is refused quietly, as SendFailed with
// PortClosed set: nothing is written and the port layer shows nothing.
//
// `port` is read again at every poll, so pass the connection's own handle
// (DeviceConnection::Handle()): when a handler run during the wait closes the
// port, the wait stops reading it. `waiting_reply`, when not null, is raised
// at every poll and lowered at the end (the runner's WaitingReply).
// `dispatch_events` runs after every poll so that the windows stay alive;
// at either pace a poll takes at most about 10 ms (a little more while a
// reply is still coming), and one that finds nothing takes 10 ms, so a
// limit in polls is as long at both. `sleep` replaces the 10 ms pause of the
// standard pace (tests); either may be empty. A wait whose `abandon` is
// raised (the program closes under it) ends after the poll in hand, as
// NoReply.
ExchangeResult ExchangeCommand(const PortHandle& port, const std::string& command,
                               std::int32_t poll_limit, bool quiet_write, bool* waiting_reply,
                               const std::function<void()>& dispatch_events,
                               const std::function<void()>& sleep = {},
                               ExchangePace pace = ExchangePace::Standard,
                               const std::atomic<bool>* abandon = nullptr);

}  // namespace zentrivo
