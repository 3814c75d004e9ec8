// The error-handler commands over one whole component, at 2,000 and 4,000 procedures (about
// 40,000 and 80,000 lines). Each must stay linear in the module's size - no reading of the module
// again for every procedure - so the run ends by printing, for each, the time at 4,000
// procedures divided by the time at 2,000, which must stay under 2.3.
//
//   build/bench/error_handlers_bench
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "ratio_reporter.h"
#include "transform/error_handlers.h"

namespace marquill {
namespace {

// One procedure of 20 lines: comments above it, a continued declaration every other time, a
// statement to remove, nested blocks and its End line.
void AddProcedure(std::vector<host::SourceLine>& lines, int index) {
  const std::string name = "Work" + std::to_string(index);
  const auto add = [&lines](std::string text) {
    lines.push_back({std::move(text), host::Eol::kCrLf});
  };
  add("");
  add("' " + name + " adds up the values of a range; it's called from the form.");
  if (index % 2 == 0) {
    add("Public Function " + name + "(ByVal first As Long, _");
    add("    ByVal last As Long) As Long");
  } else {
    add("Private Sub " + name + "(ByVal first As Long, ByVal last As Long)");
    add("    Dim result As Long");
  }
  add("    Dim i As Long, sum As Long");
  add("    On Error Resume Next");
  add("    For i = first To last");
  add("        If i Mod 2 = 0 Then");
  add("            sum = sum + i ' even values count");
  add("        Else");
  add("            sum = sum - 1");
  add("        End If");
  add("    Next");
  add("    Caption = \"Total of \" & first & \" to \" & last");
  add("    Debug.Print \"It's \" & sum");
  add("    sum = Clamp(sum, first, last)");
  add("    Call Report(sum, \"done\")");
  add("    Total = sum");
  add(index % 2 == 0 ? "End Function" : "End Sub");
}

std::vector<host::SourceLine> ModuleLines(int procedures) {
  std::vector<host::SourceLine> lines = {{"Option Explicit", host::Eol::kCrLf},
                                         {"Private m_Total As Long", host::Eol::kCrLf}};
  lines.reserve(static_cast<size_t>(procedures) * 20 + 2);
  for (int i = 0; i < procedures; ++i) AddProcedure(lines, i);
  return lines;
}

using Command = void (*)(host::CodeModule&);

void RunCommand(benchmark::State& state, Command command) {
  const std::vector<host::SourceLine> lines = ModuleLines(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto project = std::make_unique<host::MemoryProject>("Bench");
    host::MemoryCodeModule& module =
        project->AddComponent("Module1", host::ComponentType::kStdModule).SetCode(lines);
    state.ResumeTiming();
    command(module);
    benchmark::DoNotOptimize(module.CountOfLines());
    state.PauseTiming();
    project.reset();  // freeing the module is not part of the command
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
}

void Insert(host::CodeModule& module) { transform::InsertResumeNext(module); }
void Remove(host::CodeModule& module) { transform::RemoveResumeNext(module); }
void InsertCustom(host::CodeModule& module) {
  transform::InsertCustomHandlers(
      module, {"err_label", transform::HandlerBody(transform::HandlerStyle::kMsgBox, "")});
}

#define HANDLER_BENCHMARK(name, command)                             \
  void name(benchmark::State& state) { RunCommand(state, command); } \
  BENCHMARK(name)->Arg(2'000)->Arg(4'000)->Unit(benchmark::kMillisecond)

HANDLER_BENCHMARK(InsertResumeNext, Insert);
HANDLER_BENCHMARK(InsertCustomHandlers, InsertCustom);
HANDLER_BENCHMARK(RemoveResumeNext, Remove);

}  // namespace
}  // namespace marquill

int main(int argc, char** argv) {
  return marquill::bench::RunWithRatios(argc, argv, "2000", "4000", 2.3);
}
