#pragma once

#include <cstdint>
#include <string>

#include "camera.h"
#include "command_log.h"
#include "pseudo_terminal.h"
#include "sim_options.h"
#include "turntable.h"

// Serves the line: reads what the program writes, cuts it into commands at
// each ".", acts on each one in turn and answers it, misbehaving as the
// options ask. Blanks and line ends between commands are skipped, so the
// board can be tried by hand from a terminal program.
class SimSession {
public:
    SimSession(PseudoTerminal& line, const SimOptions& options, Turntable& turntable,
               Camera& camera, CommandLog& log);

    // Returns the exit status: 0 after a hang-up the options asked for, 1 when
    // the line fails.
    int Run();

private:
    // False once the board has hung up.
    bool Handle(const std::string& command);
    // Whether the program has written more while the board was busy.
    bool MoreHasCome() const;
    std::string Act(const std::string& command);
    // Ends the program as a crash would.
    void KillProgram() const;
    // Sends the reply; returns whether more had come from the program before
    // its last byte went out.
    bool Send(const std::string& reply);
    void HangUp();
    void Wait(std::int64_t ms, double scale) const;
    // The pause between the pieces of a split reply, kept to the millisecond.
    void KeepGap(std::int64_t ms) const;

    PseudoTerminal& line_;
    const SimOptions& options_;
    Turntable& turntable_;
    Camera& camera_;
    CommandLog& log_;
    std::int64_t count_ = 0;
    std::int64_t rotations_ = 0;
    // The next command had come before the last reply went out whole.
    bool next_early_ = false;
    bool more_before_reply_ = false;
};
