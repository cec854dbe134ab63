#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/serial/device.h"
#include "core/settings/settings.h"

// The run's beat: one tick a command. At the usual pace the next tick comes
// 50 ms after the reply to the last command, at the fast pace as soon as the
// events allow.
class ShootTicker : public QObject {
public:
    ShootTicker(const zentrivo::TOpcije& options, std::function<void()> tick,
                QObject* parent = nullptr);

    // The next tick, at the pace of the settings.
    void Schedule();
    // A tick at the usual interval: a run that goes on again.
    void Again();
    // The next tick in `ms`, or as soon as the event loop comes round,
    // whatever the pace; a later call replaces an earlier one.
    void Soon(int ms = 0) { atOnce_.start(ms); }
    void Stop();
    // At each tick: neither timer brings another beside it, and the rest of
    // the pause after the last reply is waited out.
    void Arrived();
    // The next tick comes no sooner than 50 ms after this exchange's reply.
    void PauseFrom(const zentrivo::ExchangeResult& result);
    // The pause between a reply and the next command, as Schedule makes it.
    std::int64_t GapMs() const;

private:
    const zentrivo::TOpcije& options_;
    // The usual pace's tick, and the fast pace's: a single shot with no delay.
    QTimer tick_;
    QTimer atOnce_;
    // The end of the pause after the last reply, for the next tick.
    std::optional<std::chrono::steady_clock::time_point> due_;
};
