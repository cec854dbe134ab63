#pragma once

#include <chrono>
#include <ctime>
#include <string>

#include "core/journal/run_log.h"
#include "core/serial/device.h"

// The plain text log of each run: its commands and replies with their times,
// the photos as they arrive, retakes, pauses and the end.
class ShootLog {
public:
    // Where the logs go: the user's state folder.
    static std::string Folder();

    // `portName` is what the port was opened by, `device` what it reached.
    void Begin(const std::tm& now, const std::string& portName, const std::string& device,
               bool photoCheck, const std::string& cameraFolder);
    void Write(const std::string& text);
    // A command as it goes out, and its outcome when the exchange is over,
    // with the time it took: each line carries the time of its own event.
    void Sent(const std::string& command);
    void Replied(const zentrivo::ExchangeResult& result,
                 std::chrono::steady_clock::time_point sent);
    // The last line, once; nothing when no run is logged.
    void End(const std::string& text);
    // Lines that still belong to the run after its end (a photo the camera
    // stores late, added to the copy) go into its log until Release.
    void Hold() { log_.Hold(); }
    void Release() { log_.Release(); }

private:
    zentrivo::RunLog log_;
};
