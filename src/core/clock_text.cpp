#include "clock_text.h"

#include <cstdio>

namespace zentrivo {

namespace {

// "dd-mm-yyyy", which both texts start with.
std::string DateText(const std::tm& local) {
    char date[32];
    std::snprintf(date, sizeof date, "%02d-%02d-%04d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900);
    return date;
}

}  // namespace

std::string TimeSeparator() {
    return ":";
}

std::string ClockText(const std::tm& local) {
    char hms[3][8];
    std::snprintf(hms[0], sizeof hms[0], "%02d", local.tm_hour);
    std::snprintf(hms[1], sizeof hms[1], "%02d", local.tm_min);
    std::snprintf(hms[2], sizeof hms[2], "%02d", local.tm_sec);
    const std::string sep = TimeSeparator();
    return DateText(local) + " " + hms[0] + sep + hms[1] + sep + hms[2];
}

std::string FolderStamp(const std::tm& local) {
    char hms[32];
    std::snprintf(hms, sizeof hms, "_%02d%02d%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return DateText(local) + hms;
}

std::tm LocalNow() {
    return LocalTime(std::time(nullptr));
}

std::tm LocalTime(std::time_t now) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

}  // namespace zentrivo
