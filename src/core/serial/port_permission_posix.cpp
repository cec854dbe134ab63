#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/serial/port_path.h"
#include "core/serial/port_permission.h"

namespace zentrivo {

namespace {

std::string GroupName(gid_t gid) {
    const group* g = getgrgid(gid);
    return g != nullptr ? g->gr_name : std::to_string(gid);
}

std::string UserName() {
    const passwd* p = getpwuid(getuid());
    return p != nullptr ? p->pw_name : "$USER";
}

}  // namespace

std::optional<std::string> PermissionHint(const std::string& name) {
    const std::string path = PortDevicePath(name);
    struct stat device {};
    if (access(path.c_str(), R_OK | W_OK) == 0 || errno != EACCES ||
        stat(path.c_str(), &device) != 0) {
        return std::nullopt;
    }
    // A new member of the group gets its rights only with a new login.
    const std::string group = GroupName(device.st_gid);
    return "You have no permission to use " + path + ": you must belong to its group \"" + group +
           "\" (sudo usermod -aG " + group + " " + UserName() + ") and log in again.";
}

}  // namespace zentrivo
