#pragma once

#include <chrono>
#include <fstream>
#include <string>

// A line for every command the board received:
//   2025-01-31 14:03:07.215<TAB>L0040.<TAB>OK\r\n<TAB>12.00
// the local time it arrived, the command, the reply sent (escaped; "-" when
// none was) and the turntable's angle in degrees afterwards, and a fifth
// field "early" when the command had come before the board answered the one
// before it. Each line is written and flushed just before the reply is sent.
// When the board hangs up, a last line holds the time of that and "HANGUP"
// for the command.
// With `microseconds` the time has six digits after the second, not three.
class CommandLog {
public:
    // No file when `path` is empty; appends to it otherwise.
    CommandLog(const std::string& path, bool echo_to_stderr, bool microseconds = false);

    bool IsOpen() const { return !path_given_ || file_.is_open(); }

    void Record(std::chrono::system_clock::time_point received, const std::string& command,
                const std::string* reply, double angle, bool early = false);

private:
    bool path_given_;
    bool echo_;
    bool microseconds_;
    std::ofstream file_;
};
