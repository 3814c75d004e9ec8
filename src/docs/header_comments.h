// Header comments: the module header template at the top of a module, and a standard header
// below each chosen procedure's declaration, built from the declaration itself (its name, whether
// it is a Sub, a Function or a Property, and its parameters with an in/out mark).
//
// Every setting comes from CommentSettings, read live from the tab's fields when "&Insert" is
// pressed. Each procedure is located afresh, so earlier insertions never disturb later ones.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "docs/comment_settings.h"
#include "host/code_model.h"

namespace marquill::docs {

inline constexpr std::string_view kSelectModuleFirst = "Select a module first!";
inline constexpr std::string_view kSelectModuleFirstTitle = "Atention";

// "' " and the delimiter's first character repeated by the count; std::nullopt unless the
// delimiters are in force (the switch on, and both the character and the count fields filled).
std::optional<std::string> DelimiterLine(const CommentSettings& settings);

// The module header to insert above line 1, "" when there is none to insert.
std::string ModuleHeader(const CommentSettings& settings);

enum class Flavour { kSub = 1, kFunction = 2, kProperty = 3 };

// What a header needs from a procedure's declaration (its lines joined into one text).
struct Declaration {
  Flavour flavour = Flavour::kSub;
  // Function and Property Get return a value; Sub, Property Let and Property Set do not.
  bool returns_value = false;
  // The parameters as written, one entry each, trimmed: "ByVal a As Long".
  std::vector<std::string> parameters;
};

// Reads the flavour from the declaration's keyword (Sub, Function or Property), and the
// parameters from inside the declaration's own parentheses, split at commas that stand outside
// nested parentheses and string literals.
Declaration ParseDeclaration(std::string_view declaration);

// "'    [in] a" for a ByVal parameter, "'    [out] a" for every other one: the name alone, with
// any "()" of an array, without modifiers, type or default.
std::string ParameterLine(std::string_view parameter);

// The whole header of one procedure, each line ended by CR LF, except that a header framed by
// delimiters ends with the closing delimiter line itself.
std::string MemberHeader(std::string_view name, const Declaration& declaration,
                         const CommentSettings& settings);

// Inserts the header of procedure (sName, t) directly below its declaration, which may be
// continued over several lines. host::HostError when the module has no such procedure; nothing
// is inserted then.
void ExtractParams(host::CodeModule& co, std::string_view sName, host::ProcKind t,
                   const CommentSettings& settings);

// A member as the member checklist holds it: its name and its member type as item data.
struct HeaderMember {
  std::string name;
  host::MemberType type = host::MemberType::kMethod;
  friend bool operator==(const HeaderMember&, const HeaderMember&) = default;
};

// The members a module offers for headers, in the module's member order: every method, property
// and event; variables and constants are left out.
std::vector<HeaderMember> HeaderCandidates(host::CodeModule& module);

// The insert command on one module: the module header first (when switched on), then, when the
// standard headers are switched on, one header per procedure of each member in `members` (a
// property's Get, Let and Set each get their own; events none). A header that fails is skipped
// and the others are still inserted. Returns the number of headers inserted.
int InsertHeaders(host::CodeModule& module, const std::vector<HeaderMember>& members,
                  const CommentSettings& settings);

}  // namespace marquill::docs
