// The floor every benchmark is measured against, and the report of the ratios: the console
// table, then every benchmark's CPU time as a multiple of memcpy_floor (medians when the run has
// repetitions), with the figures whose goals are absolute also in their own unit. CPU time,
// because on a shared machine wall time also counts the time other processes held the core.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace novu {
namespace {

constexpr std::int32_t screen_side = 256;

// The floor: one screen's bytes copied with nothing computed.
void memcpy_floor(benchmark::State& state) {
  std::vector<std::uint32_t> from(screen_side * screen_side, 0x123456), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
    benchmark::ClobberMemory();
  }
}

BENCHMARK(memcpy_floor);

// The figures whose goals are absolute, also shown in their natural unit.
struct AbsoluteFigure {
  const char* name;
  double per_second;  // the figure for a CPU time of one second
  const char* unit;
};
constexpr double callback_period_ms = 1000.0 * 4096 / 44100;  // 4096 sample frames at 44100 Hz
constexpr AbsoluteFigure absolute_figures[] = {
    {"audio_callback", 100.0 * 1000.0 / callback_period_ms, "% of its 92.9 ms period"},
    {"startup", 1000.0, "ms"},
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}  // plain text: the output is often kept in logs

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      // In seconds: entries may choose their own display unit.
      const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (run.run_type == Run::RT_Iteration) iteration_[name] = seconds;
      if (run.aggregate_name == "median") median_[name] = seconds;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const std::map<std::string, double>& times = median_.empty() ? iteration_ : median_;
    const auto floor = times.find("memcpy_floor");
    if (floor == times.end() || floor->second <= 0) return;
    std::printf("\nCPU time as a multiple of memcpy_floor (%s):\n", median_.empty() ? "last run" : "medians");
    for (const auto& [name, time] : times) {
      std::printf("  %-16s %8.2f", name.c_str(), time / floor->second);
      for (const AbsoluteFigure& figure : absolute_figures) {
        if (name == figure.name) std::printf("   %.3f %s", time * figure.per_second, figure.unit);
      }
      std::printf("\n");
    }
  }

 private:
  std::map<std::string, double> iteration_;
  std::map<std::string, double> median_;
};

}  // namespace
}  // namespace novu

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  novu::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
