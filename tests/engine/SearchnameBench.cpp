// Runs of the name generator over the full generated dictionary: a typical run per
// formula and the worst case (ordinary formula, whole dictionary, no filters), with the
// names kept, their rate, the longest gap between two message pumps, the statements
// sent to SQLite per run and peak memory. The dictionary is read once before the timed
// runs, as the program reads it once; BM_FirstRun times a run that reads it.
// A run slower than its target fails the benchmark (typical 5 ms, worst case 20 ms), and
// so does a run after the first that sends SQLite any statement.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <string>

#include "classlib/Gbk.h"
#include "engine/SearchnameScenarios.h"
#include "support/TempFolder.h"

namespace {

class NullPump : public MessagePump {
 public:
  void Pump() override {}
};

constexpr double kTypicalTargetMs = 5;
constexpr double kWorstTargetMs = 20;

// The program keeps one dictionary object for its whole life; so do the runs here.
MNameLibrary& Library(const std::string& folder) {
  static std::map<std::string, std::unique_ptr<MNameLibrary>> libraries;
  auto& lib = libraries[folder];
  if (!lib) lib = std::make_unique<MNameLibrary>(folder);
  return *lib;
}

// CPU time of this thread: the machine may be shared, and waiting for a core is not the run's cost.
double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void Run(benchmark::State& state, const NamingConditions& c, double targetMs = 0,
         const std::string& folder = TORVIK_PROGRAM_DIR "/", bool warm = true) {
  MNameLibrary& lib = Library(folder);
  NullPump pump;
  MSearchName gen(lib, &pump);
  scenarios::SetChart(gen);
  gen.SetConditions(c);
  if (warm && !gen.Generate(nullptr)) {
    state.SkipWithError(gbk::ToUtf8(gen.LastError()).c_str());
    return;
  }
  const int64_t statementsBefore = lib.Statements();
  double gapMs = 0, totalMs = 0;
  for (auto _ : state) {
    if (!warm) {
      state.PauseTiming();
      lib.Reset();
      state.ResumeTiming();
    }
    const double start = ThreadCpuMs();
    if (!gen.Generate(nullptr)) {
      state.SkipWithError(gbk::ToUtf8(gen.LastError()).c_str());
      return;
    }
    totalMs += ThreadCpuMs() - start;
    gapMs = std::max(gapMs, std::chrono::duration<double, std::milli>(gen.LongestPumpGap()).count());
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["cpuMs/run"] = totalMs / runs;
  state.counters["statements/run"] = static_cast<double>(lib.Statements() - statementsBefore) / runs;
  if (warm && lib.Statements() > statementsBefore) {
    state.SkipWithError("statements sent to SQLite after the first run: the dictionary is to answer from memory");
  } else if (targetMs > 0 && totalMs / runs > targetMs) {
    state.SkipWithError(("mean CPU time per run " + std::to_string(totalMs / runs) + " ms, target " +
                         std::to_string(targetMs) + " ms, " + std::to_string(state.counters["statements/run"].value) +
                         " statements/run")
                            .c_str());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["names"] = static_cast<double>(gen.Count());
  state.counters["names/s"] = benchmark::Counter(
      static_cast<double>(gen.Count()) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["maxPumpGapMs"] = gapMs;
  state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_Typical(benchmark::State& state) {
  Run(state, scenarios::Typical(static_cast<int>(state.range(0))), kTypicalTargetMs);
}
BENCHMARK(BM_Typical)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_WorstCase(benchmark::State& state) { Run(state, scenarios::WorstCase(), kWorstTargetMs); }
BENCHMARK(BM_WorstCase)->Unit(benchmark::kMillisecond);

// A typical run that opens the dictionary and reads it into memory first.
void BM_FirstRun(benchmark::State& state) { Run(state, scenarios::Typical(1), 0, TORVIK_PROGRAM_DIR "/", false); }
BENCHMARK(BM_FirstRun)->Unit(benchmark::kMillisecond);

// The rate once characters are cached.
void BM_CachedNames(benchmark::State& state) {
  TempFolder tmp;
  if (!scenarios::BuildCachedDictionary(tmp.Dir())) {
    state.SkipWithError("could not build the dictionary");
    return;
  }
  Run(state, scenarios::WorstCase(), 0, tmp.Dir());
}
BENCHMARK(BM_CachedNames)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
