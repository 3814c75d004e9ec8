#include "cli/cli_support.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ostream>
#include <set>

#include "cli/command_registry.h"
#include "cli/targets.h"
#include "host/code_model.h"
#include "host/memory/memory_host.h"
#include "host/text/quote.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/code_page.h"
#include "host/vbfiles/vb_project.h"
#include "shell/session.h"

namespace marquill::cli {
namespace {

constexpr int kComponentsListed = 20;

struct LineRange {
  int first = 0;
  int last = 0;
};

bool ParseWhole(std::string_view text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

LineRange ParseSelection(std::string_view text) {
  const std::size_t dash = text.find('-');
  LineRange range;
  if (dash == std::string_view::npos || !ParseWhole(text.substr(0, dash), range.first) ||
      !ParseWhole(text.substr(dash + 1), range.last) || range.first < 1 ||
      range.last < range.first) {
    throw CliError(kExitUsage,
                   "--select wants FIRST-LAST, two line numbers with 1 <= FIRST <= LAST, not '" +
                       std::string(text) + "'");
  }
  return range;
}

bool SameFile(const std::string& component_file, std::string_view name_or_file) {
  if (component_file.empty()) return false;
  return FileIdentity(component_file) == FileIdentity(std::string(name_or_file));
}

std::string ComponentNames(host::Project& project) {
  std::string names;
  int listed = 0;
  for (host::Component& component : project.Components()) {
    if (listed == kComponentsListed) {
      names += ", ... (" + std::to_string(project.Components().Count() - listed) + " more)";
      break;
    }
    names += (listed++ == 0 ? "" : ", ") + component.Name();
  }
  return names.empty() ? "none" : names;
}

// Optimal string alignment distance: insertions, deletions, substitutions, adjacent swaps.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string NearestName(std::string_view word, const std::vector<std::string>& candidates) {
  std::string nearest;
  std::size_t best = std::max<std::size_t>(2, word.size() / 3) + 1;
  for (const std::string& candidate : candidates) {
    const std::size_t distance = EditDistance(word, candidate);
    if (distance < best) {
      best = distance;
      nearest = candidate;
    }
  }
  return nearest;
}

namespace {

// One command runs per process (per RunCli in tests): the option of the command being set up.
int code_page_option = 0;

}  // namespace

CLI::Option* AddCodePageOption(CLI::App& app) {
  code_page_option = 0;
  return app
      .add_option("--codepage", code_page_option,
                  "Code page of the file names in the project file (932, 936, 949, 950, "
                  "1250-1258); default: tried in turn")
      ->check([](const std::string& text) -> std::string {
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size()) value = 0;
        return host::vbfiles::IsKnownCodePage(value)
                   ? std::string()
                   : "not a code page of 932, 936, 949, 950, 1250-1258: " + host::QuoteInput(text);
      });
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

CLI::Option* AddProjectArgument(CLI::App& app, std::string& project) {
  AddCodePageOption(app);
  return app.add_option("PROJECT.vbp", project, "The VB6 project file")
      ->required()
      ->check(CLI::ExistingFile);
}

CLI::Option* AddDryRunFlag(CLI::App& app, bool& dry_run) {
  return app.add_flag("--dry-run", dry_run, "Print a unified diff of the changes; write nothing");
}

CLI::Option* AddCheckFlag(CLI::App& app, bool& check, CLI::Option* dry_run) {
  CLI::Option* option = app.add_flag(
      "--check", check, "List what would change (exit 1 if anything would); write nothing");
  option->excludes(dry_run);
  return option;
}

void AddAddinFileOptions(CLI::App& app, AddinFileOptions& options,
                         const std::string& dry_run_help) {
  CLI::Option* dry_run = app.add_flag("--dry-run", options.dry_run, dry_run_help);
  AddCheckFlag(app, options.check, dry_run);
  app.add_flag("-q,--quiet", options.quiet, "No summary line");
  app.add_flag("-v,--verbose", options.verbose, "List each file on stderr");
}

int ReportAddinFiles(const std::string& command, const AddinFileOptions& options,
                     const std::vector<std::filesystem::path>& examined,
                     const std::vector<std::filesystem::path>& changed, double elapsed,
                     std::ostream& out, std::ostream& err) {
  std::set<std::filesystem::path> changes;
  for (const auto& file : changed) changes.insert(FileIdentity(file));
  if (options.check) {
    for (const auto& file : changed) out << DisplayPath(file) << '\n';
  }
  const std::string verb = options.WritesNothing() ? " would change" : " changed";
  if (!options.quiet) {
    if (options.verbose) {
      for (const auto& file : examined) {
        err << command << ": " << DisplayPath(file)
            << (changes.count(FileIdentity(file)) > 0 ? verb : " unchanged") << '\n';
      }
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", elapsed);
    err << command << ": " << examined.size() << (examined.size() == 1 ? " file, " : " files, ")
        << changes.size() << verb << ", " << seconds << '\n';
  }
  return options.check && !changes.empty() ? kExitFailed : kExitDone;
}

CLI::Option* NotEmpty(CLI::Option* option) {
  return option->check(CLI::Validator(
      [](std::string& value) { return value.empty() ? std::string("must not be empty") : ""; },
      "TEXT"));
}

CLI::Option* WholeNumberAtLeastOne(CLI::Option* option) {
  return option->check(CLI::Validator(
      [](std::string& value) -> std::string {
        int number = 0;
        const bool digits =
            !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
        if (digits && !ParseWhole(value, number)) return "'" + value + "' is too large";
        if (!digits || number < 1) {
          return "wants a whole number of at least 1 (digits only), not '" + value + "'";
        }
        return "";
      },
      "N"));
}

host::Component& FindComponent(shell::Session& session, std::string_view name_or_file) {
  host::Project& project = *session.Vbe().ActiveProject();
  for (host::Component& component : project.Components()) {
    if (host::LowerAscii(component.Name()) == host::LowerAscii(name_or_file)) return component;
  }
  for (host::Component& component : project.Components()) {
    if (component.FileNames(1).empty()) continue;
    if (SameFile(component.FileNames(1), name_or_file)) return component;
  }
  throw CliError(kExitUsage, session.Project().Path().string(), 0,
                 "no component named '" + std::string(name_or_file) +
                     "' (by name or file); the project has: " + ComponentNames(project));
}

void CheckSelection(std::string_view select) { ParseSelection(select); }

host::CodeModule& ShowModule(shell::Session& session, std::string_view name_or_file,
                             std::string_view select) {
  host::Component& component = FindComponent(session, name_or_file);
  host::CodeModule* code = component.CodeModule();
  if (code == nullptr) {
    throw CliError(kExitUsage, session.Project().Path().string(), 0,
                   "'" + component.Name() + "' holds no code");
  }
  if (select.empty()) {
    session.Vbe().ShowCode(*code);
    return *code;
  }
  const LineRange range = ParseSelection(select);
  const int lines = code->CountOfLines();
  if (range.last > lines) {
    throw CliError(kExitUsage,
                   "--select " + std::string(select) + ": '" + component.Name() + "' has " +
                       std::to_string(lines) +
                       " lines in the code window (lines are counted as the code window shows "
                       "them, without the file's header and Attribute lines)");
  }
  session.Vbe().ShowCode(*code, {range.first, 1, range.last, 1});
  return *code;
}

void PrintLoadNotices(std::ostream& err, const host::vbfiles::VbProject& project) {
  for (const std::string& notice : project.Notices()) err << "marquill: " << notice << '\n';
}

}  // namespace marquill::cli
