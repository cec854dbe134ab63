#include "ffmpeg_process.h"
#include "ffmpeg_process_common.h"

#include "core/quiet_broken_pipe.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace zentrivo {

bool IsExecutableFile(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

VideoProcess::VideoProcess(const std::filesystem::path& ffmpeg, int width, int height, int frames,
                           int turnMilliseconds, const std::filesystem::path& output,
                           const std::filesystem::path& log)
    : log_(log) {
    std::vector<std::string> args =
        VideoArguments(ffmpeg, width, height, frames, turnMilliseconds, output);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        throw std::runtime_error("No pipe to ffmpeg could be made.");
    }
    const int logFile = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (logFile >= 0) {
        posix_spawn_file_actions_adddup2(&actions, logFile, 2);
    }
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[0]);
    if (logFile >= 0) {
        ::close(logFile);
    }
    if (spawned != 0) {
        ::close(pipeEnds[1]);
        throw std::runtime_error("ffmpeg could not be started (" + ffmpeg.string() + ").");
    }
    pid_ = pid;
    input_ = pipeEnds[1];
}

VideoProcess::~VideoProcess() {
    Reap(true);
}

void VideoProcess::Reap(bool kill) {
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
    if (pid_ > 0) {
        if (kill) {
            ::kill(pid_, SIGTERM);
        }
        while (::waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
}

void VideoProcess::Failed(const std::string& what) {
    Reap(true);
    const std::string said = LastLogLine(log_);
    throw std::runtime_error(what + (said.empty() ? "" : ": " + said));
}

void VideoProcess::Add(const RgbImage& frame) {
    QuietBrokenPipe quiet;
    const auto* bytes = frame.pixels.data();
    std::size_t left = frame.pixels.size();
    while (left > 0) {
        const ssize_t written = ::write(input_, bytes, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            // ffmpeg has gone; wait for it so its message is complete.
            Reap(false);
            Failed("ffmpeg stopped before the video was made");
        }
        bytes += written;
        left -= static_cast<std::size_t>(written);
    }
}

void VideoProcess::Finish() {
    Reap(false);
    if (!WIFEXITED(status_) || WEXITSTATUS(status_) != 0) {
        Failed("ffmpeg could not make the video");
    }
}

}  // namespace zentrivo
