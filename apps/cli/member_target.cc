#include "cli/member_target.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iterator>

#include "cli/cli_support.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/load_error.h"
#include "shell/platform/console_platform.h"
#include "shell/session.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

namespace fs = std::filesystem;

// Words the language keeps for itself; as a label or routine name they would not compile.
constexpr std::string_view kReservedWords[] = {
    "And",    "As",         "Boolean",  "ByRef",  "Byte",    "ByVal",      "Call",     "Case",
    "Close",  "Const",      "Currency", "Date",   "Debug",   "Declare",    "Dim",      "Do",
    "Double", "Each",       "Else",     "ElseIf", "End",     "Enum",       "Eqv",      "Erase",
    "Error",  "Event",      "Exit",     "False",  "For",     "Friend",     "Function", "Get",
    "Global", "GoSub",      "GoTo",     "If",     "Imp",     "Implements", "In",       "Integer",
    "Is",     "Let",        "Like",     "Long",   "Loop",    "Me",         "Mod",      "New",
    "Next",   "Not",        "Nothing",  "Object", "On",      "Open",       "Option",   "Optional",
    "Or",     "ParamArray", "Preserve", "Print",  "Private", "Property",   "Public",   "RaiseEvent",
    "ReDim",  "Rem",        "Resume",   "Return", "Select",  "Set",        "Single",   "Static",
    "Stop",   "String",     "Sub",      "Then",   "To",      "True",       "Type",     "TypeOf",
    "Until",  "Variant",    "Wend",     "While",  "With",    "WithEvents", "Xor"};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool IsReserved(std::string_view word) {
  const auto same = [word](std::string_view reserved) {
    return host::EqualsNoCase(word, reserved);
  };
  return std::any_of(std::begin(kReservedWords), std::end(kReservedWords), same);
}

// The cmbComponents entry naming the component: its name as listed (any case), or the path of
// its file. -1 when none does.
int ComponentEntry(shell::frmUtility& window, host::Project& project, const std::string& wanted) {
  const shell::ComboBox& list = window.cmbComponents;
  for (int i = 0; i < list.ListCount(); ++i) {
    if (list.List(i) == wanted) return i;
  }
  for (int i = 0; i < list.ListCount(); ++i) {
    if (host::EqualsNoCase(list.List(i), wanted)) return i;
  }
  std::error_code error;
  if (!fs::is_regular_file(wanted, error)) return -1;
  for (int i = 0; i < list.ListCount(); ++i) {
    const std::string file = project.Components().Item(list.List(i)).FileNames(1);
    if (!file.empty() && fs::equivalent(wanted, file, error)) return i;
  }
  return -1;
}

int MemberEntry(const shell::ComboBox& list, const std::string& wanted) {
  const int exact = list.Find(wanted);
  if (exact >= 0) return exact;
  for (int i = 0; i < list.ListCount(); ++i) {
    if (host::EqualsNoCase(list.List(i), wanted)) return i;
  }
  return -1;
}

void Pick(shell::Session& session, const MemberTargetOptions& options) {
  shell::frmUtility& window = session.Window();
  host::Project& project = *session.Vbe().ActiveProject();
  const int component = ComponentEntry(window, project, options.component);
  if (component < 0) {
    throw CliError(
        kExitUsage, options.project, 0,
        "no module, class, form, MDI form or user control named '" + options.component + "'");
  }
  window.cmbComponents.Choose(component);
  if (options.member.empty()) return;
  const int member = MemberEntry(window.cmbMembers, options.member);
  if (member < 0) {
    throw CliError(kExitUsage, options.project, 0,
                   "'" + window.cmbComponents.List(component) + "' has no member named '" +
                       options.member + "'");
  }
  window.cmbMembers.Choose(member);
}

}  // namespace

bool IsIdentifier(std::string_view text) {
  if (text.empty() || text.size() > 255 || !IsAsciiLetter(text.front())) return false;
  const bool word_chars = std::all_of(text.begin(), text.end(), [](char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_';
  });
  return word_chars && !IsReserved(text);
}

void AddMemberTargetOptions(CLI::App& app, MemberTargetOptions& options, ComponentOption component,
                            bool changes_files) {
  AddProjectArgument(app, options.project);
  CLI::Option* component_option =
      app.add_option("--component,--module", options.component,
                     component == ComponentOption::kRequired
                         ? "The module, class, form or user control (its name or its file)"
                         : "Only this module, class, form or user control (its name or its "
                           "file); without it, every one of them");
  if (component == ComponentOption::kRequired) component_option->required();
  app.add_option("--member", options.member, "One member of it instead of the whole component")
      ->needs(component_option);
  if (changes_files) AddDryRunFlag(app, options.dry_run);
}

void RunOnMemberTarget(const MemberTargetOptions& options, CliContext& context, bool save,
                       const std::function<void(shell::Session&)>& act) {
  // Nothing here asks a question; a message the add-in shows goes to the console.
  shell::ConsolePlatform console(/*yes=*/false, context.in, context.err);
  shell::SessionOptions session_options;
  session_options.project = options.project;
  session_options.dry_run = options.dry_run;
  session_options.diff_out = &context.out;
  session_options.platform = &console;
  session_options.load = ProjectLoadOptions(context.err);
  try {
    shell::Session session(session_options);
    PrintLoadNotices(context.err, session.Project());
    if (!options.component.empty()) Pick(session, options);
    act(session);
    if (save) session.Finish();
  } catch (const host::vbfiles::LoadError& error) {
    throw CliError(kExitUsage, error.file(), error.line(), error.message());
  } catch (const host::vbfiles::SaveError& error) {
    throw CliError(kExitFailed, error.what());
  }
}

}  // namespace marquill::cli
