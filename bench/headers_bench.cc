// `headers` on a module of 2,000 and 4,000 members: every member's header is found and inserted
// afresh, so the command must stay linear in the number of members. Two measures: the insertion
// alone on an in-memory module, and the whole command (load the project, open the window, pick
// the module, press "Insert", save). At the end the run prints the time at 4,000 members divided
// by the time at 2,000, which must stay under 2.3.
//
//   build/bench/headers_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "docs/header_comments.h"
#include "host/memory/memory_host.h"
#include "ratio_reporter.h"
#include "shell/platform/scripted_platform.h"
#include "shell/session.h"
#include "shell/settings/settings_store.h"
#include "shell/window/frm_utility.h"

namespace marquill {
namespace {

namespace fs = std::filesystem;

// Four kinds of member in turn: a Sub, a Function continued over two lines, a property with Get
// and Let, and a Function without parameters. "{N}" numbers the member.
const std::vector<std::vector<std::string>> kMembers = {
    {"' Moves the record", "Public Sub Move{N}(ByVal first As Long, Optional last As Long = 5)",
     "    Total = first + last", "End Sub", ""},
    {"Private Function Join{N}(ByVal a As String, _", "        ByRef b As String) As String",
     "    Join{N} = a & \",\" & b", "End Function", ""},
    {"Public Property Get Size{N}() As Long", "    Size{N} = mSize", "End Property", "",
     "Public Property Let Size{N}(ByVal n As Long)", "    mSize = n", "End Property", ""},
    {"Friend Function Count{N}() As Long", "    Count{N} = 1", "End Function", ""},
};

std::string ModuleText(int members) {
  std::string text =
      "Attribute VB_Name = \"modBench\"\r\nOption Explicit\r\nPrivate mSize As Long\r\n";
  for (int i = 0; i < members; ++i) {
    for (std::string line : kMembers[static_cast<std::size_t>(i) % kMembers.size()]) {
      for (auto at = line.find("{N}"); at != std::string::npos; at = line.find("{N}")) {
        line.replace(at, 3, std::to_string(i));
      }
      text += line + "\r\n";
    }
  }
  return text;
}

docs::CommentSettings Settings() {
  docs::CommentSettings settings;
  settings.module_comments = true;
  settings.standard_comments = true;
  settings.also = true;
  settings.delimiters = true;
  settings.delim = "-";
  settings.delim_count = "60";
  settings.member_line = "' Revised:";
  settings.module_template = "' Module: modBench\r\n' Author: bench";
  return settings;
}

void InsertHeaders(benchmark::State& state) {
  const int members = static_cast<int>(state.range(0));
  const std::string text = ModuleText(members);
  std::vector<host::SourceLine> lines;
  std::size_t start = text.find("\r\n") + 2;  // the code window shows no Attribute line
  for (std::size_t end = text.find("\r\n", start); end != std::string::npos;
       start = end + 2, end = text.find("\r\n", start)) {
    lines.push_back({text.substr(start, end - start), host::Eol::kCrLf});
  }
  for (auto _ : state) {
    state.PauseTiming();
    host::MemoryProject project("Bench");
    host::MemoryComponent& component =
        project.AddComponent("modBench", host::ComponentType::kStdModule);
    component.SetCode(lines);
    host::CodeModule& module = *component.CodeModule();
    state.ResumeTiming();
    const std::vector<docs::HeaderMember> candidates = docs::HeaderCandidates(module);
    benchmark::DoNotOptimize(docs::InsertHeaders(module, candidates, Settings()));
  }
  state.SetItemsProcessed(state.iterations() * members);
}
BENCHMARK(InsertHeaders)->Arg(2'000)->Arg(4'000)->Unit(benchmark::kMillisecond);

// A project holding the one module, in a scratch folder with an add-in folder of its own.
class BenchProject {
 public:
  explicit BenchProject(int members) : text_(ModuleText(members)) {
    std::string pattern = (fs::temp_directory_path() / "marquill-bench-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
    std::ofstream(folder_ / "Bench.vbp", std::ios::binary)
        << "Type=Exe\r\nModule=modBench; modBench.bas\r\nName=\"Bench\"\r\n";
    Reset();
  }
  ~BenchProject() { fs::remove_all(folder_); }
  void Reset() { std::ofstream(folder_ / "modBench.bas", std::ios::binary) << text_; }
  fs::path Project() const { return folder_ / "Bench.vbp"; }
  std::string AddinFolder() const { return (folder_ / "addin").string(); }

 private:
  std::string text_;
  fs::path folder_;
};

void HeadersCommand(benchmark::State& state) {
  const int members = static_cast<int>(state.range(0));
  BenchProject project(members);
  shell::ScriptedPlatform platform;
  shell::MemorySettingsStore settings;
  for (auto _ : state) {
    state.PauseTiming();
    project.Reset();
    state.ResumeTiming();
    shell::SessionOptions options;
    options.project = project.Project();
    options.platform = &platform;
    options.settings = &settings;
    options.addin_folder = project.AddinFolder();
    shell::RunSession(options, [](shell::Session& session) {
      shell::frmUtility& window = session.Window();
      window.cmbCmtModules.Choose(window.cmbCmtModules.Find("modBench"));
      window.cmdCommentInsert.Click();
    });
  }
  state.SetItemsProcessed(state.iterations() * members);
}
BENCHMARK(HeadersCommand)->Arg(2'000)->Arg(4'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace marquill

int main(int argc, char** argv) {
  return marquill::bench::RunWithRatios(argc, argv, "2000", "4000", 2.3);
}
