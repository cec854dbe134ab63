#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

// The simulated turntable (tools/turntable_sim) running beside a test: it is
// started with the given options, its device path is read from the first
// line it prints, and it is stopped when this object goes.
class SimulatedTurntable {
public:
    explicit SimulatedTurntable(const std::vector<std::string>& options = {},
                                const std::string& program = TURNTABLE_SIM) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) {
            throw std::runtime_error("cannot make a pipe");
        }
        std::vector<std::string> words{program};
        words.insert(words.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        const int failed =
            posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        stdout_ = out[0];
        if (failed != 0) {
            pid_ = -1;
            Stop();
            throw std::runtime_error("cannot start " + program);
        }
        device_path_ = NextLine();
        if (device_path_.empty()) {
            Stop();
            throw std::runtime_error(program + " printed no device path");
        }
    }
    ~SimulatedTurntable() { Stop(); }
    SimulatedTurntable(const SimulatedTurntable&) = delete;
    SimulatedTurntable& operator=(const SimulatedTurntable&) = delete;

    const std::string& DevicePath() const { return device_path_; }

    // The next line the simulator prints (after the device path, a tethered
    // camera's "camera: <port>"); empty when none comes within ten seconds.
    std::string NextLine() {
        std::string line;
        char c = 0;
        pollfd in{stdout_, POLLIN, 0};
        while (poll(&in, 1, 10000) == 1 && read(stdout_, &c, 1) == 1 && c != '\n') {
            line += c;
        }
        return c == '\n' ? line : std::string();
    }

    // Waits for the simulator to end by itself; returns its exit status.
    int WaitForExit() {
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_) {
            pid_ = -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        if (stdout_ >= 0) {
            close(stdout_);
            stdout_ = -1;
        }
    }

    pid_t pid_ = -1;
    int stdout_ = -1;
    std::string device_path_;
};
