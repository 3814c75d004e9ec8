// `marquill describe`: the description and help context ID of a component or member, as the
// "&Err handling&&Export" tab shows and edits them. Without a new value it prints them.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>

#include "cli/command_registry.h"
#include "cli/member_target.h"
#include "docs/member_attributes.h"
#include "host/text/vb_text.h"
#include "shell/session.h"
#include "shell/window/frm_utility.h"
#include "shell/window/member_pickers.h"

namespace marquill::cli {
namespace {

struct DescribeOptions {
  MemberTargetOptions target;
  std::string description;
  std::string help_id;
  bool description_given = false;
  bool help_id_given = false;
};

void CheckOptions(const DescribeOptions& options) {
  if (options.description_given && options.description.find_first_of("\r\n") != std::string::npos) {
    throw CliError(kExitUsage, "--description is one line: an attribute cannot hold a line break");
  }
  if (!options.help_id_given) return;
  try {
    docs::HelpContextIdOf(options.help_id);
  } catch (const host::ConversionError&) {
    throw CliError(kExitUsage,
                   "--help-id wants a whole number from -2147483648 to 2147483647, "
                   "not '" +
                       options.help_id + "'");
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

void Edit(shell::frmUtility& window, const DescribeOptions& options) {
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
    throw CliError(kExitFailed, "the host refused the new value; nothing was written");
  }
}

int Run(const DescribeOptions& options, CliContext& context) {
  CheckOptions(options);
  const bool edits = options.description_given || options.help_id_given;
  RunOnMemberTarget(options.target, context, /*save=*/edits, [&](shell::Session& session) {
    shell::frmUtility& window = session.Window();
    if (edits) {
      Edit(window, options);
    } else {
      Show(window, context.out);
    }
  });
  return kExitDone;
}

const CommandRegistrar kDescribe{
    {"describe", "Show or set the description and help context ID of a component or member",
     [](CLI::App& app) -> RunFn {
       auto options = std::make_shared<DescribeOptions>();
       AddMemberTargetOptions(app, options->target, ComponentOption::kRequired,
                              /*changes_files=*/true);
       CLI::Option* description =
           app.add_option("--description", options->description, "The new description");
       CLI::Option* help_id =
           app.add_option("--help-id", options->help_id, "The new help context ID");
       return [options, description, help_id](CliContext& context) {
         options->description_given = description->count() > 0;
         options->help_id_given = help_id->count() > 0;
         return Run(*options, context);
       };
     }}};

}  // namespace
}  // namespace marquill::cli
