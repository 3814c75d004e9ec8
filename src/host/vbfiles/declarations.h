// Finding module-level declarations in code, to put member attributes where the IDE writes them:
// directly under the last line of the declaration they belong to.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/code_model.h"

namespace marquill::host::vbfiles {

struct Declaration {
  std::vector<std::string> names;  // one for procedures, events, enums; a list for variables
  ProcKind kind = ProcKind::kProc;  // the accessor for properties, kProc for everything else
  bool opens_procedure = false;     // Sub, Function or Property: locals follow until its End
};

// The declaration a logical line makes (continuation marks already removed), if any.
std::optional<Declaration> ParseDeclaration(std::string_view logical_line);

// True for "End Sub", "End Function" and "End Property".
bool EndsProcedure(std::string_view logical_line);

struct DeclarationSite {
  Declaration declaration;
  int first_line = 0;  // 1-based
  int last_line = 0;   // the declaration's last continued line
};

// Every module-level declaration of a module, in order; locals inside procedures are skipped.
// `line(i)` returns line i (1-based) for i in 1..count.
std::vector<DeclarationSite> ScanDeclarations(int count,
                                              const std::function<std::string_view(int)>& line);

}  // namespace marquill::host::vbfiles
