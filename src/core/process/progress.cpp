#include "core/process/progress.h"

#include <algorithm>

namespace zentrivo {

void ProgressGauge::SetRange(std::int32_t newMinimum, std::int32_t newMaximum) {
    minimum = newMinimum;
    maximum = std::max(newMinimum, newMaximum);
    SetProgress(progress);
}

void ProgressGauge::SetProgress(std::int64_t value) {
    progress =
        static_cast<std::int32_t>(std::clamp(value, std::int64_t{minimum}, std::int64_t{maximum}));
}

int ProgressGauge::Percentage() const {
    // 64 bits: (progress - minimum) * 100 outgrows 32 bits past 21 million.
    const std::int64_t span = std::int64_t{maximum} - minimum;
    if (span <= 0) {
        return 0;
    }
    return static_cast<int>((std::int64_t{progress} - minimum) * 100 / span);
}

std::string PercentText(const ProgressGauge& gauge) {
    return std::to_string(gauge.Percentage()) + "%";
}

std::string StepText(const ProgressGauge& gauge) {
    return "Step " + std::to_string(gauge.progress) + "/" + std::to_string(gauge.maximum);
}

std::array<PieSlice, 2> PieSlices(const ProgressGauge& gauge) {
    return {{{"Remaining", std::int64_t{gauge.maximum} - gauge.progress, kRemainingColour},
             {"Completed", gauge.progress, kCompletedColour}}};
}

Phase PhaseForLetter(std::string_view letter) {
    if (letter == "R" || letter == "L") {
        return Phase::kRotation;
    }
    if (letter == "P") {
        return Phase::kPhotography;
    }
    if (letter == "W") {
        return Phase::kPause;
    }
    return Phase::kNone;
}

}  // namespace zentrivo
