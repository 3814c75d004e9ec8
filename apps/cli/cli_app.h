// The command line as a function, so tests run it without starting a process.
#pragma once

#include "cli/command_registry.h"

namespace marquill::cli {

// Parses `argv` (argv[0] is the program), runs the chosen command and returns the exit code.
// Usage errors give exit code 2, help and version 0.
int RunCli(int argc, const char* const* argv, CliContext& context);

}  // namespace marquill::cli
