#pragma once

#include <ctime>
#include <string>

namespace zentrivo {

// The separator the system puts between hours, minutes and seconds.
std::string TimeSeparator();

// "dd-mm-yyyy hh:mm:ss", as the status bar's clock shows the time.
std::string ClockText(const std::tm& local);

// The current local time.
std::tm LocalNow();

}  // namespace zentrivo
