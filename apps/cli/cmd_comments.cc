// `marquill comment-settings` and `marquill headers`: the "Co&mments" tab. The first shows or
// changes the comment settings kept in the add-in database and presses "&Save"; the second picks
// a module, ticks members and presses "&Insert".
#include <CLI/CLI.hpp>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/project_command.h"
#include "docs/comment_settings.h"
#include "host/files/file_io.h"
#include "host/text/unified_diff.h"
#include "host/text/vb_text.h"
#include "shell/addin_shared.h"
#include "shell/platform/console_platform.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/window/comments_tab_commands.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;

// Whether the add-in showed a box titled "Error": the database could not be used.
bool ErrorShown(const shell::ScriptedPlatform& platform) {
  for (const shell::PlatformCall& call : platform.CallsOf("MsgBox")) {
    if (call.detail.starts_with(std::string(host::kOpenFailedTitle) + ": ")) return true;
  }
  return false;
}

fs::path DatabaseFile(shell::Session& session) { return session.Addin().Shared().database.File(); }

// The settings came from the database; when it could not be read they are unknown, and no
// command may act on them.
void RequireSettings(shell::Session& session, const shell::ScriptedPlatform& platform) {
  if (!ErrorShown(platform)) return;
  throw CliError(kExitFailed, DatabaseFile(session).string(), 0,
                 "cannot read the comment settings: the add-in database is locked by another "
                 "program, or is not a database");
}

// --- comment-settings ----------------------------------------------------------------------

struct SettingsOptions {
  std::optional<std::string> switches[4];  // "on" or "off", by chkComments index
  std::optional<std::string> delim;
  std::optional<std::string> delim_count;
  std::optional<std::string> member_line;
  std::optional<std::string> module_template_file;
  AddinFileOptions files;

  bool AnyChange() const {
    for (const auto& value : switches) {
      if (value) return true;
    }
    return delim || delim_count || member_line || module_template_file;
  }
};

constexpr const char* kSwitchOptions[4] = {"--module-comments", "--standard", "--also",
                                           "--delimiters"};
constexpr const char* kSwitchNames[4] = {"module-comments", "standard", "also", "delimiters"};

// The window's fields break lines with CR LF.
std::string WithCrLf(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\r' || text[i] == '\n') {
      result += "\r\n";
    } else {
      result += text[i];
    }
  }
  return result;
}

// A template file's last line ends in a break like any text file's; the template itself does not
// end in an empty line.
std::string TemplateFromFile(const std::string& file) {
  std::string text;
  try {
    text = host::ReadFile(file);
  } catch (const std::system_error& error) {
    throw CliError(kExitUsage, file, 0,
                   "cannot read the module template: " + error.code().message());
  }
  text = WithCrLf(text);
  if (text.ends_with("\r\n")) text.resize(text.size() - 2);
  return text;
}

void CheckCount(const std::string& count) {
  const bool digits = !count.empty() && count.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || count.size() > 5 || std::stoi(count) > docs::kMaxDelimCount) {
    throw CliError(kExitUsage, "--delim-count wants a whole number from 0 to " +
                                   std::to_string(docs::kMaxDelimCount) + ", not '" + count + "'");
  }
}

// One field a line, multi-line texts indented below their name.
std::string Listing(const docs::CommentSettings& settings) {
  const bool switches[4] = {settings.module_comments, settings.standard_comments, settings.also,
                            settings.delimiters};
  std::string text;
  for (int i = 0; i < 4; ++i) {
    text += std::string(kSwitchNames[i]) + ": " + (switches[i] ? "on" : "off") + "\n";
  }
  auto field = [&text](std::string_view name, const std::string& value) {
    if (value.find_first_of("\r\n") == std::string::npos) {
      text += std::string(name) + ": " + value + "\n";
      return;
    }
    text += std::string(name) + ":\n";
    std::size_t start = 0;
    for (std::size_t end = value.find("\r\n"); end != std::string::npos;
         start = end + 2, end = value.find("\r\n", start)) {
      text += "    " + value.substr(start, end - start) + "\n";
    }
    text += "    " + value.substr(start) + "\n";
  };
  field("delim", settings.delim);
  field("delim-count", settings.delim_count);
  field("member-line", settings.member_line);
  field("module-template", settings.module_template);
  return text;
}

void TypeInto(shell::frmUtility& window, const SettingsOptions& options,
              const std::optional<std::string>& module_template) {
  for (int i = 0; i < 4; ++i) {
    if (options.switches[i]) window.chkComments(i).SetValue(*options.switches[i] == "on" ? 1 : 0);
  }
  if (options.delim) window.txtDelim.SetText(*options.delim);
  if (options.delim_count) window.txtDelimNr.SetText(*options.delim_count);
  if (options.member_line) window.txtCmtLine.SetText(WithCrLf(*options.member_line));
  if (module_template) window.txtCommentFormat.SetText(*module_template);
}

// Without a project: the window serves the settings alone. A preview writes nothing anywhere;
// the database is then a scratch copy.
int RunSettings(const SettingsOptions& options, CliContext& context) {
  const auto started = std::chrono::steady_clock::now();
  if (options.delim_count) CheckCount(*options.delim_count);
  std::optional<std::string> module_template;
  if (options.module_template_file)
    module_template = TemplateFromFile(*options.module_template_file);

  shell::ConsolePlatform console(false, context.in, context.err);
  shell::ScriptedPlatform platform(&console);
  shell::SessionOptions session_options;
  session_options.writes_nothing = options.files.WritesNothing();
  session_options.platform = &platform;
  shell::Session session(session_options);
  RequireSettings(session, platform);
  shell::frmUtility& window = session.Window();
  const docs::CommentSettings before = shell::CommentSettingsOf(window);
  if (!options.AnyChange()) {
    context.out << Listing(before);
    return kExitDone;
  }
  TypeInto(window, options, module_template);
  window.cmdCommentSave.Click();
  if (ErrorShown(platform)) {
    throw CliError(kExitFailed, DatabaseFile(session).string(), 0,
                   "cannot save the comment settings: the add-in database is read-only, locked "
                   "by another program, or is not a database; nothing was changed");
  }
  const docs::CommentSettings after = shell::CommentSettingsOf(window);
  const fs::path database = DatabaseFile(session);
  session.Finish();
  // The database is no text file: the diff shows the listing, named by the file it is kept in,
  // for reading (there is nothing in it for `git apply`).
  if (options.files.dry_run) {
    const std::string label = database.string();
    context.out << host::UnifiedDiff(Listing(before), Listing(after), label, label);
  }
  std::vector<fs::path> changed;
  if (after != before) changed.push_back(database);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
  return ReportAddinFiles("comment-settings", options.files, {database}, changed, elapsed.count(),
                          context.out, context.err);
}

RunFn SetupSettings(CLI::App& app) {
  auto options = std::make_shared<SettingsOptions>();
  const char* switch_help[4] = {"Insert the module header", "Insert the standard member headers",
                                "Append the member line to each member header",
                                "Frame each header between delimiter lines"};
  for (int i = 0; i < 4; ++i) {
    app.add_option(kSwitchOptions[i], options->switches[i], switch_help[i])
        ->check(CLI::IsMember({"on", "off"}));
  }
  app.add_option("--delim", options->delim, "Delimiter character (only the first is used)");
  app.add_option("--delim-count", options->delim_count, "How many times it is repeated");
  app.add_option("--member-line", options->member_line,
                 "Extra text for member headers, with its own comment mark");
  app.add_option("--module-template", options->module_template_file,
                 "File holding the module header template, with its own comment marks");
  AddAddinFileOptions(app, options->files,
                      "Print a diff of the settings that would be saved; write nothing");
  return [options](CliContext& context) { return RunSettings(*options, context); };
}

const CommandRegistrar kCommentSettings{
    {"comment-settings", "Show the comment settings, or change and save them", SetupSettings}};

// --- headers -------------------------------------------------------------------------------

struct HeadersOptions {
  std::string module;
  std::vector<std::string> members;
};

int EntryNamed(const shell::ListControl& list, const std::string& wanted) {
  const int exact = list.Find(wanted);
  if (exact >= 0) return exact;
  for (int i = 0; i < list.ListCount(); ++i) {
    if (host::EqualsNoCase(list.List(i), wanted)) return i;
  }
  return -1;
}

// The picker's entry for the module named, or given by the path of its file; without a name, the
// one module of a target that holds just one (a component file given alone).
int ModuleEntry(ProjectRun& run, const std::string& wanted) {
  const shell::ComboBox& picker = run.session.Window().cmbCmtModules;
  if (wanted.empty()) {
    if (picker.ListCount() == 1) return 0;
    throw CliError(
        kExitUsage, run.target.string(), 0,
        "--module is needed: the project holds " + std::to_string(picker.ListCount()) + " modules");
  }
  const int named = EntryNamed(picker, wanted);
  std::error_code error;
  if (named >= 0 || !fs::is_regular_file(wanted, error)) return named;
  for (int i = 0; i < picker.ListCount(); ++i) {
    const std::string file =
        run.session.Vbe().ActiveProject()->Components().Item(picker.List(i)).FileNames(1);
    if (!file.empty() && fs::equivalent(wanted, file, error)) return i;
  }
  return -1;
}

// Ticks exactly the members named; without names the listing's own ticks (all) stay.
void TickMembers(shell::frmUtility& window, const HeadersOptions& options, const fs::path& target) {
  shell::ListBox& list = window.lstComment;
  if (options.members.empty()) return;
  std::vector<int> wanted;
  for (const std::string& name : options.members) {
    const int entry = EntryNamed(list, name);
    if (entry < 0) {
      throw CliError(kExitUsage, target.string(), 0,
                     "'" + window.cmbCmtModules.Text() + "' has no method, property or event " +
                         "named '" + name + "'");
    }
    wanted.push_back(entry);
  }
  for (int i = 0; i < list.ListCount(); ++i) list.SetSelected(i, false);
  for (int entry : wanted) list.SetSelected(entry, true);
}

void RunHeaders(const HeadersOptions& options, ProjectRun& run) {
  RequireSettings(run.session, run.platform);
  shell::frmUtility& window = run.session.Window();
  const int entry = ModuleEntry(run, options.module);
  if (entry < 0) {
    throw CliError(
        kExitUsage, run.target.string(), 0,
        "no module, class, form, MDI form or user control named '" + options.module + "'");
  }
  window.cmbCmtModules.Choose(entry);
  TickMembers(window, options, run.target);
  window.cmdCommentInsert.Click();
}

ProjectAction SetupHeaders(CLI::App& app) {
  auto options = std::make_shared<HeadersOptions>();
  NotEmpty(app.add_option("--module,--component", options->module,
                          "The module, class, form or user control (its name or its file); "
                          "needed unless the target holds one"));
  app.add_option("--member", options->members,
                 "Only this method or property (repeatable); default: every one of the module");
  return [options](ProjectRun& run) { RunHeaders(*options, run); };
}

const ProjectCommandRegistrar kHeaders{
    {"headers", "Insert header comments into a module and its methods and properties",
     SetupHeaders}};

}  // namespace
}  // namespace marquill::cli
