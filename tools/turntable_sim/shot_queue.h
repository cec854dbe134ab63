#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "camera_faults.h"

// A photo taken and not yet stored.
struct Shot {
    double AngleDegrees = 0;
    std::int64_t Number = 0;                   // of the shot, counted from 1 over the session
    int FileNumber = 0;                        // of its file, given at the exposure
    std::optional<std::uint32_t> Transaction;  // of the capture the program asked for, if so
};

// A camera's shots on their way to its card: each is counted, given the
// next file number at the exposure, and stored `delay` later on a thread of
// its own, so the board answers without waiting for the camera. `faults`
// lose shots or hold one up.
class ShotQueue {
public:
    using Store = std::function<void(const Shot&)>;

    // The first file number given is `last_number` + 1.
    ShotQueue(std::chrono::milliseconds delay, const CameraFaults& faults, int last_number,
              Store store);
    ~ShotQueue() { Stop(); }
    ShotQueue(const ShotQueue&) = delete;
    ShotQueue& operator=(const ShotQueue&) = delete;

    // Counts a shot and queues it, unless the faults lose it or it is the
    // shot at which the camera goes away; returns its number.
    std::int64_t Take(double angle_degrees, std::optional<std::uint32_t> transaction = {});
    // Counts a shot the camera never took, as one switched off misses the
    // board's; returns its number.
    std::int64_t Miss();
    // Stores the shots still pending, each at its time, as a camera finishes
    // its card writes before it is switched off; then takes no more.
    void Stop();

private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        Clock::time_point Due;
        Shot Taken;
    };

    void Serve();

    const std::chrono::milliseconds delay_;
    const CameraFaults faults_;
    const Store store_;
    std::int64_t shots_ = 0;  // under mutex_
    int last_number_;         // the last file number given; under mutex_
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Pending> pending_;
    bool stopping_ = false;
    std::thread writer_;  // last: it starts once everything above is ready
};
