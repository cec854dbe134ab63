#pragma once

#include <cstdint>
#include <string>

#include "core/settings/ini_file.h"

namespace zentrivo {

// The seven shoot parameters a profile file keeps.
struct TProfil {
    std::int32_t TipRotacije = 0;            // 0 "Normal", 1 half-stepping
    std::int32_t ZeljeniBrFotografija = 30;  // photos in one turn
    std::int32_t PeriodRotacije = 5;         // ms per motor step
    std::int32_t SmjerRotacije = 0;          // 1 right, anything else left
    std::int32_t TrajanjeFokusa = 2000;      // ms, 0 = no focus
    std::int32_t TrajanjeBlende = 50;        // ms
    std::int32_t MedjuPauza = 50;            // ms, 0 = no delay
};

inline constexpr const char* kNewProfileName = "novi_profil.zv";
inline constexpr const char* kProfileFilter = "Zentrivo profil (*.zv)|*.zv|Svi fajlovi (*.*)|*.*";
inline constexpr const char* kProfileExtension = "zv";

// Reads a profile; a missing or unreadable key takes its value from
// `defaults`, so a file that is no profile at all reads as the defaults.
TProfil LoadProfile(const IniFile& file, const TProfil& defaults);

// Writes the seven keys, "Rotiranje" first, leaving every other line of an
// existing file as it was. Throws IniWriteError.
void SaveProfile(IniFile& file, const TProfil& profile);

// The name and extension of a path, without its folder.
std::string FileNamePart(const std::string& path);

}  // namespace zentrivo
