#pragma once

#include <optional>
#include <string>

namespace zentrivo {

// Why this user may not open the port `name` (as OpenPort takes it), when
// the reason is the rights to its device: one line naming the device's
// group, as the user must join it, for example
//   You have no permission to use /dev/ttyACM0: you must belong to its
//   group "dialout" (sudo usermod -aG dialout alice) and log in again.
// Nothing when rights are not the reason, and on Windows, where a port is
// not guarded by groups.
std::optional<std::string> PermissionHint(const std::string& name);

}  // namespace zentrivo
