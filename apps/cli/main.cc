// marquill: runs the add-in's main-window commands on a VB6 project on disk.
#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
  CLI::App app{"Marquill: tools for Visual Basic 6 source code", "marquill"};
  app.set_version_flag("--version", MARQUILL_VERSION);
  app.require_subcommand(1);
  CLI11_PARSE(app, argc, argv);
  return 0;
}
