#pragma once

#include <chrono>
#include <ctime>
#include <string>

#include "run/run_log.h"
#include "serial/device.h"

// The plain text log of each run: its commands and replies with their times,
// the photos as they arrive, retakes, pauses and the end.
class ShootLog {
public:
    // Where the logs go: the user's state folder.
    static std::string Folder();

    void Begin(const std::tm& now, int comPort, bool photoCheck, const std::string& cameraFolder);
    void Write(const std::string& text);
    void Exchange(const std::string& command, const zentrivo::ExchangeResult& result,
                  std::chrono::steady_clock::time_point sent);
    // The last line, once; nothing when no run is logged.
    void End(const std::string& text);

private:
    zentrivo::RunLog log_;
};
