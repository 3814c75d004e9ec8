#include "cli/member_target.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iterator>

#include "cli/cli_support.h"
#include "cli/command_registry.h"
#include "host/text/vb_text.h"
#include "shell/session.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

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

bool IsRoutineName(std::string_view text) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = text.find('.', start);
    if (!IsIdentifier(text.substr(start, dot - start))) return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

int MemberEntry(const shell::ComboBox& list, const std::string& wanted) {
  const int exact = list.Find(wanted);
  if (exact >= 0) return exact;
  for (int i = 0; i < list.ListCount(); ++i) {
    if (host::EqualsNoCase(list.List(i), wanted)) return i;
  }
  return -1;
}

std::string ProjectFile(shell::Session& session) { return session.Project().Path().string(); }

}  // namespace

bool IsIdentifier(std::string_view text) {
  if (text.empty() || text.size() > 255 || !IsAsciiLetter(text.front())) return false;
  const bool word_chars = std::all_of(text.begin(), text.end(), [](char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_';
  });
  return word_chars && !IsReserved(text);
}

void MustBeIdentifier(CLI::App& app, const std::string& option, bool dotted) {
  app.get_option(option)->check(CLI::Validator(
      [dotted](std::string& value) -> std::string {
        if (dotted ? IsRoutineName(value) : IsIdentifier(value)) return "";
        return "wants a name such as " + std::string(dotted ? "LogError" : "err_label") +
               " (a letter, then letters, digits or _; no reserved word), not '" + value + "'";
      },
      "NAME"));
}

void AddMemberTargetOptions(CLI::App& app, MemberTarget& target, ComponentOption component) {
  CLI::Option* component_option = NotEmpty(app.add_option(
      "--component,--module", target.component,
      component == ComponentOption::kRequired
          ? "The module, class, form or user control: its name or file"
          : "Only this module, class, form or user control (its name or file); without it, "
            "every one of them in turn"));
  if (component == ComponentOption::kRequired) component_option->required();
  NotEmpty(app.add_option("--member", target.member,
                          "One member of it (a procedure, property, variable ...)"))
      ->needs(component_option);
}

void PickMemberTarget(shell::Session& session, const MemberTarget& target) {
  shell::frmUtility& window = session.Window();
  const host::Component& component = FindComponent(session, target.component);
  const int entry = window.cmbComponents.Find(component.Name());
  if (entry < 0) {
    throw CliError(
        kExitUsage, ProjectFile(session), 0,
        "'" + component.Name() + "' is not a module, class, form, MDI form or user control");
  }
  window.cmbComponents.Choose(entry);
  if (target.member.empty()) return;
  const int member = MemberEntry(window.cmbMembers, target.member);
  if (member < 0) {
    throw CliError(kExitUsage, ProjectFile(session), 0,
                   "'" + component.Name() + "' has no member named '" + target.member + "'");
  }
  window.cmbMembers.Choose(member);
}

}  // namespace marquill::cli
