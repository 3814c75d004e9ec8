// The component and member a command of the "&Err handling&&Export" tab works on, chosen in the
// tab's pickers as a user would choose them, and the session those commands run in.
#pragma once

#include <functional>
#include <string>

#include "cli/command_registry.h"

namespace CLI {
class App;
}

namespace marquill::shell {
class Session;
}

namespace marquill::cli {

struct MemberTargetOptions {
  std::string project;
  std::string component;  // a component's name, or the path of its file
  std::string member;     // "" for the component itself
  bool dry_run = false;
};

enum class ComponentOption { kRequired, kOptional };

// PROJECT.vbp, --component (also spelt --module), --member (which needs --component), and
// --dry-run when `changes_files`.
void AddMemberTargetOptions(CLI::App& app, MemberTargetOptions& options, ComponentOption component,
                            bool changes_files);

// Opens the project, picks the component (and the member) in cmbComponents and cmbMembers when
// one is named, runs `act`, and saves what changed when `save` (a dry run prints the diff
// instead). A component the pickers do not list or a member it lacks is a usage error naming the
// project; nothing is written then, nor when `act` throws.
void RunOnMemberTarget(const MemberTargetOptions& options, CliContext& context, bool save,
                       const std::function<void(shell::Session&)>& act);

// Whether `text` is a name the language accepts for a label or a routine: a letter, then
// letters, digits and underscores, at most 255 characters, and no reserved word.
bool IsIdentifier(std::string_view text);

}  // namespace marquill::cli
