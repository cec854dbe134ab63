#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../../tools/turntable_sim/pseudo_terminal.h"

// A controller board played by the test on a pseudo-terminal, on a thread
// of its own, so that it can answer while the window waits: each command
// (the bytes up to a ".") is answered as the script says.
class ScriptedBoard {
public:
    struct Action {
        std::string reply = "OK\r\n";
        int delayMs = 0;          // before the reply
        bool hangUp = false;      // after the reply, if any
        int hangUpDelayMs = 100;  // from the reply (or the command) to the hang-up
        bool silent = false;      // no reply at all
    };
    // Called with the command's number (from 1) and its text.
    using Script = std::function<Action(int number, const std::string& command)>;

    explicit ScriptedBoard(Script script);
    ~ScriptedBoard();
    ScriptedBoard(const ScriptedBoard&) = delete;
    ScriptedBoard& operator=(const ScriptedBoard&) = delete;

    const std::string& DevicePath() const { return line_.DevicePath(); }
    std::vector<std::string> Commands() const;
    // The commands that came before the board had answered the one before.
    std::vector<std::string> SentEarly() const;
    bool HungUp() const { return hungUp_; }

private:
    void Serve();

    PseudoTerminal line_;
    Script script_;
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
    std::vector<std::string> early_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> hungUp_{false};
    std::thread thread_;
};
