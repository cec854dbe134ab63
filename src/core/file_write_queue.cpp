#include "file_write_queue.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "atomic_file.h"

namespace zentrivo {

FileWriteQueue::FileWriteQueue() : thread_([this] { Work(); }) {}

FileWriteQueue::~FileWriteQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void FileWriteQueue::Write(const std::string& path, std::string bytes,
                           std::chrono::milliseconds late) {
    const Clock::time_point due = Clock::now() + late;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!tasks_.empty() && !tasks_.back().remove && tasks_.back().path == path) {
            tasks_.back().bytes = std::move(bytes);
            tasks_.back().due = std::min(tasks_.back().due, due);
        } else {
            tasks_.push_back(Task{false, path, std::move(bytes), due});
        }
    }
    wake_.notify_one();
}

bool FileWriteQueue::WriteNow(const std::string& path, const std::string& bytes) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!tasks_.empty() && !tasks_.back().remove && tasks_.back().path == path) {
            tasks_.pop_back();
        }
        WaitUntilIdle(lock);
    }
    // Only the caller asks for writes, and it is here: nothing can start
    // beside this one.
    return WriteFileAtomically(path, bytes);
}

void FileWriteQueue::Remove(const std::string& path) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(Task{true, path, {}, Clock::now()});
    }
    wake_.notify_one();
}

void FileWriteQueue::Flush() {
    std::unique_lock<std::mutex> lock(mutex_);
    WaitUntilIdle(lock);
}

void FileWriteQueue::WaitUntilIdle(std::unique_lock<std::mutex>& lock) {
    ++flushes_;
    wake_.notify_one();
    idle_.wait(lock, [this] { return tasks_.empty() && !busy_; });
    --flushes_;
}

void FileWriteQueue::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || !tasks_.empty(); });
        if (tasks_.empty()) {
            return;  // asked to quit with nothing left to do
        }
        if (!quit_ && flushes_ == 0 && tasks_.front().due > Clock::now()) {
            wake_.wait_until(lock, tasks_.front().due);
            continue;
        }
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        busy_ = true;
        lock.unlock();
        if (task.remove) {
            std::error_code ec;
            std::filesystem::remove(std::filesystem::u8path(task.path), ec);
        } else {
            WriteFileAtomically(task.path, task.bytes);
        }
        lock.lock();
        busy_ = false;
        if (tasks_.empty()) {
            idle_.notify_all();
        }
    }
}

}  // namespace zentrivo
