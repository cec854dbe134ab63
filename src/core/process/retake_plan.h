#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A run that goes back to take photos again: what the commands it has
// played since the photo command it goes back to have done, and the turn
// that undoes their rotations.
namespace zentrivo {

struct RetakePlan {
    // The turn back to where that photo was taken: the opposite way of the
    // steps turned since, in one command; empty when they add up to none.
    std::string turnBack;
    int rotations = 0;  // rotation commands played since
    int photos = 0;     // photo commands played since, the one gone back to included
};

// Going back from `to` to the photo command at `from` of `commands`;
// nothing when a rotation among them has no number of steps to undo (a hand
// edit may write one), as the table could not be brought back to its place.
std::optional<RetakePlan> PlanRetake(const std::vector<std::string>& commands, std::size_t from,
                                     std::size_t to);

// Whether `command` turns the table ("L0400.", "R0400.").
bool IsTurnCommand(const std::string& command);

// Whether a run could turn the table back over `command`: it turns no
// table, or by a number of steps it says.
bool CanTurnBack(const std::string& command);

// Where the `number`-th photo command stands in `commands` (counted from
// 1); the list's size when there is none.
std::size_t PhotoCommandIndex(const std::vector<std::string>& commands, int number);

}  // namespace zentrivo
