#include "shoot_ticker.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "handler_errors.h"

using namespace zentrivo;

namespace {

// The usual pace: the next command 50 ms after the reply to the last.
constexpr int kTickMs = 50;

}  // namespace

ShootTicker::ShootTicker(const TOpcije& options, std::function<void()> tick, QObject* parent)
    : QObject(parent), options_(options) {
    tick_.setInterval(kTickMs);
    tick_.setTimerType(Qt::PreciseTimer);
    atOnce_.setSingleShot(true);
    atOnce_.setInterval(0);
    for (QTimer* timer : {&tick_, &atOnce_}) {
        connect(timer, &QTimer::timeout, this, [tick] { RunGuarded(tick); });
    }
}

void ShootTicker::Schedule() {
    if (options_.FastPace) {
        atOnce_.start();
    } else if (due_) {
        // The pause counts from the reply: the journal, the log and the
        // window's updates since then do not lengthen it. The timer keeps
        // whole milliseconds and the event loop rounds its wait up, so it
        // is set a little short and the tick waits out the rest itself.
        const auto left = std::chrono::floor<std::chrono::milliseconds>(
                              *due_ - std::chrono::steady_clock::now()) -
                          std::chrono::milliseconds(1);
        tick_.start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count())));
    } else {
        tick_.start();
    }
}

void ShootTicker::Again() {
    tick_.start();
}

void ShootTicker::Stop() {
    tick_.stop();
    atOnce_.stop();
}

void ShootTicker::Arrived() {
    Stop();
    tick_.setInterval(kTickMs);
    if (due_) {
        std::this_thread::sleep_until(*due_);
        due_.reset();
    }
}

void ShootTicker::PauseFrom(const ExchangeResult& result) {
    // Only the usual pace pauses; the fast one sends as soon as it may.
    if (options_.FastPace) {
        due_.reset();
    } else if (!result.Reply.empty()) {
        due_ = result.RepliedAt + std::chrono::milliseconds(kTickMs);
    }
}

std::int64_t ShootTicker::GapMs() const {
    return options_.FastPace ? atOnce_.interval() : kTickMs;
}
