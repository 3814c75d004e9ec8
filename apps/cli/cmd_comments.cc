// `marquill comment-settings` and `marquill headers`: the "Co&mments" tab. The first shows or
// changes the comment settings kept in the add-in database and presses "&Save"; the second picks
// a module, ticks members and presses "&Insert".
#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "docs/comment_settings.h"
#include "host/files/file_io.h"
#include "host/text/unified_diff.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/load_error.h"
#include "shell/addin_shared.h"
#include "shell/platform/console_platform.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/settings/settings_store.h"
#include "shell/window/comments_tab_commands.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;

// The console shows what the add-in says; the recording in front of it lets the command see
// whether a box titled "Error" came up.
struct Platforms {
  explicit Platforms(CliContext& context) : console(false, context.in, context.err) {}
  shell::ConsolePlatform console;
  shell::ScriptedPlatform recorded{&console};

  bool ErrorShown() const {
    for (const shell::PlatformCall& call : recorded.CallsOf("MsgBox")) {
      if (call.detail.starts_with(std::string(host::kOpenFailedTitle) + ": ")) return true;
    }
    return false;
  }
};

// A session on `project` (none for the settings alone). A dry run keeps the window's tab and
// position in memory, as it keeps the database in a scratch copy: it writes nothing anywhere.
struct CommentSession {
  CommentSession(CliContext& context, const std::string& project, bool dry_run)
      : platforms(context) {
    shell::SessionOptions options;
    options.project = project;
    options.dry_run = dry_run;
    options.diff_out = &context.out;
    options.platform = &platforms.recorded;
    options.load = ProjectLoadOptions(context.err);
    if (dry_run) options.settings = &memory_settings;
    session.emplace(options);
  }

  fs::path DatabaseFile() { return session->Addin().Shared().database.File(); }

  // The settings came from the database; when it could not be read they are unknown, and no
  // command may act on them.
  void RequireSettings() {
    if (!platforms.ErrorShown()) return;
    throw CliError(kExitFailed, DatabaseFile().string(), 0,
                   "cannot read the comment settings: the add-in database is locked by another "
                   "program, or is not a database");
  }

  Platforms platforms;
  shell::MemorySettingsStore memory_settings;
  std::optional<shell::Session> session;
};

// --- comment-settings ----------------------------------------------------------------------

struct SettingsOptions {
  std::optional<std::string> switches[4];  // "on" or "off", by chkComments index
  std::optional<std::string> delim;
  std::optional<std::string> delim_count;
  std::optional<std::string> member_line;
  std::optional<std::string> module_template_file;
  bool dry_run = false;

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

int RunSettings(const SettingsOptions& options, CliContext& context) {
  if (options.delim_count) CheckCount(*options.delim_count);
  std::optional<std::string> module_template;
  if (options.module_template_file)
    module_template = TemplateFromFile(*options.module_template_file);

  CommentSession run(context, "", options.dry_run);
  run.RequireSettings();
  shell::frmUtility& window = run.session->Window();
  const docs::CommentSettings before = shell::CommentSettingsOf(window);
  if (!options.AnyChange()) {
    context.out << Listing(before);
    return kExitDone;
  }
  TypeInto(window, options, module_template);
  window.cmdCommentSave.Click();
  if (run.platforms.ErrorShown()) {
    throw CliError(kExitFailed, run.DatabaseFile().string(), 0,
                   "cannot save the comment settings: the add-in database is read-only, locked "
                   "by another program, or is not a database; nothing was changed");
  }
  if (options.dry_run) {
    const std::string label = run.DatabaseFile().string();
    context.out << host::UnifiedDiff(Listing(before), Listing(shell::CommentSettingsOf(window)),
                                     label, label);
  }
  run.session->Finish();
  return kExitDone;
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
  app.add_flag("--dry-run", options->dry_run,
               "Print a diff of the settings that would be saved and write nothing");
  return [options](CliContext& context) { return RunSettings(*options, context); };
}

const CommandRegistrar kCommentSettings{
    {"comment-settings", "Show the comment settings, or change and save them", SetupSettings}};

// --- headers -------------------------------------------------------------------------------

struct HeadersOptions {
  std::string project;
  std::string module;
  std::vector<std::string> members;
  bool dry_run = false;
};

int EntryNamed(const shell::ListControl& list, const std::string& wanted) {
  const int exact = list.Find(wanted);
  if (exact >= 0) return exact;
  for (int i = 0; i < list.ListCount(); ++i) {
    if (host::EqualsNoCase(list.List(i), wanted)) return i;
  }
  return -1;
}

// The picker's entry for a module named, or given by the path of its file.
int ModuleEntry(shell::Session& session, const std::string& wanted) {
  const shell::ComboBox& picker = session.Window().cmbCmtModules;
  const int named = EntryNamed(picker, wanted);
  std::error_code error;
  if (named >= 0 || !fs::is_regular_file(wanted, error)) return named;
  for (int i = 0; i < picker.ListCount(); ++i) {
    const std::string file =
        session.Vbe().ActiveProject()->Components().Item(picker.List(i)).FileNames(1);
    if (!file.empty() && fs::equivalent(wanted, file, error)) return i;
  }
  return -1;
}

// Ticks exactly the members named; without names the listing's own ticks (all) stay.
void TickMembers(shell::frmUtility& window, const HeadersOptions& options) {
  shell::ListBox& list = window.lstComment;
  if (options.members.empty()) return;
  std::vector<int> wanted;
  for (const std::string& name : options.members) {
    const int entry = EntryNamed(list, name);
    if (entry < 0) {
      throw CliError(kExitUsage, options.project, 0,
                     "'" + window.cmbCmtModules.Text() + "' has no method, property or event " +
                         "named '" + name + "'");
    }
    wanted.push_back(entry);
  }
  for (int i = 0; i < list.ListCount(); ++i) list.SetSelected(i, false);
  for (int entry : wanted) list.SetSelected(entry, true);
}

int RunHeaders(const HeadersOptions& options, CliContext& context) {
  try {
    CommentSession run(context, options.project, options.dry_run);
    run.RequireSettings();
    shell::frmUtility& window = run.session->Window();
    const int entry = ModuleEntry(*run.session, options.module);
    if (entry < 0) {
      throw CliError(
          kExitUsage, options.project, 0,
          "no module, class, form, MDI form or user control named '" + options.module + "'");
    }
    window.cmbCmtModules.Choose(entry);
    TickMembers(window, options);
    window.cmdCommentInsert.Click();
    run.session->Finish();
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, error.file(), error.line(), error.message());
  } catch (const host::vbfiles::SaveError& error) {
    throw CliError(kExitFailed, error.what());
  }
  return kExitDone;
}

RunFn SetupHeaders(CLI::App& app) {
  auto options = std::make_shared<HeadersOptions>();
  AddProjectArgument(app, options->project);
  app.add_option("--module,--component", options->module,
                 "The module, class, form or user control (its name or its file)")
      ->required();
  app.add_option("--member", options->members,
                 "Only this method or property (repeatable); default: every one of the module");
  AddDryRunFlag(app, options->dry_run);
  return [options](CliContext& context) { return RunHeaders(*options, context); };
}

const CommandRegistrar kHeaders{
    {"headers", "Insert header comments into a module and its methods and properties",
     SetupHeaders}};

}  // namespace
}  // namespace marquill::cli
