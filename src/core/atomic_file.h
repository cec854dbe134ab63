#pragma once

#include <optional>
#include <string>

namespace zentrivo {

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file at `path` with `bytes` so that a crash, a full disk or a
// failing write never leaves a half-written file behind: the bytes go to a
// temporary file in the same folder, reach the disk, and only then take the
// old file's place. An existing file keeps its permissions. Returns false
// when any step fails; the old file is then untouched.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace zentrivo
