#include "core/journal/run_log.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/clock_text.h"

namespace zentrivo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "run_";
constexpr const char* kSuffix = ".log";

bool IsRunLogName(const std::string& name) {
    return name.size() > 8 && name.rfind(kPrefix, 0) == 0 &&
           name.compare(name.size() - 4, 4, kSuffix) == 0;
}

std::string TimeOfDay() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    const std::tm local = LocalTime(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms.count()));
    return text;
}

}  // namespace

std::string RunLogFolder(const std::string& stateHome, const std::string& home) {
    fs::path base;
    if (!stateHome.empty() && fs::u8path(stateHome).is_absolute()) {
        base = fs::u8path(stateHome);
    } else if (!home.empty()) {
        base = fs::u8path(home) / ".local" / "state";
    } else {
        return {};
    }
    return (base / "zentrivo" / "logs").u8string();
}

void KeepNewestRunLogs(const std::string& folder, std::size_t keep) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator entry(fs::u8path(folder), ec), end; !ec && entry != end;
         entry.increment(ec)) {
        const std::string name = entry->path().filename().u8string();
        if (IsRunLogName(name) && entry->is_regular_file(ec)) {
            names.push_back(name);
        }
    }
    if (names.size() <= keep) {
        return;
    }
    // The names sort as the times they carry.
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i + keep < names.size(); ++i) {
        fs::remove(fs::u8path(folder) / fs::u8path(names[i]), ec);
    }
}

bool RunLog::Open(const std::string& folder, const std::tm& now) {
    held_ = false;
    Close();
    ended_ = false;
    if (folder.empty()) {
        return false;
    }
    std::error_code ec;
    fs::create_directories(fs::u8path(folder), ec);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d%02d%02d", now.tm_year + 1900,
                  now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec);
    // Two runs begun in the same second get a number after the second.
    for (int n = 1; n < 100; ++n) {
        const std::string name = std::string(kPrefix) + stamp +
                                 (n > 1 ? "_" + std::to_string(n) : std::string()) + kSuffix;
        const fs::path path = fs::u8path(folder) / name;
        if (fs::exists(path, ec)) {
            continue;
        }
        out_.open(path, std::ios::out | std::ios::binary);
        if (!out_.is_open()) {
            return false;
        }
        path_ = path.u8string();
        KeepNewestRunLogs(folder, kRunLogsKept);
        return true;
    }
    return false;
}

void RunLog::Write(const std::string& text) {
    if (out_.is_open()) {
        out_ << TimeOfDay() << "  " << text << "\n";
        out_.flush();
    }
}

void RunLog::Close() {
    ended_ = true;
    if (held_) {
        return;
    }
    if (out_.is_open()) {
        out_.close();
    }
    path_.clear();
}

void RunLog::Release() {
    held_ = false;
    if (ended_) {
        Close();
    }
}

}  // namespace zentrivo
