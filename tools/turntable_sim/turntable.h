#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// What a command does on the board.
struct CommandEffect {
    bool Known = false;           // a command the board understands
    std::int64_t DurationMs = 0;  // how long acting on it takes, at real speed
    bool Photo = false;           // a P command: the shutter was opened
    std::int64_t ShutterMs = 0;   // for how long
};

// The controller board's state: step mode, rotation period, focus time, and
// where the turntable stands.
//
// Commands are a capital letter, at least four digits and "."; "X." is the
// connection test. T0001./T0000. choose full or half steps, D sets the
// period of one motor step, F the focus time, both at once. P opens the
// shutter after focusing, W pauses, L and R turn by that many (half) steps.
class Turntable {
public:
    static constexpr std::int64_t kDefaultPeriodMs = 10;

    Turntable(std::int32_t steps_per_revolution, std::int32_t gear_ratio);

    CommandEffect Execute(const std::string& command);

    // Where the turntable stands, in degrees from where it began, 0 to 360;
    // R turns it forward, L back. Safe from any thread: a camera fired over
    // its own connection asks it while the board acts on commands.
    double AngleDegrees() const;

private:
    std::int64_t half_steps_per_turn_;
    std::atomic<std::int64_t> position_{0};  // in half steps
    bool half_steps_ = false;
    std::int64_t period_ms_ = kDefaultPeriodMs;
    std::int64_t focus_ms_ = 0;
};
