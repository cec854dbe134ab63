#pragma once

#include <string>
#include <vector>

// The commands a run plays. The list may be edited while the run goes on:
// the run reads each command when it sends it.
class CommandList {
public:
    virtual ~CommandList() = default;

    virtual std::vector<std::string> Commands() const = 0;
    virtual void SetCommands(const std::vector<std::string>& commands) = 0;
    virtual int CommandCount() const = 0;
    virtual std::string CommandAt(int index) const = 0;
};
