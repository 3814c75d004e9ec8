// `shortcut list|new|delete|save|paste`: the code shortcuts, through the shortcut editor of the
// main window and the toolbar's shortcut box, as a user would work them.
#include <CLI/CLI.hpp>
#include <charconv>
#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "host/paths/paths.h"
#include "host/vbfiles/load_error.h"
#include "shell/addin_shared.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/shortcut_editor.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

struct ShortcutOptions {
  std::string action;
  std::vector<std::string> args;  // NAME and PROJECT.vbp, as the action takes them
  std::string text;
  std::string module;
  int line = 0;
  AddinFileOptions files;
};

struct Request {
  std::string name;
  std::string project;
};

Request ParseArgs(const ShortcutOptions& options) {
  const bool named = options.action != "list";
  const std::size_t wanted = named ? 1 : 0;
  const bool needs_project = options.action == "paste";
  const std::vector<std::string>& args = options.args;
  if (args.size() < wanted + (needs_project ? 1 : 0) || args.size() > wanted + 1) {
    throw CliError(kExitUsage, "shortcut " + options.action + " takes " + (named ? "NAME " : "") +
                                   (needs_project ? "PROJECT.vbp" : "[PROJECT.vbp]"));
  }
  Request request;
  if (named) request.name = args[0];
  if (args.size() > wanted) request.project = args[wanted];
  if (!request.project.empty() && !std::filesystem::is_regular_file(request.project)) {
    throw CliError(kExitUsage, request.project, 0, "no such project file");
  }
  return request;
}

// The editor entry of the shortcut named `name`, or at position "#K" (from 0, in list order).
int FindEntry(const shell::ListBox& list, const std::string& name) {
  if (name.size() > 1 && name[0] == '#') {
    int entry = -1;
    const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), entry);
    if (error != std::errc() || end != name.data() + name.size() || entry < 0 ||
        entry >= list.ListCount()) {
      throw CliError(kExitUsage, "no shortcut at position " + name + " (there are " +
                                     std::to_string(list.ListCount()) + ")");
    }
    return entry;
  }
  std::vector<int> found;
  for (int entry = 0; entry < list.ListCount(); ++entry) {
    if (list.List(entry) == name) found.push_back(entry);
  }
  if (found.empty()) throw CliError(kExitUsage, "no shortcut named '" + name + "'");
  if (found.size() > 1) {
    throw CliError(kExitUsage, std::to_string(found.size()) + " shortcuts are named '" + name +
                                   "'; name one by its position, #" + std::to_string(found[0]) +
                                   " or #" + std::to_string(found[1]) + " (shortcut list)");
  }
  return found[0];
}

// A line break in the text is CR LF, as the editor's field holds it.
std::string EditorText(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

void FailOnError(const shell::ScriptedPlatform& platform) {
  const std::string prefix = std::string(shell::kErrorTitle) + ": ";
  for (const shell::PlatformCall& call : platform.CallsOf("MsgBox")) {
    if (call.detail.starts_with(prefix)) {
      throw CliError(kExitFailed, call.detail.substr(prefix.size()));
    }
  }
}

void Paste(shell::Session& session, const ShortcutOptions& options, int entry) {
  // By its name or its file's path, as every command's --module.
  host::Component* component = &FindComponent(session, options.module);
  host::CodeModule* code = component->CodeModule();
  if (code == nullptr) throw CliError(kExitUsage, "'" + options.module + "' holds no code");
  if (options.line < 1 || options.line > code->CountOfLines()) {
    throw CliError(kExitUsage, "--line " + std::to_string(options.line) + ": '" + options.module +
                                   "' has " + std::to_string(code->CountOfLines()) + " lines");
  }
  session.Vbe().ShowCode(*code, {options.line, 1, options.line, 1});
  shell::CommandBarControl& box = *session.Addin().Shared().shortcut_box;
  box.SetListIndex(entry + 1);
  session.Bars().Click(box);
}

int Run(const ShortcutOptions& options, CliContext& context) {
  const auto started = std::chrono::steady_clock::now();
  const Request request = ParseArgs(options);
  if (options.action == "new") {
    const std::string problem = shell::ShortcutNameProblem(request.name);
    if (!problem.empty()) throw CliError(kExitUsage, problem);
  }
  if (options.action == "paste" && options.module.empty()) {
    throw CliError(kExitUsage, "shortcut paste needs --module M and --line N");
  }
  std::ostringstream no_diff;
  shell::ScriptedPlatform platform;
  shell::SessionOptions session_options;
  session_options.project = request.project;
  session_options.dry_run = options.files.WritesNothing();
  session_options.writes_nothing = options.action == "list";
  session_options.diff_out = options.files.check ? &no_diff : &context.out;
  session_options.platform = &platform;
  std::string report;
  std::vector<std::filesystem::path> examined;
  std::vector<std::filesystem::path> changed;
  try {
    shell::Session session(session_options);
    if (!request.project.empty()) {
      for (const auto& entry : session.Project().Entries()) {
        if (entry.image) examined.push_back(entry.path);
      }
    } else {
      examined.push_back(session.Addin().Shared().database.File());
    }
    shell::frmUtility& window = session.Window();
    window.SSTab1.SetTab(shell::CodeTab::kPage);
    if (options.action == "list") {
      for (int entry = 0; entry < window.lstShortcuts.ListCount(); ++entry) {
        context.out << window.lstShortcuts.List(entry) << "\n";
      }
    } else if (options.action == "new") {
      platform.Queue({shell::Answer::Kind::kText, request.name, "shortcut new"});
      window.cmdShortcut(0).Click();
      report = "added shortcut '" + request.name + "'";
    } else {
      const int entry = FindEntry(window.lstShortcuts, request.name);
      const std::string name = window.lstShortcuts.List(entry);
      window.lstShortcuts.Choose(entry);
      if (options.action == "delete") {
        window.cmdShortcut(1).Click();
        report = "deleted shortcut '" + name + "'";
      } else if (options.action == "save") {
        window.txtShortcut.SetText(EditorText(options.text));
        window.cmdShortcut(2).Click();
        report = "saved shortcut '" + name + "'";
      } else {
        Paste(session, options, entry);
      }
    }
    FailOnError(platform);
    changed = session.Finish();
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, error.file(), error.line(), error.message());
  } catch (const host::vbfiles::SaveError& error) {
    throw CliError(kExitFailed, error.what());
  }
  if (options.action == "list") return kExitDone;
  // The database is no text file: a preview says what it would do to it.
  if (!report.empty()) {
    changed = examined;
    if (!options.files.check) {
      context.out << (options.files.dry_run ? "dry run, Marquill.mdb unchanged: would have " : "")
                  << report << "\n";
    }
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
  return ReportAddinFiles("shortcut", options.files, examined, changed, elapsed.count(),
                          context.out, context.err);
}

const CommandRegistrar kShortcut{
    {"shortcut",
     "Code shortcuts: list, new NAME, delete NAME, save NAME --text T, paste NAME --module M "
     "--line N PROJECT.vbp",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<ShortcutOptions>();
       app.add_option("ACTION", options->action, "list, new, delete, save or paste")
           ->required()
           ->check(CLI::IsMember({"list", "new", "delete", "save", "paste"}));
       app.add_option("ARGS", options->args,
                      "NAME (or #K, its position in the list from 0) and PROJECT.vbp");
       app.add_option("--text", options->text, "save: the shortcut's new text");
       app.add_option("--module", options->module,
                      "paste: the module to paste into (its name or its file)");
       app.add_option("--line", options->line, "paste: the line to paste above");
       AddAddinFileOptions(app, options->files,
                           "Say what would change (a paste: print a unified diff); write nothing");
       return [options](CliContext& context) { return Run(*options, context); };
     }}};

}  // namespace
}  // namespace marquill::cli
