// Control rename on a form whose code module holds 20,000 and 40,000 lines: the rewrite must stay
// linear in the module's size. At the end the run prints the time at 40,000 lines divided by the
// time at 20,000, which must stay under 2.3.
//
//   build/bench/designer_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "designer/control_tools.h"
#include "host/vbfiles/vb_project.h"

namespace marquill {
namespace {

namespace fs = std::filesystem;

// Ordinary code that uses the control now and then, with strings and comments naming it.
const std::vector<std::string> kBlock = {
    "' Keeps Text1 in step with the record",
    "Private Sub Refresh{N}(ByVal first As Long)",
    "    Dim i As Long, total As Long",
    "    For i = first To first + 10",
    "        total = total + i",
    "    Next",
    "    Text1.Text = Trim$(Text1.Text) & \" (Text1 updated)\"",
    "    If Len(Text10.Text) > 0 Then lblInfo.Caption = \"Total: \" & total",
    "    MsgBox \"The total of the values is \" & total, vbInformation, \"Result\"",
    "End Sub",
    "",
};

// A form with the controls Text1 and Text10 and `lines` lines of code, loaded from a scratch
// folder.
class BenchForm {
 public:
  explicit BenchForm(int lines) {
    std::string pattern = (fs::temp_directory_path() / "marquill-bench-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
    std::string text =
        "VERSION 5.00\r\nBegin VB.Form frmBench \r\n   Begin VB.TextBox Text1 \r\n"
        "      TabIndex        =   1\r\n   End\r\n   Begin VB.TextBox Text10 \r\n   End\r\n"
        "End\r\nAttribute VB_Name = \"frmBench\"\r\nPrivate Sub Text1_Change()\r\n"
        "    Refresh1 1\r\nEnd Sub\r\n";
    for (int i = 3; i < lines; ++i) {
      std::string line = kBlock[static_cast<std::size_t>(i) % kBlock.size()];
      if (const auto at = line.find("{N}"); at != std::string::npos)
        line.replace(at, 3, std::to_string(i));
      text += line + "\r\n";
    }
    std::ofstream(folder_ / "frmBench.frm", std::ios::binary) << text;
    std::ofstream(folder_ / "Bench.vbp", std::ios::binary) << "Type=Exe\r\nForm=frmBench.frm\r\n";
    project_ = host::vbfiles::VbProject::Load(folder_ / "Bench.vbp");
  }
  ~BenchForm() { fs::remove_all(folder_); }
  host::Component& Form() { return project_->Project().ComponentNamed("frmBench"); }

 private:
  fs::path folder_;
  std::unique_ptr<host::vbfiles::VbProject> project_;
};

void ControlRename(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  BenchForm form(lines);
  bool back = false;
  for (auto _ : state) {
    // Each pass renames the control back, so every pass does the same work.
    designer::RenameControl(form.Form(), back ? "txtName" : "Text1", back ? "Text1" : "txtName");
    back = !back;
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(ControlRename)->Arg(20'000)->Arg(40'000)->Unit(benchmark::kMillisecond);

void ControlDelete(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto form = std::make_unique<BenchForm>(lines);
    state.ResumeTiming();
    designer::DeleteControl(form->Form(), "Text1");
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(ControlDelete)->Arg(20'000)->Arg(40'000)->Unit(benchmark::kMillisecond);

// Keeps the console output and the best time of each size, to print the growth ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      const std::string name = run.benchmark_name();
      const std::size_t slash = name.find('/');
      double& best = cpu_[name.substr(0, slash)][name.substr(slash + 1)];
      const double cpu = run.GetAdjustedCPUTime();
      if (best == 0 || cpu < best) best = cpu;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  bool PrintRatios(double limit) const {
    bool ok = true;
    std::printf("\n%-16s %8s   (cpu time at 40000 lines / at 20000)\n", "command", "ratio");
    for (const auto& [command, by_size] : cpu_) {
      const auto small = by_size.find("20000");
      const auto large = by_size.find("40000");
      if (small == by_size.end() || large == by_size.end() || small->second <= 0) continue;
      const double ratio = large->second / small->second;
      ok = ok && ratio < limit;
      std::printf("%-16s %8.2f%s\n", command.c_str(), ratio, ratio < limit ? "" : "  TOO HIGH");
    }
    return ok;
  }

 private:
  std::map<std::string, std::map<std::string, double>> cpu_;
};

}  // namespace
}  // namespace marquill

int main(int argc, char** argv) {
  // Several repetitions in random order, the best counting; options given later win.
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
