#include "core/process/command_check.h"

#include <utility>

namespace zentrivo {

namespace {

constexpr std::string_view kCommandLetters = "TDFLRPW";

// UTF-8 characters: every byte except continuation bytes starts one.
std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u) {
            ++count;
        }
    }
    return count;
}

bool IsSelection(const std::vector<std::string>& commands, int selected) {
    return selected >= 0 && static_cast<std::size_t>(selected) < commands.size();
}

}  // namespace

std::optional<std::string> ValidateCommand(std::string_view text) {
    if (CharacterCount(text) != 6) {
        return "Command length must be 5 characters long !";
    }
    if (kCommandLetters.find(text.front()) == std::string_view::npos) {
        return "Command not supported !";
    }
    // With six characters and an ASCII dot last, the sixth character is the
    // last byte.
    if (text.back() != '.') {
        return "Command must end with a dot !";
    }
    // The controller reads the four characters between the letter and the
    // dot as a number; anything else there must not reach it.
    for (const char c : text.substr(1, 4)) {
        if (c < '0' || c > '9') {
            return "Command must have 4 digits between the letter and the dot !";
        }
    }
    return std::nullopt;
}

int MoveCommandUp(std::vector<std::string>& commands, int selected) {
    if (!IsSelection(commands, selected)) {
        return -1;
    }
    if (selected == 0) {
        return selected;
    }
    const auto i = static_cast<std::size_t>(selected);
    std::swap(commands[i], commands[i - 1]);
    return selected - 1;
}

int MoveCommandDown(std::vector<std::string>& commands, int selected) {
    if (!IsSelection(commands, selected)) {
        return -1;
    }
    const auto i = static_cast<std::size_t>(selected);
    if (i + 1 == commands.size()) {
        return selected;
    }
    std::swap(commands[i], commands[i + 1]);
    return selected + 1;
}

int DeleteCommand(std::vector<std::string>& commands, int selected) {
    if (!IsSelection(commands, selected)) {
        return -1;
    }
    commands.erase(commands.begin() + selected);
    if (static_cast<std::size_t>(selected) < commands.size()) {
        return selected;
    }
    return commands.empty() ? -1 : selected - 1;
}

CommandEdit ReplaceCommand(std::vector<std::string>& commands, int selected,
                           const std::string& text) {
    if (!IsSelection(commands, selected)) {
        return {-1, std::nullopt};
    }
    auto refusal = ValidateCommand(text);
    if (!refusal) {
        commands[static_cast<std::size_t>(selected)] = text;
    }
    return {selected, std::move(refusal)};
}

CommandEdit AddCommand(std::vector<std::string>& commands, int selected, const std::string& text) {
    auto refusal = ValidateCommand(text);
    if (refusal) {
        return {IsSelection(commands, selected) ? selected : -1, std::move(refusal)};
    }
    commands.push_back(text);
    return {static_cast<int>(commands.size()) - 1, std::nullopt};
}

std::optional<std::string> CommandToEdit(const std::vector<std::string>& commands, int selected) {
    if (!IsSelection(commands, selected)) {
        return std::nullopt;
    }
    return commands[static_cast<std::size_t>(selected)];
}

std::string CommandCountText(std::size_t count) {
    return "Number of commands: " + std::to_string(count);
}

}  // namespace zentrivo
