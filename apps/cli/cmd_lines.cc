// The line commands of the code tab: delete-empty-rows, delete-comments, compact-strings,
// join-lines, split-lines and indent. Each opens the project, sets the tab's fields from its
// options, presses the button and saves what changed.
#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "host/scope/command_scope.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/load_error.h"
#include "shell/platform/console_platform.h"
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
  std::string project;
  std::string module;
  std::string select;
  std::string width;
  bool collapse = false;
  bool yes = false;
  bool dry_run = false;
};

struct LineRange {
  int first = 0;
  int last = 0;
};

bool ParseWhole(std::string_view text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

LineRange ParseSelection(const std::string& text) {
  const std::size_t dash = text.find('-');
  LineRange range;
  if (dash == std::string::npos ||
      !ParseWhole(std::string_view(text).substr(0, dash), range.first) ||
      !ParseWhole(std::string_view(text).substr(dash + 1), range.last) || range.first < 1 ||
      range.last < range.first) {
    throw CliError(kExitUsage,
                   "--select wants FIRST-LAST, two line numbers with 1 <= FIRST <= "
                   "LAST, not '" +
                       text + "'");
  }
  return range;
}

// The component's code module shown in the active code pane, with the selection if one is given.
void ShowModule(shell::Session& session, const LineOptions& options) {
  host::Component* component = nullptr;
  try {
    component = &session.Vbe().ActiveProject()->Components().Item(options.module);
  } catch (const host::HostError&) {
    throw CliError(kExitUsage, options.project, 0, "no component named '" + options.module + "'");
  }
  host::CodeModule* code = component->CodeModule();
  if (code == nullptr) {
    throw CliError(kExitUsage, options.project, 0, "'" + options.module + "' holds no code");
  }
  if (options.select.empty()) {
    session.Vbe().ShowCode(*code);
    return;
  }
  const LineRange range = ParseSelection(options.select);
  if (range.last > code->CountOfLines()) {
    throw CliError(kExitUsage, "--select " + options.select + ": '" + options.module + "' has " +
                                   std::to_string(code->CountOfLines()) + " lines");
  }
  session.Vbe().ShowCode(*code, {range.first, 1, range.last, 1});
}

void ChooseScope(shell::Session& session, const LineOptions& options) {
  shell::frmUtility& window = session.Window();
  if (options.module.empty()) {
    window.optWhere(static_cast<int>(host::Scope::kAllProject)).Click();
    return;
  }
  ShowModule(session, options);
  const host::Scope scope =
      options.select.empty() ? host::Scope::kCurrentModule : host::Scope::kSelectedText;
  window.optWhere(static_cast<int>(scope)).Click();
}

// Types the width as a user would: the field normalises its text, on the change or when the
// focus leaves it. The window quietly skips every module when the field's number does not round
// to a whole number it can use; here that is said.
void SetWidth(shell::TextBox& field, const std::string& width, std::int32_t max_width) {
  if (!host::NumberFieldPasses(width)) {
    throw CliError(kExitUsage, "--width wants a number greater than 0, not '" + width + "'");
  }
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

int Run(const LineCommand& command, const LineOptions& options, CliContext& context) {
  if (!options.select.empty() && options.module.empty()) {
    throw CliError(kExitUsage, "--select needs --module: the lines are those of one module");
  }
  if (!options.select.empty()) ParseSelection(options.select);
  // A question goes to the console, which takes --yes or asks at a terminal and otherwise says
  // No; the recording in front of it tells whether it was refused.
  shell::ConsolePlatform console(options.yes, context.in, context.err);
  shell::ScriptedPlatform platform(&console);
  shell::SessionOptions session_options;
  session_options.project = options.project;
  session_options.dry_run = options.dry_run;
  session_options.diff_out = &context.out;
  session_options.platform = &platform;
  session_options.load = ProjectLoadOptions(context.err);
  try {
    shell::Session session(session_options);
    PrintLoadNotices(context.err, session.Project());
    shell::frmUtility& window = session.Window();
    ChooseScope(session, options);
    if (command.collapse) window.chkDelLines.SetValue(options.collapse ? 0 : 1);
    if (command.width_field != nullptr && !options.width.empty()) {
      SetWidth(window.*command.width_field, options.width, command.max_width);
    }
    (window.*command.button).Click();
    if (QuestionRefused(platform)) {
      // The session closes without saving: nothing is written.
      throw CliError(kExitFailed, std::string(command.name) +
                                      " was not confirmed; nothing was written (--yes answers "
                                      "Yes)");
    }
    Report(session, command, context);
    session.Finish();
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, error.file(), error.line(), error.message());
  } catch (const host::vbfiles::SaveError& error) {
    throw CliError(kExitFailed, error.what());
  }
  return kExitDone;
}

RunFn Setup(const LineCommand& command, CLI::App& app) {
  auto options = std::make_shared<LineOptions>();
  AddProjectArgument(app, options->project);
  app.add_option("--module,--component", options->module,
                 "Only this component's code (the module in the active code pane)");
  app.add_option("--select", options->select,
                 "With --module: only lines FIRST-LAST of it (the selected text)");
  if (command.collapse) {
    app.add_flag("--collapse", options->collapse,
                 "Shrink each run of empty rows to one instead of deleting them all");
  }
  if (command.width_field != nullptr) {
    app.add_option("--width", options->width,
                   command.asks ? "Indent width (default 4)" : "Longest line (default 80)");
  }
  if (command.asks) {
    app.add_flag("--yes", options->yes,
                 "Answer Yes to the question whether continued lines may be joined first");
  }
  AddDryRunFlag(app, options->dry_run);
  return [command, options](CliContext& context) { return Run(command, *options, context); };
}

CommandRegistrar Register(LineCommand command) {
  return CommandRegistrar({command.name, command.description,
                           [command](CLI::App& app) { return Setup(command, app); }});
}

using shell::CodeTab;

const CommandRegistrar kDeleteEmptyRows =
    Register({"delete-empty-rows", "Delete empty rows (--collapse: keep one of each run)",
              &CodeTab::cmdDelEmpty, nullptr, /*collapse=*/true});
const CommandRegistrar kDeleteComments =
    Register({"delete-comments", "Delete every comment", &CodeTab::cndDelAllComments});
const CommandRegistrar kCompactStrings = Register(
    {"compact-strings", "Merge string constants joined by \" & \"", &CodeTab::cmdCompactStr});
const CommandRegistrar kJoinLines =
    Register({"join-lines", "Join continued lines into one (delete _)", &CodeTab::cmdDelSplit});
const CommandRegistrar kSplitLines =
    Register({"split-lines", "Split lines longer than the width with continuation marks",
              &CodeTab::cmdSplit, &CodeTab::txtSplit});
const CommandRegistrar kIndent =
    Register({"indent", "Join continued lines, then re-indent code by its block structure",
              &CodeTab::cmdIndent, &CodeTab::txtIndent, false, /*asks=*/true,
              /*max_width=*/1023});

}  // namespace
}  // namespace marquill::cli
