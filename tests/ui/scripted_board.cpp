#include "scripted_board.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>

ScriptedBoard::ScriptedBoard(Script script)
    : script_(std::move(script)), thread_([this] { Serve(); }) {}

ScriptedBoard::~ScriptedBoard() {
    stop_ = true;
    thread_.join();
}

std::vector<std::string> ScriptedBoard::Commands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

std::vector<std::string> ScriptedBoard::SentEarly() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return early_;
}

void ScriptedBoard::Serve() {
    std::string pending;
    bool nextEarly = false;
    char buffer[256];
    while (!stop_ && !hungUp_) {
        pollfd in{line_.ControllerFd(), POLLIN, 0};
        if (poll(&in, 1, 20) != 1 || (in.revents & POLLIN) == 0) {
            continue;
        }
        const ssize_t n = read(line_.ControllerFd(), buffer, sizeof buffer);
        if (n <= 0) {
            continue;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t dot;
        while (!hungUp_ && (dot = pending.find('.')) != std::string::npos) {
            const std::string command = pending.substr(0, dot + 1);
            pending.erase(0, dot + 1);
            int number;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                commands_.push_back(command);
                if (nextEarly) {
                    early_.push_back(command);
                }
                number = static_cast<int>(commands_.size());
            }
            const Action action = script_(number, command);
            if (action.delayMs > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(action.delayMs));
            }
            if (!action.silent &&
                write(line_.ControllerFd(), action.reply.data(), action.reply.size()) < 0) {
                return;
            }
            // A program that waits for each reply writes nothing until it
            // has read it, so nothing can be here yet.
            pollfd more{line_.ControllerFd(), POLLIN, 0};
            nextEarly = !pending.empty() || (poll(&more, 1, 0) == 1 && (more.revents & POLLIN));
            if (action.hangUp) {
                // By default time for the program to read the last reply
                // before the line goes dead, as a board unplugged just after.
                std::this_thread::sleep_for(std::chrono::milliseconds(action.hangUpDelayMs));
                line_.HangUp();
                hungUp_ = true;
            }
        }
    }
}
