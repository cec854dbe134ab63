#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/process/return_command.h"
#include "core/serial/device.h"
#include "device_link.h"
#include "run_pace.h"
#include "shoot_journal.h"

// The way back to where the run began: one command that turns the table
// back over the rotations it made, at the direction, steps and period of the
// run that made them.
class WayBack {
public:
    WayBack(DeviceLink& device, const RunPace& pace, ShootJournal& journal)
        : device_(device), pace_(pace), journal_(journal) {}

    // The run that turns the table from now on.
    void Plan(zentrivo::ReturnPlan plan) { plan_ = std::move(plan); }
    const zentrivo::ReturnPlan& Planned() const { return plan_; }

    // Turns the table back over `rotations`; `done` gets the command and
    // the controller's answer, or no answer when the port would not open.
    using Done = std::function<void(const std::string& command,
                                    const std::optional<zentrivo::ExchangeResult>& result)>;
    void Go(std::int32_t rotations, Done done);

private:
    DeviceLink& device_;
    const RunPace& pace_;
    ShootJournal& journal_;
    zentrivo::ReturnPlan plan_;
};
