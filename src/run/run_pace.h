#pragma once

#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/journal/time_left.h"
#include "core/serial/command_time.h"

// What the controller has been told of its pace over every run, and how the
// run in hand has kept to it: how long a reply may be waited for, and the
// time left.
class RunPace {
public:
    // Keeps what an accepted command told the controller.
    void Accepted(const std::string& command) { zentrivo::NoteAccepted(controller_, command); }
    std::int32_t PollLimit(const std::string& command) const {
        return zentrivo::PollLimitFor(command, controller_);
    }
    // The way back: the controller turns at the last period it was given;
    // the run's own period is the floor, should it have been given none since.
    std::int32_t ReturnPollLimit(const std::string& command, std::int64_t runPeriodMs) const {
        zentrivo::ControllerPace pace = controller_;
        pace.PeriodMs = std::max(pace.PeriodMs, runPeriodMs);
        return zentrivo::PollLimitFor(command, pace);
    }

    void BeginRun() { soFar_ = zentrivo::RunPaceSoFar{}; }
    // `command`, accepted after the wait since `sent`.
    void Measured(const std::string& command, std::chrono::steady_clock::time_point sent) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - sent);
        soFar_.Add(ms.count(), zentrivo::ExpectedDurationMs(command, controller_));
    }
    // "Time left: ..." of the commands from `next` on, and `waitMs` before
    // them.
    QString TimeLeft(const std::vector<std::string>& commands, std::size_t next, std::int64_t gapMs,
                     std::int64_t waitMs = 0) const {
        return QString::fromStdString(zentrivo::TimeLeftText(
            waitMs + zentrivo::TimeLeftMs(commands, next, controller_, soFar_, gapMs)));
    }

private:
    zentrivo::ControllerPace controller_;
    zentrivo::RunPaceSoFar soFar_;
};
