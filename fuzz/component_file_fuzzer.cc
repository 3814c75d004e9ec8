// The component file loader on arbitrary bytes: the file is split into header, designer tree,
// attributes and code, moved into an in-memory component, read through the host interfaces the
// commands use, and rendered. A file that loaded renders back to its very bytes, except that
// `Attribute` lines are written where and as the IDE writes them (spaces around "=", member
// attributes under their declaration, none for a member the code lacks); `marquill check`
// reports such files. So the rendering keeps every other line exactly, loads again to itself,
// and reading the component never changes it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "host/code_model.h"
#include "host/memory/memory_host.h"
#include "host/text/vb_text.h"
#include "host/vbfiles/component_file.h"
#include "host/vbfiles/load_error.h"
#include "host/vbfiles/side_files.h"
#include "host/vbfiles/text_file.h"

using marquill::fuzz::Require;
namespace host = marquill::host;
namespace vbfiles = marquill::host::vbfiles;

namespace {

// The side file named by the form file is never there: pictures fail to read, as they would
// with a form copied without its .frx.
constexpr const char* kPath = "/nonexistent-marquill-fuzz/Fuzz.frm";

template <class F>
void Tolerate(F&& read) {
  try {
    read();
  } catch (const host::HostError&) {
  } catch (const host::ConversionError&) {
  }
}

void ReadControl(host::Control& control) {
  Require(!control.ClassName().empty(), "a control has a class");
  host::Properties& properties = control.Properties();
  const int count = properties.Count();
  for (int i = 1; i <= count; ++i) {
    host::Property& property = properties.Item(i);
    const std::string name = property.Name();
    Tolerate([&] { (void)property.Value(); });
    Tolerate([&] { (void)properties.Item(name).Value(); });
  }
  Tolerate([&] { (void)properties.Item("TabIndex").Value(); });
  const int contained = control.ContainedControls().Count();
  for (int i = 1; i <= contained; ++i)
    Require(!control.ContainedControls().Item(i).ClassName().empty(), "a child has a class");
}

void ReadDesigner(host::DesignerModel& designer) {
  const int all = designer.AllControls().Count();
  Require(designer.Controls().Count() <= all, "the form's own controls are among all controls");
  for (int i = 1; i <= all; ++i) ReadControl(designer.AllControls().Item(i));
  host::Properties& form = designer.FormProperties();
  for (int i = 1; i <= form.Count(); ++i) Tolerate([&] { (void)form.Item(i).Value(); });
}

void ReadCode(host::MemoryCodeModule& module) {
  const int lines = module.CountOfLines();
  for (int i = 1; i <= lines; ++i) {
    const std::string line = module.Line(i);
    Require(line.find_first_of("\r\n") == std::string::npos, "a code line holds no break");
  }
  host::Members& members = module.Members();
  const int count = members.Count();
  for (int i = 1; i <= count; ++i) {
    host::Member& member = members.Item(i);
    const int at = member.CodeLocation();
    Require(at >= 1 && at <= lines, "a member is declared on a line of the module");
    (void)member.Description();
    (void)member.HelpContextID();
    Tolerate([&] {
      const int start = module.ProcStartLine(member.Name(), host::ProcKind::kProc);
      const int length = module.ProcCountLines(member.Name(), host::ProcKind::kProc);
      Require(start >= 1 && length >= 1 && start + length - 1 <= lines,
              "a procedure range lies inside the module");
    });
  }
  (void)module.AttributePlacement();
}

struct Loaded {
  host::MemoryProject project{"Fuzz"};
  host::MemoryComponent* component = nullptr;
  vbfiles::SideFiles side_files;
  vbfiles::ComponentImage image;

  std::string Render() { return vbfiles::RenderComponent(image, *component); }
};

// nullptr when the loader refuses the bytes.
std::unique_ptr<Loaded> Load(std::string_view bytes) {
  vbfiles::ParsedComponentFile parsed;
  try {
    parsed = vbfiles::ParseComponentFile(bytes, kPath);
  } catch (const vbfiles::LoadError& error) {
    Require(error.line() >= 0, "a load error names no negative line");
    return nullptr;
  }
  auto loaded = std::make_unique<Loaded>();
  const bool has_designer = parsed.designer != nullptr;
  loaded->component = &loaded->project.AddComponent(
      "Fuzz", has_designer ? host::ComponentType::kVBForm : host::ComponentType::kStdModule);
  if (has_designer) parsed.designer->AttachSideFiles(&loaded->side_files, kPath);
  loaded->image = vbfiles::Install(std::move(parsed), kPath, *loaded->component);
  return loaded;
}

// The texts of the file's lines but its attribute lines. Endings are left out: an attribute
// moved under a declaration on an unterminated last line gives that line a break.
std::vector<std::string> LinesButAttributes(std::string_view bytes) {
  std::vector<std::string> texts;
  for (const host::SourceLine& line : vbfiles::SplitText(bytes, kPath).lines) {
    if (!vbfiles::ParseAttributeLine(line).has_value()) texts.push_back(line.text);
  }
  return texts;
}

void CheckRendering(std::string_view bytes, const std::string& rendered) {
  if (rendered == bytes) return;
  Require(LinesButAttributes(rendered) == LinesButAttributes(bytes),
          "a loaded component file renders every line but its attributes as read");
  std::unique_ptr<Loaded> again = Load(rendered);
  Require(again != nullptr, "a rendered component file loads");
  Require(again->Render() == rendered, "a rendered component file renders to itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<Loaded> loaded = Load(bytes);
  if (loaded == nullptr) return 0;
  host::MemoryComponent& component = *loaded->component;
  const std::string rendered = loaded->Render();
  CheckRendering(bytes, rendered);
  Require(!vbfiles::HasChanged(loaded->image, component),
          "a freshly loaded component is unchanged");

  ReadCode(*component.Code());
  if (host::DesignerModel* designer = component.DesignerModelOrNull()) ReadDesigner(*designer);
  (void)component.Description();
  Require(!vbfiles::HasChanged(loaded->image, component), "reading a component changes nothing");
  Require(loaded->Render() == rendered, "reading a component leaves its rendering as it was");
  return 0;
}
