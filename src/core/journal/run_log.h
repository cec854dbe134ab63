#pragma once

#include <cstddef>
#include <ctime>
#include <fstream>
#include <string>

// The log each run leaves as plain text: every command and its reply with
// their times, the photos as they arrive, the retakes, and how the run ended.
// A photographer reads it to see where a spoiled shoot went wrong.
namespace zentrivo {

// How many run logs are kept; the oldest go first.
inline constexpr std::size_t kRunLogsKept = 50;

// "zentrivo/logs" in the user's state folder: $XDG_STATE_HOME when it is an
// absolute path, else ~/.local/state. Empty with neither.
std::string RunLogFolder(const std::string& stateHome, const std::string& home);

// Removes all but the newest `keep` run logs of `folder`; other files stay.
void KeepNewestRunLogs(const std::string& folder, std::size_t keep);

class RunLog {
public:
    // Begins a new log in `folder`, made when missing, named by the local
    // time `now` ("run_2026-12-08_013500.log"), then keeps the newest
    // kRunLogsKept. False when it cannot be written: the run goes on
    // without one.
    bool Open(const std::string& folder, const std::tm& now);
    // One line, after the time of day to the millisecond; each reaches the
    // file at once, so a run that is killed keeps its log to that point.
    void Write(const std::string& text);
    void Close();
    // A log held takes lines after its end too, such as a photo the camera
    // stores after the run: Close ends it (it is no longer open) and Release
    // closes the file. The next Open closes it at once.
    void Hold() { held_ = true; }
    void Release();
    bool IsOpen() const { return out_.is_open() && !ended_; }
    const std::string& Path() const { return path_; }

private:
    std::ofstream out_;
    std::string path_;
    bool held_ = false;
    bool ended_ = false;
};

}  // namespace zentrivo
