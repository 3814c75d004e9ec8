#include "host/code_model.h"

#include <array>

namespace marquill::host {

std::string_view ComponentTypeName(ComponentType type) {
  static constexpr std::array<std::string_view, 11> kNames = {
      "StdModule", "ClassModule", "MSForm",      "ResFile",         "VBForm",         "MDIForm",
      "PropPage",  "UserControl", "DocObject", "RelatedDocument", "ActiveXDesigner"};
  const int index = static_cast<int>(type);
  if (index < 1 || index > static_cast<int>(kNames.size())) return "";
  return kNames[static_cast<size_t>(index - 1)];
}

}  // namespace marquill::host
