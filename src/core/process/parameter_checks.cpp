#include "core/process/parameter_checks.h"

#include "core/whole_number.h"

namespace zentrivo {

ParameterCheck CheckParameters(const std::string& comPortText, const std::string& stepsText,
                               const std::string& ratioText) {
    ParameterCheck check;
    // A port outside the up-down's range would not be taken, and a motor of
    // no steps makes no process at all: both are refused, not stored.
    const auto comPort = ParseWholeNumber(comPortText);
    if (!comPort) {
        check.problems.push_back({"Please enter COM port number !", 0});
    } else if (*comPort < kLowestComPort || *comPort > kHighestComPort) {
        check.problems.push_back({"Please enter COM port number between " +
                                      std::to_string(kLowestComPort) + " and " +
                                      std::to_string(kHighestComPort) + " !",
                                  0});
    }
    const auto steps = ParseWholeNumber(stepsText);
    if (!steps) {
        check.problems.push_back({"Please enter number of steps for the motor !", 1});
    } else if (*steps < 1) {
        check.problems.push_back({"Please enter number of steps for the motor, 1 or more !", 1});
    }
    const auto ratio = ParseWholeNumber(ratioText);
    if (!ratio) {
        check.problems.push_back({"Please enter a whole number for Gear Ratio !", 1});
    } else if (*ratio <= 0) {
        check.ratioReplacement = "1";
    }
    return check;
}

}  // namespace zentrivo
