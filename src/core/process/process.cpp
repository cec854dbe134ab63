#include "core/process/process.h"

#include <algorithm>
#include <cstdio>

#include "core/whole_number.h"

namespace zentrivo {

namespace {

constexpr std::int64_t kInt32Max = INT32_MAX;
constexpr std::int64_t kInt32Min = INT32_MIN;

std::int32_t ClampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp(value, kInt32Min, kInt32Max));
}

// The number of photos as the two checks of "Make Process" accept it.
std::optional<std::int32_t> PhotoCount(const std::string& text) {
    const auto value = ParseWholeNumber(text);
    if (!value || *value < 1) {
        return std::nullopt;
    }
    return value;
}

std::string Command(char letter, std::int32_t value) {
    return letter + PadNumber(value, 4) + ".";
}

// The smallest divisor of `whole` (at least 1) that is not less than
// `wanted`, or `whole` itself when `wanted` is larger. Looks only at the
// divisor pairs up to the square root, so a large prime maximum costs tens of
// thousands of steps rather than billions.
std::int32_t SmallestDivisorFrom(std::int32_t wanted, std::int32_t whole) {
    if (wanted >= whole) {
        return whole;
    }
    std::int32_t best = whole;
    for (std::int64_t d = 1; d * d <= whole; ++d) {
        if (whole % d != 0) {
            continue;
        }
        const auto low = static_cast<std::int32_t>(d);
        const auto high = static_cast<std::int32_t>(whole / d);
        if (low >= wanted) {
            return std::min(best, low);  // every later pair is larger
        }
        if (high >= wanted) {
            best = std::min(best, high);
        }
    }
    return best;
}

}  // namespace

std::string PadNumber(std::int32_t value, int digits) {
    const int length = std::snprintf(nullptr, 0, "%.*d", digits, static_cast<int>(value));
    if (length < 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*d", digits, static_cast<int>(value));
    text.pop_back();
    return text;
}

std::int32_t MaxPhotos(std::int32_t brojKoraka, std::int32_t odnosPrenosa, bool halfStepping) {
    // The product of two 32-bit values always fits in 64 bits; clamp before
    // doubling so that the doubling fits too.
    std::int64_t steps = ClampToInt32(std::int64_t{brojKoraka} * odnosPrenosa);
    if (halfStepping) {
        steps *= 2;
    }
    return ClampToInt32(steps);
}

std::optional<InputProblem> ValidateInputs(const ShootParameters& inputs, std::int32_t maxPhotos) {
    const auto photos = PhotoCount(inputs.photosText);
    if (!photos) {
        return InputProblem{"Please enter number of photos to make !", "Greška", 0};
    }
    if (*photos > maxPhotos) {
        return InputProblem{
            "It is not possible to make that many photos !\r\n"
            "I can make maximum of " +
                std::to_string(maxPhotos) + " photos with current rotation type.",
            "Error", 0};
    }
    if (!ParseWholeNumber(inputs.periodText)) {
        return InputProblem{"Please enter period of rotation !", "Greška", 0};
    }
    if (!ParseWholeNumber(inputs.focusText)) {
        return InputProblem{"Please enter focus duration or 0 if focus is not required !", "Error",
                            1};
    }
    if (!ParseWholeNumber(inputs.shutterText)) {
        return InputProblem{"Please enter duration of shutter !", "Error", 1};
    }
    if (!ParseWholeNumber(inputs.delayText)) {
        return InputProblem{"Please enter delay between photos or 0 for no delay !", "Error", 1};
    }
    return std::nullopt;
}

GeneratedProcess GenerateProcess(const ShootParameters& inputs, std::int32_t maxPhotos) {
    const std::int32_t photos = WholeNumberOrThrow(inputs.photosText);
    const std::int32_t period = WholeNumberOrThrow(inputs.periodText);
    const std::int32_t focus = WholeNumberOrThrow(inputs.focusText);
    const std::int32_t shutter = WholeNumberOrThrow(inputs.shutterText);
    const std::int32_t delay = WholeNumberOrThrow(inputs.delayText);
    // Only the exact text "0" means no pause.
    const bool withPause = inputs.delayText != "0";

    GeneratedProcess process;
    process.photoCount = photos;
    process.StepsPerPhoto = photos >= 1 ? maxPhotos / photos : 0;
    process.DirectionLetter = inputs.dirLeftDown ? "L" : "R";
    process.PeriodMs = period;
    const char direction = process.DirectionLetter[0];

    const std::size_t perPhoto = withPause ? 3 : 2;
    const std::size_t repeats = photos >= 1 ? static_cast<std::size_t>(photos) : 0;
    process.commands.reserve(3 + perPhoto * repeats);
    process.commands.push_back(IsHalfStepping(inputs.rotationTypeIndex) ? "T0000." : "T0001.");
    process.commands.push_back(Command('D', period));
    process.commands.push_back(Command('F', focus));
    for (std::size_t i = 0; i < repeats; ++i) {
        process.commands.push_back(Command('P', shutter));
        if (withPause) {
            process.commands.push_back(Command('W', delay));
        }
        process.commands.push_back(Command(direction, process.StepsPerPhoto));
    }
    return process;
}

std::string ApplyDivisorRule(const std::string& photosText, std::int32_t maxPhotos) {
    const auto photos = ParseWholeNumber(photosText);
    // "0", "00", "-3", an empty text and anything else below 1 become 1.
    std::int32_t n = photos && *photos >= 1 ? *photos : 1;
    // With no possible photo at all the entered number stays; "Make Process"
    // then names the maximum.
    if (maxPhotos >= 1) {
        n = SmallestDivisorFrom(n, maxPhotos);
    }
    return std::to_string(n);
}

}  // namespace zentrivo
