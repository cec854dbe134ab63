#pragma once

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
// content matters. Whatever is queued is done before the queue goes away.
class FileWriteQueue {
public:
    FileWriteQueue();
    ~FileWriteQueue();
    FileWriteQueue(const FileWriteQueue&) = delete;
    FileWriteQueue& operator=(const FileWriteQueue&) = delete;

    void Write(const std::string& path, std::string bytes);
    void Remove(const std::string& path);
    // Returns once everything asked for so far is done, so that what is
    // read afterwards is what was written.
    void Flush();

private:
    struct Task {
        bool remove = false;
        std::string path;
        std::string bytes;
    };
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Task> tasks_;
    bool busy_ = false;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace zentrivo
