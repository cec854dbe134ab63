#include "command_log.h"

#include <cstdio>
#include <ctime>
#include <iostream>

namespace {

std::string TimeText(std::chrono::system_clock::time_point when, bool microseconds) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(when.time_since_epoch()).count() %
        1000000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%0*d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  microseconds ? 6 : 3, static_cast<int>(microseconds ? micros : micros / 1000));
    return text;
}

// Line ends and other control bytes shown as escapes, so a line stays a line.
std::string Visible(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

CommandLog::CommandLog(const std::string& path, bool echo_to_stderr, bool microseconds)
    : path_given_(!path.empty()), echo_(echo_to_stderr), microseconds_(microseconds) {
    if (path_given_) {
        file_.open(path, std::ios::app);
    }
}

void CommandLog::Record(std::chrono::system_clock::time_point received, const std::string& command,
                        const std::string* reply, double angle, bool early) {
    char degrees[32];
    std::snprintf(degrees, sizeof degrees, "%.2f", angle);
    const std::string line = TimeText(received, microseconds_) + "\t" + Visible(command) + "\t" +
                             (reply != nullptr ? Visible(*reply) : "-") + "\t" + degrees +
                             (early ? "\tearly" : "");
    if (file_.is_open()) {
        file_ << line << std::endl;
    }
    if (echo_) {
        std::cerr << line << std::endl;
    }
}
