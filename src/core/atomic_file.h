#pragma once

#include <optional>
#include <string>

namespace zentrivo {

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// How an atomic replacement ended.
enum class AtomicWrite {
    kDone,
    kNoNewFile,     // the folder lets no new file be made beside the old one
    kOwnerNotKept,  // the new file could not take the old one's owner and group
    kNotReplaced,   // the new file could not take the old one's place
    kFailed,        // the bytes did not reach the disk (a full disk, a failing medium)
};

// Replaces the file at `path` with `bytes` so that a crash, a full disk or a
// failing write never leaves a half-written file behind: the bytes go to a
// temporary file in the same folder, reach the disk, and only then take the
// old file's place. An existing file keeps its permissions, owner and group.
// On anything but kDone the old file is untouched and no temporary file is
// left.
AtomicWrite ReplaceAtomically(const std::string& path, const std::string& bytes);

// ReplaceAtomically, true when it was done.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// Writes `bytes` over the content of the existing file `path`, in the file
// itself, and cuts it to their length. Not safe against a crash half way:
// only for a file that cannot be replaced as a whole.
bool RewriteInPlace(const std::string& path, const std::string& bytes);

}  // namespace zentrivo
