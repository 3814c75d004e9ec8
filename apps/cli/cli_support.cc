#include "cli/cli_support.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "host/text/unified_diff.h"
#include "host/vbfiles/vb_project.h"

namespace marquill::cli {

CLI::Option* AddProjectArgument(CLI::App& app, std::string& project) {
  return app.add_option("PROJECT.vbp", project, "The VB6 project file")
      ->required()
      ->check(CLI::ExistingFile);
}

CLI::Option* AddDryRunFlag(CLI::App& app, bool& dry_run) {
  return app.add_flag("--dry-run", dry_run, "Print a unified diff of the changes; write nothing");
}

void WriteDryRunDiff(std::ostream& out, const std::filesystem::path& file, std::string_view before,
                     std::string_view after) {
  // Both labels name the file itself, so `patch -p0` applies the output as it is.
  const std::string label = file.string();
  out << host::UnifiedDiff(before, after, label, label);
}

void PrintLoadNotices(std::ostream& err, const host::vbfiles::VbProject& project) {
  for (const std::string& notice : project.Notices()) err << "marquill: " << notice << '\n';
}

}  // namespace marquill::cli
