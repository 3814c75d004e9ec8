// marquill: runs the add-in's main-window commands on a VB6 project on disk.
#include <iostream>

#include "cli/cli_app.h"
#include "host/platform/program_arguments.h"

int main(int argc, char** argv) {
  marquill::host::ProgramArguments arguments(argc, argv);
  // Never destroyed: what a command keeps in it is left to the system when the process ends.
  static auto* const context = new marquill::cli::CliContext{std::cout, std::cerr, std::cin};
  return marquill::cli::RunCli(arguments.Count(), arguments.Values(), *context);
}
