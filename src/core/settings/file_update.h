#pragma once

#include <string>

namespace zentrivo {

// Changing a settings or profile file the way the Windows profile functions
// change one, so that the program treats a file alike on both systems.

// The file a write to `path` changes: `path` itself, or, when it is a
// symbolic link, the file the link (through any links of links) points to,
// whether that file exists yet or not.
std::string WriteTarget(const std::string& path);

// What a change of a file starts from.
struct FileContent {
    enum class State {
        kMissing,     // no file yet: the write makes it
        kRead,        // `bytes` holds the whole file
        kUnreadable,  // there is something that cannot be read, so no write may replace it
    };
    State state = State::kMissing;
    std::string bytes;
};
FileContent ReadForUpdate(const std::string& path);

// Gives the file `path` (a write target) the content `bytes`. An existing
// file must be a regular file this process may write, and one with no write
// permission at all counts as read-only even for root, as Windows honours a
// read-only file for an administrator. It is replaced atomically, keeping
// its permissions, owner and group; when the folder lets no new file be
// made, or the owner cannot be kept, it is rewritten in place instead.
// Returns false, with the file left as it was, when it cannot be written.
bool UpdateFile(const std::string& path, const std::string& bytes);

}  // namespace zentrivo
