// `marquill error-handler remove|insert|insert-custom`: the three error-handler buttons of the
// "&Err handling&&Export" tab, on a component, one of its members, or every component in turn.
// The options fill the tab's fields (label, style, routine name, body) before the button is
// pressed.
#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <string>

#include "cli/cli_support.h"
#include "cli/member_target.h"
#include "cli/project_command.h"
#include "shell/session.h"
#include "shell/window/err_tab_commands.h"
#include "shell/window/frm_utility.h"

namespace marquill::cli {
namespace {

struct HandlerOptions {
  MemberTarget target;
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

// Only procedures and properties have bodies to put a handler in.
void CheckMemberType(shell::Session& session) {
  shell::frmUtility& window = session.Window();
  const int entry = window.cmbMembers.ListIndex();
  if (entry < 0) return;
  const auto type = static_cast<host::MemberType>(window.cmbMembers.ItemData(entry));
  if (type == host::MemberType::kMethod || type == host::MemberType::kProperty) return;
  const char* what = type == host::MemberType::kVariable ? "a variable"
                     : type == host::MemberType::kEvent  ? "an event"
                                                         : "a constant";
  throw CliError(kExitUsage, session.Project().Path().string(), 0,
                 "'" + window.cmbMembers.List(entry) + "' is " + what +
                     ": error handlers go into procedures and properties");
}

// As a user fills them: the routine name, then the style (the Call body takes the name), then
// the body typed over it.
void FillFields(shell::frmUtility& window, const HandlerOptions& options) {
  if (options.label_given) window.txtErrLabel.SetText(options.label);
  if (!options.call.empty()) window.txtCallErr.SetText(options.call);
  const std::string style = options.call.empty() ? options.style : "call";
  if (!style.empty()) window.optError(kStyles.at(style)).Click();
  if (options.body_given) window.txtErrHandler.SetText(options.body);
}

void Run(const HandlerOptions& options, ProjectRun& run) {
  shell::frmUtility& window = run.session.Window();
  if (!options.target.component.empty()) {
    PickMemberTarget(run.session, options.target);
    CheckMemberType(run.session);
  }
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
}

const ProjectCommandRegistrar kErrorHandler{
    {"error-handler",
     "Remove or insert On Error Resume Next, or insert a custom error handler, in the "
     "procedures of a component, a member or every component",
     [](CLI::App& app) -> ProjectAction {
       auto options = std::make_shared<HandlerOptions>();
       app.add_option("ACTION", options->action, "remove, insert or insert-custom")
           ->required()
           ->check(CLI::IsMember({"remove", "insert", "insert-custom"}));
       AddMemberTargetOptions(app, options->target, ComponentOption::kOptional);
       // Whether a text option was given at all: an empty body is a body too.
       app.add_option_function<std::string>(
           "--label",
           [options](const std::string& value) {
             options->label = value;
             options->label_given = true;
           },
           "insert-custom: the error label (err_label)");
       MustBeIdentifier(app, "--label", /*dotted=*/false);
       app.add_option("--style", options->style,
                      "insert-custom: the canned body: msgbox, debug or call")
           ->check(CLI::IsMember({"msgbox", "debug", "call"}));
       NotEmpty(app.add_option("--call", options->call,
                               "insert-custom: the call body, calling this routine"));
       MustBeIdentifier(app, "--call", /*dotted=*/true);
       app.add_option_function<std::string>(
           "--body",
           [options](const std::string& value) {
             options->body = value;
             options->body_given = true;
           },
           "insert-custom: the body as it is, instead of a canned one");
       return [options](ProjectRun& run) { Run(*options, run); };
     }}};

}  // namespace
}  // namespace marquill::cli
