#include "host/scope/command_scope.h"

#include "host/ignore_errors.h"
#include "host/text/vb_text.h"

namespace marquill::host {
namespace {

void RunOverProject(Vbe& vbe, const LineProcedure& procedure) {
  Project* project = nullptr;
  if (!Step([&] { project = vbe.ActiveProject(); }) || project == nullptr) return;
  Components* components = nullptr;
  int count = 0;
  if (!Step([&] {
        components = &project->Components();
        count = components->Count();
      })) {
    return;
  }
  // One step per component: a module the procedure fails on keeps its changes and the walk
  // goes on with the next one.
  for (int index = 1; index <= count; ++index) {
    Step([&] {
      Component& component = components->Item(index);
      if (!IsProcessedType(component.Type())) return;
      CodeModule* module = component.CodeModule();
      if (module == nullptr) return;
      procedure(*module, 1, module->CountOfLines());
    });
  }
}

void RunOverActivePane(Vbe& vbe, bool selection_only, const LineProcedure& procedure) {
  Step([&] {
    CodePane* pane = vbe.ActiveCodePane();
    if (pane == nullptr) return;
    CodeModule& module = pane->CodeModule();
    if (!selection_only) {
      procedure(module, 1, module.CountOfLines());
      return;
    }
    // Columns do not count: a line the selection only touches is processed whole.
    const Selection selection = pane->GetSelection();
    procedure(module, selection.start_line, selection.end_line);
  });
}

}  // namespace

bool IsProcessedType(ComponentType type) {
  switch (type) {
    case ComponentType::kStdModule:
    case ComponentType::kClassModule:
    case ComponentType::kVBForm:
    case ComponentType::kMDIForm:
    case ComponentType::kUserControl:
      return true;
    default:
      return false;
  }
}

bool NumberFieldPasses(std::string_view field_text) {
  try {
    return CDbl(field_text) > 0;
  } catch (const ConversionError&) {
    return false;
  }
}

void RunLineProcedure(Vbe& vbe, Scope scope, const LineProcedure& procedure) {
  switch (scope) {
    case Scope::kAllProject:
      RunOverProject(vbe, procedure);
      return;
    case Scope::kCurrentModule:
      RunOverActivePane(vbe, /*selection_only=*/false, procedure);
      return;
    case Scope::kSelectedText:
      RunOverActivePane(vbe, /*selection_only=*/true, procedure);
      return;
  }
}

void RunLineProcedure(Vbe& vbe, Scope scope, const std::function<std::string()>& field_text,
                      const NumberedLineProcedure& procedure) {
  RunLineProcedure(vbe, scope, [&](CodeModule& module, int first, int last) {
    procedure(module, first, last, CLng(field_text()));
  });
}

}  // namespace marquill::host
