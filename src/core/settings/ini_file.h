#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zentrivo {

// Raised when an INI file cannot be written; its text is what the user sees.
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string& path);
};

// An INI file read and written the way the Windows private-profile functions
// do, so that settings and profiles move freely between this program on
// Windows and elsewhere. The object holds only the path: every read and
// every write goes to the file at once, and reading never creates it.
class IniFile {
public:
    // Longest text a read returns, as the Windows functions do with their
    // 2048-byte buffer.
    static constexpr std::size_t kMaxValueLength = 2047;

    explicit IniFile(std::string path);

    const std::string& Path() const { return path_; }

    // The value of the first matching key in the first matching section,
    // or nothing when the file, the section or the key is missing.
    std::optional<std::string> ReadValue(std::string_view section, std::string_view key) const;

    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& fallback) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    // Whether the file exists and reads as text, as settings and profiles
    // do; a photo or any other binary file does not.
    bool HoldsText() const;

    // Replaces or adds one key, leaving every other line of the file as it
    // was, in the file's own encoding. A symbolic link is written through to
    // its file. Throws IniWriteError when the file cannot be read or written
    // (a read-only file included) or when a name or value could not be
    // stored on one line.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Takes the key's line out of the file, as the Windows function does
    // when given no value, by the same rules as a write. A file without the
    // key is not written at all. Throws IniWriteError when the file cannot
    // be read or written.
    void DeleteKey(std::string_view section, std::string_view key);

private:
    std::string path_;
};

}  // namespace zentrivo
