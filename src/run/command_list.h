#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The commands a run plays, owned by the run. The Process Editor edits it
// while the run goes on: the run reads each command when it sends it, and
// whoever shows the list is told of every change.
class CommandList {
public:
    const std::vector<std::string>& Commands() const { return commands_; }
    void SetCommands(std::vector<std::string> commands) {
        commands_ = std::move(commands);
        if (changed_) {
            changed_();
        }
    }
    int CommandCount() const { return static_cast<int>(commands_.size()); }
    std::string CommandAt(int index) const { return commands_.at(static_cast<std::size_t>(index)); }
    void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    std::vector<std::string> commands_;
    std::function<void()> changed_;
};
