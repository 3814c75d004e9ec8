// Building in-memory projects for tests. Header-only so that every test executable can use it.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/memory/memory_host.h"

namespace marquill::host::test {

// Lines joined with CR LF, as Lines() returns them and InsertLines takes them.
inline std::string CrLf(std::initializer_list<std::string_view> lines) {
  std::string text;
  bool first = true;
  for (std::string_view line : lines) {
    if (!first) text += "\r\n";
    text += line;
    first = false;
  }
  return text;
}

inline std::vector<SourceLine> ToSourceLines(const std::vector<std::string>& lines,
                                             Eol eol = Eol::kCrLf) {
  std::vector<SourceLine> source;
  source.reserve(lines.size());
  for (const std::string& line : lines) source.push_back({line, eol});
  return source;
}

// Every line of a module, without breaks.
inline std::vector<std::string> LinesOf(const CodeModule& module) {
  std::vector<std::string> lines;
  for (int i = 1; i <= module.CountOfLines(); ++i) lines.push_back(module.Line(i));
  return lines;
}

struct ComponentSpec {
  std::string name;
  ComponentType type = ComponentType::kStdModule;
  std::vector<std::string> lines;
};

// A project with components whose code is the given lines, each ended by CR LF.
inline std::unique_ptr<MemoryProject> MakeProject(const std::vector<ComponentSpec>& components,
                                                  std::string name = "Project1") {
  auto project = std::make_unique<MemoryProject>(std::move(name));
  for (const ComponentSpec& entry : components) {
    MemoryComponent& component = project->AddComponent(entry.name, entry.type);
    if (component.Code() != nullptr || !entry.lines.empty()) {
      component.SetCode(ToSourceLines(entry.lines));
    }
  }
  return project;
}

// An IDE whose active project holds the given components.
inline std::unique_ptr<MemoryVbe> MakeVbe(const std::vector<ComponentSpec>& components,
                                          std::string project_name = "Project1") {
  auto vbe = std::make_unique<MemoryVbe>();
  vbe->AddProject(MakeProject(components, std::move(project_name)));
  return vbe;
}

inline MemoryProject& ActiveMemoryProject(MemoryVbe& vbe) {
  return static_cast<MemoryProject&>(*vbe.ActiveProject());
}

// One standard module outside any IDE, for tests of a single module.
class TestModule {
 public:
  explicit TestModule(const std::vector<std::string>& lines,
                      ComponentType type = ComponentType::kStdModule)
      : project_(MakeProject({{"Module1", type, lines}})),
        code_(*project_->ComponentNamed("Module1").Code()) {}

  MemoryCodeModule& code() { return code_; }
  MemoryComponent& component() { return project_->ComponentNamed("Module1"); }
  MemoryProject& project() { return *project_; }

 private:
  std::unique_ptr<MemoryProject> project_;
  MemoryCodeModule& code_;
};

}  // namespace marquill::host::test
