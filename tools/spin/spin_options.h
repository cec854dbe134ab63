#pragma once

#include <string>

#include "spin/spin_request.h"

// What the command line asks for.
struct SpinOptions {
    zentrivo::SpinRequest request;
    bool help = false;
    bool quiet = false;
};

// Reads the arguments after the program's name; false with `why` set when
// they are not understood.
bool ParseSpinOptions(int argc, const char* const* argv, SpinOptions& options, std::string& why);

// The --help text.
const char* SpinUsage();
