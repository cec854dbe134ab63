#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentrivo {

// An integer written with at least `digits` digits, zero-padded on the left
// and never shortened, exactly as printf's "%.*d" writes it ("-0005" for -5).
std::string PadNumber(std::int32_t value, int digits);

// Motor steps (half steps when half-stepping) in one turntable revolution:
// the largest number of photos one turn can hold. Computed in 64 bits and
// clamped to the 32-bit range, so odd settings can never wrap around to a
// small or negative maximum.
std::int32_t MaxPhotos(std::int32_t brojKoraka, std::int32_t odnosPrenosa, bool halfStepping);

// The shoot parameters as the main window's controls hold them.
struct ShootParameters {
    int rotationTypeIndex = 0;       // cbRotiranjeTip: 0 "Normal", 1 half-stepping
    std::string photosText = "30";   // txtBrojSlika
    std::string periodText = "5";    // txtPeriodRotacije
    std::string focusText = "2000";  // txtTrajanjeFokusa
    std::string shutterText = "50";  // txtTrajanjeBlende
    std::string delayText = "50";    // txtMedjuPauza
    bool dirLeftDown = true;         // btnDirLeft
};

// Rotation type index 1 is half-stepping.
inline bool IsHalfStepping(int rotationTypeIndex) {
    return rotationTypeIndex == 1;
}

// The first failed input check: what to show and which page to bring forward.
struct InputProblem {
    std::string message;
    std::string caption;  // "Greška" or "Error"
    int page;             // 0 Rotation, 1 Photo
};

// The six checks of "Make Process" in order; nothing when all pass. A number
// of photos below 1 is refused like a missing one, and a maximum below 1
// refuses every number of photos, so generation never divides by zero.
std::optional<InputProblem> ValidateInputs(const ShootParameters& inputs, std::int32_t maxPhotos);

// A made process and the values the runner keeps from it.
struct GeneratedProcess {
    std::vector<std::string> commands;
    std::int32_t photoCount = 0;     // N: the progress display's maximum
    std::int32_t StepsPerPhoto = 0;  // maxPhotos div N
    std::string DirectionLetter;     // "L" or "R"
    std::int32_t PeriodMs = 0;       // the step period of its "D" command
};

// The command list for inputs that passed ValidateInputs. A text that is not
// a whole number throws std::runtime_error with the general conversion error;
// a number of photos below 1 gives no photo commands and no steps.
GeneratedProcess GenerateProcess(const ShootParameters& inputs, std::int32_t maxPhotos);

// The number of photos as it is written back when txtBrojSlika is left or
// the rotation type changes: the smallest divisor of maxPhotos that is not
// less than the entered number, maxPhotos itself above it, and "1" for
// anything that is not a whole number of at least 1. The result is never
// below 1, even when maxPhotos is.
std::string ApplyDivisorRule(const std::string& photosText, std::int32_t maxPhotos);

}  // namespace zentrivo
