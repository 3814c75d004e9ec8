// The component and member a command of the "&Err handling&&Export" tab works on, chosen in the
// tab's pickers (cmbComponents, cmbMembers) as a user would choose them.
#pragma once

#include <string>
#include <string_view>

namespace CLI {
class App;
}

namespace marquill::shell {
class Session;
}

namespace marquill::cli {

struct MemberTarget {
  std::string component;  // a component's name or the path of its file; "" for none
  std::string member;     // "" for the component itself
};

enum class ComponentOption { kRequired, kOptional };

// --component (also spelt --module) and --member, which needs --component.
void AddMemberTargetOptions(CLI::App& app, MemberTarget& target, ComponentOption component);

// Picks the component, then the member, in the window's pickers. A component the pickers do not
// list (no such component, or one without code of the listed kinds) or a member it lacks is a
// usage error naming the project.
void PickMemberTarget(shell::Session& session, const MemberTarget& target);

// Whether `text` is a name the language accepts for a label or a routine: a letter, then
// letters, digits and underscores, at most 255 characters, and no reserved word.
bool IsIdentifier(std::string_view text);

// A check for an option whose value must be such a name; `dotted` allows module.Routine.
void MustBeIdentifier(CLI::App& app, const std::string& option, bool dotted);

}  // namespace marquill::cli
