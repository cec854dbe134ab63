#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zentrivo {

// The gauge's values, with the progress always kept within the range.
struct ProgressGauge {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t progress = 0;

    // A maximum below the minimum is raised to it; the progress is re-clamped.
    void SetRange(std::int32_t newMinimum, std::int32_t newMaximum);
    // A larger value becomes the maximum, a smaller one the minimum.
    void SetProgress(std::int64_t value);
    void Advance() { SetProgress(std::int64_t{progress} + 1); }

    // (progress - minimum) * 100 / (maximum - minimum), cut to a whole
    // number; 0 when the range is empty.
    int Percentage() const;
};

// The number written in the middle of the gauge, such as "40%".
std::string PercentText(const ProgressGauge& gauge);

// "Step " + progress + "/" + maximum.
std::string StepText(const ProgressGauge& gauge);

struct SliceColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

struct PieSlice {
    const char* label;
    std::int64_t value;
    SliceColour colour;
};

// The pie's two slices in drawing order: "Remaining" (red) = maximum -
// progress, then "Completed" (dark green, the gauge's fill) = progress.
std::array<PieSlice, 2> PieSlices(const ProgressGauge& gauge);

// The dark green of the gauge's fill and the "Completed" slice.
inline constexpr SliceColour kCompletedColour{0, 128, 0};
inline constexpr SliceColour kRemainingColour{255, 0, 0};

enum class Phase { kNone, kRotation, kPhotography, kPause };

// The phase a command letter stands for: "R" and "L" rotation, "P"
// photography, "W" pause; any other text, the empty one included, none.
Phase PhaseForLetter(std::string_view letter);

}  // namespace zentrivo
