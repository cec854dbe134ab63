#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentrivo::fuzz {

// The readers take a path, so each input goes to a file of its own in memory
// (/dev/shm when there is one), in a folder removed when the process ends.
// Returns the file's path.
std::string WriteInputFile(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace zentrivo::fuzz
