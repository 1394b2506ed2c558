// Benchmarks with a target. A benchmark states its mean CPU time per run in a counter
// whose name starts with "cpuMs/" and its target beside it (SetTarget); the program's
// exit status says whether every benchmark met its target and none reported an error.
// The verdict is given on what a benchmark reports, over all its iterations, and on the
// median of its repetitions when it has several. A target judged with SkipWithError
// would end the benchmark after its first iteration, and one repetition so ended beside
// good ones crashes the library's statistics of the repetitions.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace bench {

// CPU time of this thread: the machine may be shared, and waiting for a core is not the run's cost.
inline double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

inline constexpr char kTargetCounter[] = "targetMs";

// `name` starts with "cpuMs/".
inline void SetTarget(benchmark::State& state, const std::string& name, double cpuMs, double targetMs) {
  state.counters[name] = cpuMs;
  state.counters[kTargetCounter] = targetMs;
}

class TargetReporter : public benchmark::ConsoleReporter {
 public:
  TargetReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) Judge(r);
  }

  // Prints the misses; the exit status of the program.
  int Verdict() const {
    for (const std::string& m : misses) std::fprintf(stderr, "FAILED %s\n", m.c_str());
    return misses.empty() ? 0 : 1;
  }

 private:
  void Judge(const Run& r) {
    if (r.error_occurred) {
      misses.push_back(r.benchmark_name() + ": " + r.error_message);
      return;
    }
    const bool verdictRun = r.run_type == Run::RT_Aggregate ? r.aggregate_name == "median" : r.repetitions <= 1;
    const auto target = r.counters.find(kTargetCounter);
    if (!verdictRun || target == r.counters.end()) return;
    for (const auto& [name, counter] : r.counters) {
      if (name.rfind("cpuMs/", 0) != 0 || counter.value <= target->second.value) continue;
      misses.push_back(r.benchmark_name() + ": " + name + " " + std::to_string(counter.value) + ", target " +
                       std::to_string(target->second.value) + " ms");
    }
  }

  std::vector<std::string> misses;
};

inline int RunWithTargets(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TargetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.Verdict();
}

}  // namespace bench
