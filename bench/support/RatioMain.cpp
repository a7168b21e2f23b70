// main() of every benchmark executable. Benchmarks are registered in pairs
// named "<case>/ours" and "<case>/<peer>"; after the run each pair is printed
// as a ratio, ours over the peer, both measured in this same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

class TRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      std::string name = run.run_name.function_name;
      std::size_t slash = name.rfind('/');
      if (slash == std::string::npos) continue;
      times_[name.substr(0, slash)][name.substr(slash + 1)] = run.GetAdjustedRealTime();
    }
  }

  void PrintRatios() const {
    std::printf("\nRatios (ours / peer, lower is better):\n");
    for (const auto& [caseName, byRole] : times_) {
      auto ours = byRole.find("ours");
      if (ours == byRole.end()) continue;
      for (const auto& [role, time] : byRole)
        if (role != "ours" && time > 0)
          std::printf("  %-40s ours / %-12s = %.2f\n", caseName.c_str(), role.c_str(), ours->second / time);
    }
  }

 private:
  std::map<std::string, std::map<std::string, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
