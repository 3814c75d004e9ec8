// marquill: runs the add-in's main-window commands on a VB6 project on disk.
#include <iostream>

#include "cli/cli_app.h"
#include "host/platform/program_arguments.h"

int main(int argc, char** argv) {
  marquill::host::ProgramArguments arguments(argc, argv);
  marquill::cli::CliContext context{std::cout, std::cerr, std::cin};
  return marquill::cli::RunCli(arguments.Count(), arguments.Values(), context);
}
