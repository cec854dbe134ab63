#include "shot_queue.h"

#include <algorithm>
#include <utility>

ShotQueue::ShotQueue(std::chrono::milliseconds delay, const CameraFaults& faults, int last_number,
                     Store store)
    : delay_(delay),
      faults_(faults),
      store_(std::move(store)),
      last_number_(last_number),
      writer_(&ShotQueue::Serve, this) {}

void ShotQueue::Stop() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (writer_.joinable()) {
        writer_.join();
    }
}

std::int64_t ShotQueue::Take(double angle_degrees, std::optional<std::uint32_t> transaction) {
    std::int64_t number = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        number = ++shots_;
        if (stopping_ || faults_.Misses(number) || number == faults_.Drop) {
            return number;
        }
        const auto late = std::chrono::milliseconds(number == faults_.Late ? faults_.LateMs : 0);
        pending_.push_back(
            {Clock::now() + delay_ + late, {angle_degrees, number, ++last_number_, transaction}});
    }
    wake_.notify_one();
    return number;
}

std::int64_t ShotQueue::Miss() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return ++shots_;
}

void ShotQueue::Serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (pending_.empty()) {
            if (stopping_) {
                return;
            }
            wake_.wait(lock);
            continue;
        }
        // Shots are stored as they fall due: in the order taken, unless one
        // is held up, which the others then pass, as a tethering program
        // copying several photos at once lets them.
        const auto next =
            std::min_element(pending_.begin(), pending_.end(),
                             [](const Pending& a, const Pending& b) { return a.Due < b.Due; });
        if (Clock::now() < next->Due) {
            wake_.wait_until(lock, next->Due);
            continue;
        }
        const Shot shot = next->Taken;
        pending_.erase(next);
        lock.unlock();
        store_(shot);
        lock.lock();
    }
}
