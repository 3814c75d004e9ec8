// `marquill describe`: the description and help context ID of a component or member, as the
// "&Err handling&&Export" tab shows and edits them. Without a new value it prints them.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>

#include "cli/member_target.h"
#include "cli/project_command.h"
#include "docs/member_attributes.h"
#include "host/text/vb_text.h"
#include "shell/session.h"
#include "shell/window/frm_utility.h"
#include "shell/window/member_pickers.h"

namespace marquill::cli {
namespace {

struct DescribeOptions {
  MemberTarget target;
  std::string description;
  std::string help_id;
  bool description_given = false;
  bool help_id_given = false;
};

std::string OneLine(std::string& value) {
  if (value.find_first_of("\r\n") == std::string::npos) return "";
  return "is one line: an attribute cannot hold a line break";
}

std::string LongNumber(std::string& value) {
  try {
    docs::HelpContextIdOf(value);
    return "";
  } catch (const host::ConversionError&) {
    return "wants a whole number from -2147483648 to 2147483647, not '" + value + "'";
  }
}

// What the picked component or member holds now, read from the host rather than the fields.
docs::Attributes HostValues(shell::frmUtility& window) {
  if (host::Member* member = shell::SelectedMember(window)) return docs::ReadAttributes(*member);
  return docs::ReadAttributes(*shell::SelectedComponent(window));
}

void Show(shell::frmUtility& window, std::ostream& out) {
  out << window.lblDesc.Caption() << ' ' << window.txtDesc.Text() << '\n'
      << window.lblHelpCtxID.Caption() << ' ' << window.txtHelpCtxID.Text() << '\n';
}

void Edit(shell::Session& session, const DescribeOptions& options) {
  shell::frmUtility& window = session.Window();
  docs::Attributes wanted = HostValues(window);
  if (options.description_given) {
    window.txtDesc.SetText(options.description);
    wanted.description = options.description;
  }
  if (options.help_id_given) {
    window.txtHelpCtxID.SetText(options.help_id);
    wanted.help_context_id = docs::HelpContextIdOf(options.help_id);
  }
  // The window skips what the host refuses without a word; here that is a failure.
  if (HostValues(window) != wanted) {
    throw CliError(kExitFailed, session.Project().Path().string(), 0,
                   "the host refused the new value; nothing was written");
  }
}

void Run(const DescribeOptions& options, ProjectRun& run) {
  PickMemberTarget(run.session, options.target);
  if (options.description_given || options.help_id_given) {
    Edit(run.session, options);
  } else {
    Show(run.session.Window(), run.context.out);
  }
}

const ProjectCommandRegistrar kDescribe{
    {"describe", "Show or set the description and help context ID of a component or member",
     [](CLI::App& app) -> ProjectAction {
       auto options = std::make_shared<DescribeOptions>();
       AddMemberTargetOptions(app, options->target, ComponentOption::kRequired);
       // Whether a value was given at all: an empty description clears the one there.
       app.add_option_function<std::string>(
              "--description",
              [options](const std::string& value) {
                options->description = value;
                options->description_given = true;
              },
              "The new description")
           ->check(CLI::Validator(OneLine, "TEXT"));
       app.add_option_function<std::string>(
              "--help-id",
              [options](const std::string& value) {
                options->help_id = value;
                options->help_id_given = true;
              },
              "The new help context ID (a Long; 2.5 reads as 2)")
           ->check(CLI::Validator(LongNumber, "N"));
       return [options](ProjectRun& run) { Run(*options, run); };
     }}};

}  // namespace
}  // namespace marquill::cli
