// Growth ratios for the benchmarks that prove a command linear: each benchmark runs at a small
// and a large size (its argument), and the run ends by printing, per benchmark, the time at the
// large size divided by the time at the small one, failing when any CPU ratio reaches the limit.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace marquill::bench {

// Keeps the console output and remembers each run's time, to print the growth ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter(std::string small, std::string large)
      : small_(std::move(small)), large_(std::move(large)) {}

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
    std::printf("\n%-28s %8s %8s   (time at %s / time at %s)\n", "benchmark", "cpu", "wall",
                large_.c_str(), small_.c_str());
    for (const auto& [procedure, by_size] : times_) {
      const auto small = by_size.find(small_);
      const auto large = by_size.find(large_);
      if (small == by_size.end() || large == by_size.end()) continue;
      if (small->second.cpu <= 0 || small->second.real <= 0) continue;
      const double cpu = large->second.cpu / small->second.cpu;
      const double wall = large->second.real / small->second.real;
      ok = ok && cpu < limit;
      std::printf("%-28s %8.2f %8.2f%s\n", procedure.c_str(), cpu, wall,
                  cpu < limit ? "" : "  TOO HIGH");
    }
    return ok;
  }

 private:
  struct Times {
    double real = 0;
    double cpu = 0;
  };
  std::string small_;
  std::string large_;
  std::map<std::string, std::map<std::string, Times>> times_;
};

// Runs the registered benchmarks with defaults that keep the ratios meaningful on a shared
// machine: several repetitions, of which the best counts, in random order so that no size always
// follows the heap another left. Options on the command line come later and win. Returns the
// process's exit code: 1 when a ratio reaches `limit`.
inline int RunWithRatios(int argc, char** argv, std::string small, std::string large,
                         double limit) {
  std::vector<char*> args = {argv[0]};
  std::string repetitions = "--benchmark_repetitions=5";
  std::string interleaving = "--benchmark_enable_random_interleaving=true";
  args.push_back(repetitions.data());
  args.push_back(interleaving.data());
  args.insert(args.end(), argv + 1, argv + argc);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  RatioReporter reporter(std::move(small), std::move(large));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.PrintRatios(limit) ? 0 : 1;
}

}  // namespace marquill::bench
