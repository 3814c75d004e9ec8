// The line commands of the code tab: delete-empty-rows, delete-comments, compact-strings,
// join-lines, split-lines and indent. Each opens the project, sets the tab's fields from its
// options, presses the button and saves what changed.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "cli/project_command.h"
#include "host/scope/command_scope.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/load_error.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/window/frm_utility.h"
#include "transform/code_text.h"

namespace marquill::cli {
namespace {

struct LineCommand {
  const char* name;
  const char* description;
  shell::CommandButton shell::CodeTab::*button;
  shell::TextBox shell::CodeTab::*width_field = nullptr;  // split-lines and indent
  bool collapse = false;                                  // delete-empty-rows
  bool asks = false;                                      // indent
  // The largest whole width the command can use; indent cannot indent past a code line.
  std::int32_t max_width = std::numeric_limits<std::int32_t>::max();
};

struct LineOptions {
  std::string module;
  std::string select;
  std::string width;
  bool collapse = false;
};

void ChooseScope(shell::Session& session, const LineOptions& options) {
  shell::frmUtility& window = session.Window();
  if (options.module.empty()) {
    window.optWhere(static_cast<int>(host::Scope::kAllProject)).Click();
    return;
  }
  ShowModule(session, options.module, options.select);
  const host::Scope scope =
      options.select.empty() ? host::Scope::kCurrentModule : host::Scope::kSelectedText;
  window.optWhere(static_cast<int>(scope)).Click();
}

// Types the width as a user would: the field normalises its text, on the change or when the
// focus leaves it. The window quietly skips every module when the field's number does not round
// to a whole number it can use; here that is said.
void SetWidth(shell::TextBox& field, const std::string& width, std::int32_t max_width) {
  field.SetText(width);
  field.LoseFocus();
  bool usable = false;
  try {
    usable = host::CLng(field.Text()) <= max_width;
  } catch (const host::ConversionError&) {
  }
  if (!usable) {
    throw CliError(kExitUsage,
                   "--width " + width + " is too large: at most " + std::to_string(max_width));
  }
}

// The file a component was loaded from; the project file when it has none of its own.
std::string FileOf(shell::Session& session, const std::string& component) {
  for (const host::vbfiles::VbProject::Entry& entry : session.Project().Entries()) {
    if (entry.component != nullptr && entry.component->Name() == component) {
      return entry.path.string();
    }
  }
  return session.Project().Path().string();
}

// Lines are those of the code window when the command stopped, continued lines joined.
std::string StopText(const LineCommand& command, const shell::LineCommandNotes::Stop& stop) {
  return std::string(command.name) + " stopped in " + stop.module + " at line " +
         std::to_string(stop.line) + " (continued lines joined): " + stop.reason;
}

// What the window keeps quiet about: statements left continued are said on stderr; a module the
// command gave up on half way fails the command, and nothing is saved.
void Report(shell::Session& session, const LineCommand& command, CliContext& context) {
  const shell::LineCommandNotes& notes = session.Window().lineNotes;
  if (notes.statements_left_continued > 0) {
    const int n = notes.statements_left_continued;
    context.err << command.name << ": " << n << (n == 1 ? " statement" : " statements")
                << " left continued: one line of at most " << transform::kMaxCodeLine
                << " characters could not hold " << (n == 1 ? "it" : "them") << "\n";
  }
  if (notes.stops.empty()) return;
  for (std::size_t i = 1; i < notes.stops.size(); ++i) {
    const shell::LineCommandNotes::Stop& stop = notes.stops[i];
    context.err << "marquill: " << FileOf(session, stop.module) << ": " << StopText(command, stop)
                << "\n";
  }
  const shell::LineCommandNotes::Stop& stop = notes.stops.front();
  throw CliError(kExitFailed, FileOf(session, stop.module), 0,
                 StopText(command, stop) + "; nothing was written");
}

bool QuestionRefused(const shell::ScriptedPlatform& platform) {
  for (const shell::PlatformCall& call : platform.CallsOf("MsgBox")) {
    if (call.result == "No") return true;
  }
  return false;
}

void Run(const LineCommand& command, const LineOptions& options, ProjectRun& run) {
  shell::frmUtility& window = run.session.Window();
  ChooseScope(run.session, options);
  if (command.collapse) window.chkDelLines.SetValue(options.collapse ? 0 : 1);
  if (command.width_field != nullptr && !options.width.empty()) {
    SetWidth(window.*command.width_field, options.width, command.max_width);
  }
  (window.*command.button).Click();
  if (QuestionRefused(run.platform)) {
    // The session closes without saving: nothing of this project is written.
    throw CliError(
        kExitFailed, run.target.string(), 0,
        std::string(command.name) + " was not confirmed; nothing was written (--yes answers Yes)");
  }
  run.Tally("statements left continued", run.session.Window().lineNotes.statements_left_continued);
  Report(run.session, command, run.context);
}

ProjectAction Setup(const LineCommand& command, CLI::App& app) {
  auto options = std::make_shared<LineOptions>();
  CLI::Option* module = NotEmpty(app.add_option(
      "--module,--component", options->module,
      "Only this component's code (the module in the active code pane): its name or file"));
  CLI::Option* select = NotEmpty(
      app.add_option("--select", options->select,
                     "With --module: only lines FIRST-LAST of it, counted in the code window"));
  select->needs(module);
  select->check(CLI::Validator(
      [](std::string& value) -> std::string {
        try {
          CheckSelection(value);
        } catch (const CliError& error) {
          return error.message();
        }
        return "";
      },
      "FIRST-LAST"));
  if (command.collapse) {
    app.add_flag("--collapse", options->collapse,
                 "Shrink each run of empty rows to one instead of deleting them all");
  }
  if (command.width_field != nullptr) {
    WholeNumberAtLeastOne(
        app.add_option("--width", options->width,
                       command.asks ? "Indent width (default 4)" : "Longest line (default 80)"));
  }
  return [command, options](ProjectRun& run) { Run(command, *options, run); };
}

ProjectCommandRegistrar Register(LineCommand command) {
  ProjectCommand project_command{command.name, command.description,
                                 [command](CLI::App& app) { return Setup(command, app); }};
  project_command.takes_standard_input = true;
  project_command.asks = command.asks;
  return ProjectCommandRegistrar(std::move(project_command));
}

using shell::CodeTab;

const ProjectCommandRegistrar kDeleteEmptyRows =
    Register({"delete-empty-rows", "Delete empty rows (--collapse: keep one of each run)",
              &CodeTab::cmdDelEmpty, nullptr, /*collapse=*/true});
const ProjectCommandRegistrar kDeleteComments =
    Register({"delete-comments", "Delete every comment", &CodeTab::cndDelAllComments});
const ProjectCommandRegistrar kCompactStrings = Register(
    {"compact-strings", "Merge string constants joined by \" & \"", &CodeTab::cmdCompactStr});
const ProjectCommandRegistrar kJoinLines =
    Register({"join-lines", "Join continued lines into one (delete _)", &CodeTab::cmdDelSplit});
const ProjectCommandRegistrar kSplitLines =
    Register({"split-lines", "Split lines longer than the width with continuation marks",
              &CodeTab::cmdSplit, &CodeTab::txtSplit});
const ProjectCommandRegistrar kIndent =
    Register({"indent", "Join continued lines, then re-indent code by its block structure",
              &CodeTab::cmdIndent, &CodeTab::txtIndent, false, /*asks=*/true,
              /*max_width=*/1023});

}  // namespace
}  // namespace marquill::cli
