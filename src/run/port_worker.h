#pragma once

#include <QMutex>
#include <QObject>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "core/serial/device.h"

// The port's exchanges, on a thread of their own. The wait for a reply polls
// the port at the controller's pace however busy the windows are, and a box
// opened meanwhile holds nothing up: the result comes back as an event.
class PortWorker {
public:
    struct Request {
        zentrivo::PortHandle port = zentrivo::kInvalidPortHandle;
        std::string command;
        std::int32_t pollLimit = 0;
        bool quietWrite = false;
        zentrivo::ExchangePace pace = zentrivo::ExchangePace::Standard;
        // Replaces the 10 ms pause between reads (tests); runs on the thread.
        std::function<void()> sleep;
    };
    using Done = std::function<void(const zentrivo::ExchangeResult&)>;

    PortWorker();
    // An exchange in hand is abandoned after its poll in hand.
    ~PortWorker();
    PortWorker(const PortWorker&) = delete;
    PortWorker& operator=(const PortWorker&) = delete;

    // Plays `request`; `done` runs on the thread of `context` with its
    // result, unless `context` is gone by then.
    void Run(Request request, QObject* context, Done done);

private:
    // The thread's own loop: one exchange at a time, in the order asked.
    void Serve();

    QMutex mutex_;
    QWaitCondition wake_;
    std::deque<std::function<void()>> jobs_;  // guarded by mutex_
    std::atomic<bool> abandon_{false};
    std::unique_ptr<QThread> thread_;
};
