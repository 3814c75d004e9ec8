#include "cli/cli_support.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <ostream>
#include <string>

#include "host/text/quote.h"
#include "host/text/unified_diff.h"
#include "host/vbfiles/code_page.h"
#include "host/vbfiles/vb_project.h"

namespace marquill::cli {

namespace {

// One command runs per process (per RunCli in tests): the option of the command being set up.
int code_page_option = 0;

CLI::Option* AddCodePageOption(CLI::App& app, int& code_page) {
  return app
      .add_option("--codepage", code_page,
                  "Code page of the file names in the project file (932, 936, 949, 950, "
                  "1250-1258); default: tried in turn")
      ->check([](const std::string& text) -> std::string {
        int value = 0;
        try {
          std::size_t used = 0;
          value = std::stoi(text, &used);
          if (used != text.size()) value = 0;
        } catch (const std::exception&) {
          value = 0;
        }
        return host::vbfiles::IsKnownCodePage(value)
                   ? std::string()
                   : "not a code page of 932, 936, 949, 950, 1250-1258: " + host::QuoteInput(text);
      });
}

}  // namespace

CLI::Option* AddProjectArgument(CLI::App& app, std::string& project) {
  code_page_option = 0;
  AddCodePageOption(app, code_page_option);
  return app.add_option("PROJECT.vbp", project, "The VB6 project file")
      ->required()
      ->check(CLI::ExistingFile);
}

host::vbfiles::LoadOptions ProjectLoadOptions(std::ostream& err) {
  host::vbfiles::LoadOptions options;
  options.code_page = code_page_option;
  options.warn = [&err](const host::vbfiles::LoadWarning& warning) {
    err << "marquill: " << warning.file;
    if (warning.line > 0) err << ":" << warning.line;
    err << ": warning: " << warning.message << '\n';
  };
  return options;
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
