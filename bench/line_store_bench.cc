// Line walks over the in-memory code module must cost O(n) in the module's size, and member or
// range questions between edits must not read the whole module each time.
//
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-release --target line_store_bench
//   build-release/bench/line_store_bench
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/memory/memory_host.h"

namespace marquill::host {
namespace {

// A module of about `count` lines: a declarations section, then procedures of ten lines each.
std::vector<SourceLine> SyntheticModule(int count) {
  std::vector<SourceLine> lines;
  lines.reserve(static_cast<std::size_t>(count) + 16);
  lines.push_back({"Option Explicit"});
  for (int i = 0; i < 20; ++i) lines.push_back({"Private mValue" + std::to_string(i) + " As Long"});
  int serial = 0;
  while (static_cast<int>(lines.size()) < count) {
    const std::string n = std::to_string(serial++);
    lines.push_back({""});
    lines.push_back({"' Works out part " + n + " of the total."});
    lines.push_back({"Public Function Part" + n + "(ByVal a As Long, _"});
    lines.push_back({"                      ByVal b As Long) As Long"});
    lines.push_back({"    Dim s As String"});
    lines.push_back({"    s = \"End Sub\" ' not an End line"});
    lines.push_back({""});
    lines.push_back({"    Part" + n + " = a + b"});
    lines.push_back({"End Function"});
  }
  return lines;
}

struct Fixture {
  explicit Fixture(int count) : project(std::make_unique<MemoryProject>("Bench")) {
    code = &project->AddComponent("modBench", ComponentType::kStdModule)
                .SetCode(SyntheticModule(count));
  }
  std::unique_ptr<MemoryProject> project;
  MemoryCodeModule* code = nullptr;
};

// A backward walk, as the cleanup commands do it: read each line, delete every second one.
void BM_DeleteEverySecondLineBackward(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::optional<Fixture> fixture;
  for (auto _ : state) {
    state.PauseTiming();
    fixture.reset();  // the previous module is freed outside the timing too
    fixture.emplace(count);
    MemoryCodeModule& code = *fixture->code;
    state.ResumeTiming();
    for (int line = code.CountOfLines(); line >= 1; --line) {
      benchmark::DoNotOptimize(code.Lines(line, 1));
      if (line % 2 == 0) code.DeleteLines(line);
    }
    benchmark::DoNotOptimize(code.CountOfLines());
  }
  state.SetComplexityN(count);
}
BENCHMARK(BM_DeleteEverySecondLineBackward)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// A forward walk with the end line fixed at the start, as the layout commands do it: read each
// line and insert a line after it.
void BM_InsertAfterEveryLineForward(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::optional<Fixture> fixture;
  for (auto _ : state) {
    state.PauseTiming();
    fixture.reset();  // the previous module is freed outside the timing too
    fixture.emplace(count);
    MemoryCodeModule& code = *fixture->code;
    state.ResumeTiming();
    const int original = code.CountOfLines();
    for (int visited = 0, line = 1; visited < original; ++visited, line += 2) {
      benchmark::DoNotOptimize(code.Lines(line, 1));
      code.InsertLines(line + 1, "    ' added");
    }
    benchmark::DoNotOptimize(code.CountOfLines());
  }
  state.SetComplexityN(count);
}
BENCHMARK(BM_InsertAfterEveryLineForward)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// `k` edits that change the members (a declaration replaced), then one question: the module is
// read once, whatever k is, so the time grows with k only by the edits' own cost.
void BM_MembersAfterEdits(benchmark::State& state) {
  const int edits = static_cast<int>(state.range(0));
  Fixture fixture(100000);
  MemoryCodeModule& code = *fixture.code;
  int serial = 0;
  for (auto _ : state) {
    for (int i = 0; i < edits; ++i) {
      code.ReplaceLine(2 + i % 20, "Private mRenamed" + std::to_string(serial++) + " As Long");
    }
    benchmark::DoNotOptimize(code.Members().Count());
  }
  state.counters["full_reads_per_iteration"] =
      benchmark::Counter(static_cast<double>(code.ScanCount()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MembersAfterEdits)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// An error-handler pass over every procedure: ask for the range, insert under the declaration
// and above the End line, ask again. Body edits move the ranges without a full read, so the pass
// grows linearly with the module.
void BM_InsertHandlerInEveryProcedure(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::optional<Fixture> fixture;
  for (auto _ : state) {
    state.PauseTiming();
    fixture.reset();  // the previous module is freed outside the timing too
    fixture.emplace(count);
    MemoryCodeModule& code = *fixture->code;
    std::vector<std::string> names;
    for (Member& member : code.Members()) {
      if (member.Type() == MemberType::kMethod) names.push_back(member.Name());
    }
    state.ResumeTiming();
    for (const std::string& name : names) {
      const int body = code.ProcBodyLine(name, ProcKind::kProc);
      code.InsertLines(code.DeclarationEnd(body) + 1, "On Error GoTo err_label");
      const int end = code.ProcStartLine(name, ProcKind::kProc) +
                      code.ProcCountLines(name, ProcKind::kProc) - 1;
      code.InsertLines(end, "    Resume Next");
      code.InsertLines(end, "err_label:");
      code.InsertLines(end, "Exit Function");
    }
    state.counters["full_reads"] = static_cast<double>(code.ScanCount());
  }
  state.SetComplexityN(count);
}
BENCHMARK(BM_InsertHandlerInEveryProcedure)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace marquill::host

BENCHMARK_MAIN();
