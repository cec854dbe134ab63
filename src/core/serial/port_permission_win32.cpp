#include "core/serial/port_permission.h"

namespace zentrivo {

std::optional<std::string> PermissionHint(const std::string&) {
    return std::nullopt;
}

}  // namespace zentrivo
