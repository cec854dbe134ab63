#pragma once

#include <ctime>
#include <string>

namespace zentrivo {

// The separator between hours, minutes and seconds: always ":", what Windows
// shows unless its user changes it. Linux has no setting for the separator
// alone, only whole time formats.
std::string TimeSeparator();

// "dd-mm-yyyy hh:mm:ss", as the status bar's clock shows the time.
std::string ClockText(const std::tm& local);

// "dd-mm-yyyy_hhmmss", the name of a photo sub-folder made at that moment;
// it holds no time separator, so it is a valid folder name everywhere.
std::string FolderStamp(const std::tm& local);

// The current local time.
std::tm LocalNow();
std::tm LocalTime(std::time_t time);

}  // namespace zentrivo
