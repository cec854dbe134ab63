#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrivo {

// Caption of the box that refuses a hand-typed command.
inline constexpr const char* kCommandErrorCaption = "Greška";

// The checks on a hand-typed command, in order (length, letter, final dot,
// the four digits between them); nothing when it may go into the process,
// else the message to show. The text is UTF-8 and its length is counted in
// characters, so a letter such as "č" counts once.
std::optional<std::string> ValidateCommand(std::string_view text);

// The Process Editor's list operations. `selected` is the selected index or
// -1 for none (an index outside the list counts as none); each returns the
// selection afterwards.

// Swaps the selected command with its neighbour; nothing at the ends.
int MoveCommandUp(std::vector<std::string>& commands, int selected);
int MoveCommandDown(std::vector<std::string>& commands, int selected);

// Removes the selected command and selects the one that followed it, or the
// new last one, or none when the list is empty.
int DeleteCommand(std::vector<std::string>& commands, int selected);

// What Replace and Add did: the selection afterwards, and the refusal to show
// when the typed command failed its check (the list is then unchanged).
struct CommandEdit {
    int selected;
    std::optional<std::string> refusal;
};

// With nothing selected nothing happens, and the text is not even checked.
CommandEdit ReplaceCommand(std::vector<std::string>& commands, int selected,
                           const std::string& text);

// Checks the text whatever is selected; a good command goes to the end and is
// selected.
CommandEdit AddCommand(std::vector<std::string>& commands, int selected, const std::string& text);

// The text a double-click copies into the command edit, if any.
std::optional<std::string> CommandToEdit(const std::vector<std::string>& commands, int selected);

// "Number of commands: " and the count.
std::string CommandCountText(std::size_t count);

}  // namespace zentrivo
