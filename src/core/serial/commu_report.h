#pragma once

#include <string>

// What the port layer's platform files share: the failure flag, the last
// error text, and the one way an error is composed and shown.
namespace zentrivo::commu_report {

// How a read that found the device gone is reported.
inline constexpr char kReadFailedPrefix[] = "error reading from serial port: ";

// A step that reports failure succeeded.
void NoteSuccess();

// A step failed: "<prefix><code> (<system text>)" becomes the error text, the
// failure flag is raised, and the text goes to the message sink unless quiet.
// Returns false so that callers can end with it.
bool NoteFailure(const std::string& prefix, long code, const std::string& system_text, bool quiet);

// The system's text for an error code with its trailing blanks, control
// characters and full stops removed, as it reads inside the parentheses.
std::string CleanSystemText(std::string text);

}  // namespace zentrivo::commu_report
