// marquill: runs the add-in's main-window commands on a VB6 project on disk.
#include <iostream>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
  marquill::cli::CliContext context{std::cout, std::cerr, std::cin};
  return marquill::cli::RunCli(argc, argv, context);
}
