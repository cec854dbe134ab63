#pragma once

#include <QObject>
#include <functional>
#include <vector>

// Work that lets window events run while it goes on (a command's exchange on
// the port, a copy of the photos) and must not be entered again, nor have
// its ground pulled away, by a handler that runs in the middle of it. While
// the work holds its gate, such handlers wait for it: their action runs from
// the event loop once the gate is released.
class WorkGate {
public:
    // Queued actions run with `context` as their receiver.
    explicit WorkGate(QObject* context) : context_(context) {}
    WorkGate(const WorkGate&) = delete;
    WorkGate& operator=(const WorkGate&) = delete;

    bool Busy() const { return held_; }

    // Holds the gate for as long as it lives; one holder at a time.
    class Hold {
    public:
        explicit Hold(WorkGate& gate);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        WorkGate& gate_;
    };

    // Runs `action` now when every gate is free, else once they all are.
    static void WhenFree(const std::vector<WorkGate*>& gates, std::function<void()> action);

private:
    QObject* context_;
    bool held_ = false;
    std::vector<std::function<void()>> waiting_;
};
