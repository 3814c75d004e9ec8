// `marquill error-handler remove|insert|insert-custom`: the three error-handler buttons of the
// "&Err handling&&Export" tab, on a component, one of its members, or every component in turn.
// The options fill the tab's fields (label, style, routine name, body) before the button is
// pressed.
#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <string>

#include "cli/command_registry.h"
#include "cli/member_target.h"
#include "shell/session.h"
#include "shell/window/err_tab_commands.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

struct HandlerOptions {
  MemberTargetOptions target;
  std::string action;
  std::string label;
  std::string style;
  std::string call;
  std::string body;
  bool label_given = false;
  bool body_given = false;
};

const std::map<std::string, int> kActions = {{"remove", shell::kRemoveButton},
                                             {"insert", shell::kInsertButton},
                                             {"insert-custom", shell::kInsertCustomButton}};
const std::map<std::string, int> kStyles = {{"msgbox", 0}, {"debug", 1}, {"call", 2}};

// A dotted name such as modErrors.LogError is a routine too.
bool IsRoutineName(std::string_view text) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = text.find('.', start);
    if (!IsIdentifier(text.substr(start, dot - start))) return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

void CheckOptions(HandlerOptions& options) {
  const bool custom = options.action == "insert-custom";
  if (!custom && (options.label_given || !options.style.empty() || !options.call.empty() ||
                  options.body_given)) {
    throw CliError(kExitUsage, "--label, --style, --call and --body go with insert-custom only");
  }
  if (options.label_given && !IsIdentifier(options.label)) {
    throw CliError(kExitUsage,
                   "--label wants a name such as err_label (a letter, then letters, "
                   "digits or _; no reserved word), not '" +
                       options.label + "'");
  }
  if (!options.call.empty()) {
    if (options.style.empty()) options.style = "call";
    if (options.style != "call") throw CliError(kExitUsage, "--call goes with --style call");
    if (!IsRoutineName(options.call)) {
      throw CliError(kExitUsage, "--call wants the name of a routine, not '" + options.call + "'");
    }
  }
}

// Only procedures and properties have bodies to put a handler in.
void CheckMemberType(shell::frmUtility& window, const HandlerOptions& options) {
  const int entry = window.cmbMembers.ListIndex();
  if (entry < 0) return;
  const auto type = static_cast<host::MemberType>(window.cmbMembers.ItemData(entry));
  if (type == host::MemberType::kMethod || type == host::MemberType::kProperty) return;
  const char* what = type == host::MemberType::kVariable ? "a variable"
                     : type == host::MemberType::kEvent  ? "an event"
                                                         : "a constant";
  throw CliError(kExitUsage, options.target.project, 0,
                 "'" + window.cmbMembers.List(entry) + "' is " + what +
                     ": error handlers go into procedures and properties");
}

void FillFields(shell::frmUtility& window, const HandlerOptions& options) {
  if (options.label_given) window.txtErrLabel.SetText(options.label);
  if (!options.call.empty()) window.txtCallErr.SetText(options.call);
  if (!options.style.empty()) window.optError(kStyles.at(options.style)).Click();
  if (options.body_given) window.txtErrHandler.SetText(options.body);
}

int Run(HandlerOptions& options, CliContext& context) {
  CheckOptions(options);
  RunOnMemberTarget(options.target, context, /*save=*/true, [&](shell::Session& session) {
    shell::frmUtility& window = session.Window();
    CheckMemberType(window, options);
    window.cmbWhereErr.Choose(options.target.member.empty() ? shell::kApplyToComponent
                                                            : shell::kApplyToMember);
    FillFields(window, options);
    shell::CommandButton& button = window.cmdErrHandler(kActions.at(options.action));
    if (!options.target.component.empty()) {
      button.Click();
      return;
    }
    // Every component the picker lists, picked in turn.
    for (int entry = 0; entry < window.cmbComponents.ListCount(); ++entry) {
      window.cmbComponents.Choose(entry);
      button.Click();
    }
  });
  return kExitDone;
}

const CommandRegistrar kErrorHandler{
    {"error-handler",
     "Remove or insert On Error Resume Next, or insert a custom error handler, in the "
     "procedures of a component or member",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<HandlerOptions>();
       app.add_option("ACTION", options->action, "remove, insert or insert-custom")
           ->required()
           ->check(CLI::IsMember({"remove", "insert", "insert-custom"}));
       AddMemberTargetOptions(app, options->target, ComponentOption::kOptional,
                              /*changes_files=*/true);
       CLI::Option* label =
           app.add_option("--label", options->label, "insert-custom: the error label (err_label)");
       app.add_option("--style", options->style,
                      "insert-custom: the handler body: msgbox, debug or call")
           ->check(CLI::IsMember({"msgbox", "debug", "call"}));
       app.add_option("--call", options->call,
                      "insert-custom: the routine the call body calls (implies --style call)");
       CLI::Option* body =
           app.add_option("--body", options->body,
                          "insert-custom: the handler body as it is (replaces --style's)");
       return [options, label, body](CliContext& context) {
         options->label_given = label->count() > 0;
         options->body_given = body->count() > 0;
         return Run(*options, context);
       };
     }}};

}  // namespace
}  // namespace marquill::cli
