#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace zentrivo {

// Writes and removes files on a thread of its own, in the order they were
// asked for, so that a caller in a hurry (the run between a reply and its
// next command) never waits for a file to reach the disk. Each write is
// atomic, as WriteFileAtomically makes it. A write asked for while an
// earlier one to the same file still waits replaces it: only the newest
// content matters. A write that may come late waits a little first, so that
// a newer one soon after takes its place and the disk is asked once.
// Whatever is queued is done before the queue goes away.
class FileWriteQueue {
public:
    FileWriteQueue();
    ~FileWriteQueue();
    FileWriteQueue(const FileWriteQueue&) = delete;
    FileWriteQueue& operator=(const FileWriteQueue&) = delete;

    void Write(const std::string& path, std::string bytes,
               std::chrono::milliseconds late = std::chrono::milliseconds(0));
    // Writes on the caller's thread once everything asked for before is
    // done, as WriteFileAtomically does, for what must be on the disk before
    // the caller goes on; a write to the same file still waiting is dropped,
    // as this one replaces it. True when it was written.
    bool WriteNow(const std::string& path, const std::string& bytes);
    void Remove(const std::string& path);
    // Returns once everything asked for so far is done, so that what is
    // read afterwards is what was written.
    void Flush();

private:
    using Clock = std::chrono::steady_clock;
    struct Task {
        bool remove = false;
        std::string path;
        std::string bytes;
        Clock::time_point due;
    };
    void Work();
    void WaitUntilIdle(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Task> tasks_;
    bool busy_ = false;
    int flushes_ = 0;  // waiting for everything: nothing waits for its moment
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace zentrivo
