// Throughput of the six line procedures on one large module, at 100,000 and 200,000 lines (and
// of the split on one long comment line).
// Every procedure must stay linear in the module's size: at the end the run prints, for each,
// the time at 200,000 lines divided by the time at 100,000, which must stay under 2.3.
//
//   build/bench/line_commands_bench
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "host/memory/memory_host.h"
#include "ratio_reporter.h"
#include "transform/indentation.h"
#include "transform/line_cleanup.h"
#include "transform/split_join.h"

namespace marquill {
namespace {

// One procedure's worth of ordinary code: empty rows, comments, joined constants, a long line,
// a continued statement and nested blocks.
const std::vector<std::string> kBlock = {
    "' Adds up the values of a range",
    "Public Function Total(ByVal first As Long, ByVal last As Long) As Long",
    "    Dim i As Long, sum As Long",
    "",
    "",
    "    For i = first To last",
    "        If i Mod 2 = 0 Then",
    "sum = sum + i ' even values count",
    "        Else",
    "            sum = sum - 1",
    "        End If",
    "    Next",
    "    Caption = \"Total\" & \" of \" & \"range\"",
    "    MsgBox \"The total of the values from \" & first & \" to \" & last & \" is \" & sum, "
    "vbInformation, \"Result of the computation\"",
    "    sum = Clamp(sum, _",
    "        first, _",
    "        last)",
    "    Total = sum",
    "End Function",
    "",
};

std::vector<host::SourceLine> ModuleLines(int count) {
  std::vector<host::SourceLine> lines;
  lines.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) lines.push_back({kBlock[i % kBlock.size()], host::Eol::kCrLf});
  return lines;
}

using Procedure = void (*)(host::CodeModule&, int, int);

// Runs the procedure over a fresh module of these lines; `items` is what one run processes.
void RunOnLines(benchmark::State& state, const std::vector<host::SourceLine>& lines,
                Procedure procedure, int64_t items) {
  for (auto _ : state) {
    state.PauseTiming();
    auto project = std::make_unique<host::MemoryProject>("Bench");
    host::MemoryCodeModule& module =
        project->AddComponent("Module1", host::ComponentType::kStdModule).SetCode(lines);
    state.ResumeTiming();
    try {
      procedure(module, 1, module.CountOfLines());
    } catch (const host::HostError&) {
      // A whole-module join walks on to the line count it started with and ends on the read
      // past the shortened module, as it does inside a command.
    }
    benchmark::DoNotOptimize(module.CountOfLines());
    state.PauseTiming();
    project.reset();  // freeing the module is not part of the procedure
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * items);
}

void RunProcedure(benchmark::State& state, Procedure procedure) {
  RunOnLines(state, ModuleLines(static_cast<int>(state.range(0))), procedure, state.range(0));
}

void DelEmptyRowsAll(host::CodeModule& m, int first, int last) {
  transform::DelEmptyRows(m, first, last, true);
}
void DelEmptyRowsCollapse(host::CodeModule& m, int first, int last) {
  transform::DelEmptyRows(m, first, last, false);
}
void SplitAt80(host::CodeModule& m, int first, int last) {
  transform::SplitLines(m, first, last, 80);
}
void SplitAt5(host::CodeModule& m, int first, int last) {
  transform::SplitLines(m, first, last, 5);
}
void IndentBy4(host::CodeModule& m, int first, int last) {
  transform::IndentLines(m, first, last, 4);
}

void JoinAll(host::CodeModule& m, int first, int last) { transform::JoinLines(m, first, last); }

#define LINE_BENCHMARK(name, procedure)                                  \
  void name(benchmark::State& state) { RunProcedure(state, procedure); } \
  BENCHMARK(name)->Arg(100'000)->Arg(200'000)->Unit(benchmark::kMillisecond)

LINE_BENCHMARK(DelEmptyRows, DelEmptyRowsAll);
LINE_BENCHMARK(DelEmptyRowsCollapse, DelEmptyRowsCollapse);
LINE_BENCHMARK(DelComments, transform::DelComments);
LINE_BENCHMARK(CompactStrings, transform::CompactStrings);
LINE_BENCHMARK(SplitLines, SplitAt80);
LINE_BENCHMARK(JoinLines, JoinAll);
LINE_BENCHMARK(IndentLines, IndentBy4);

// One comment line split at every word: the pieces must not each rescan the rest of the line.
// The line holds a quarter as many words as the argument, so that at both sizes it stays in the
// same level of the processor's cache and the ratio shows the algorithm, not the cache.
void SplitLongComment(benchmark::State& state) {
  const int64_t words = state.range(0) / 4;
  std::string comment = "'";
  for (int64_t i = 0; i < words; ++i) comment += " aaaaaaaaa";
  RunOnLines(state, {{comment, host::Eol::kCrLf}}, SplitAt5, words);
}
BENCHMARK(SplitLongComment)->Arg(100'000)->Arg(200'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace marquill

int main(int argc, char** argv) {
  return marquill::bench::RunWithRatios(argc, argv, "100000", "200000", 2.3);
}
