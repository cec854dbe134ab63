#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zentrivo {

// One failed check of the Parameters dialog: its message and the page that
// holds the offending field.
struct ParameterProblem {
    std::string message;
    int page;
};

struct ParameterCheck {
    std::vector<ParameterProblem> problems;  // in the order they are shown
    // A gear ratio of 0 or less is quietly stored as 1.
    std::optional<std::string> ratioReplacement;
};

// The COM port numbers the Parameters dialog offers.
inline constexpr int kLowestComPort = 1;
inline constexpr int kHighestComPort = 30;

// All three checks run every time, so each failing one is reported.
ParameterCheck CheckParameters(const std::string& comPortText, const std::string& stepsText,
                               const std::string& ratioText);

}  // namespace zentrivo
