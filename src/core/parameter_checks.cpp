#include "parameter_checks.h"

#include "whole_number.h"

namespace zentrivo {

ParameterCheck CheckParameters(const std::string& comPortText, const std::string& stepsText,
                               const std::string& ratioText) {
    ParameterCheck check;
    if (!ParseWholeNumber(comPortText)) {
        check.problems.push_back({"Please enter COM port number !", 0});
    }
    if (!ParseWholeNumber(stepsText)) {
        check.problems.push_back({"Please enter number of steps for the motor !", 1});
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
