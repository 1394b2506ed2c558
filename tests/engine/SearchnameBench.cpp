// Runs of the name generator over the full generated dictionary: a typical run per
// formula and the worst case (ordinary formula, whole dictionary, no filters), with the
// names kept, their rate, the longest gap between two message pumps, the statements
// sent to SQLite per run and peak memory. The dictionary is read once before the timed
// runs, as the program reads it once; BM_FirstRun times a run that reads it.
// A run slower than its target fails the program (typical 5 ms, worst case 20 ms), and
// so does a run after the first that sends SQLite any statement.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "classlib/Gbk.h"
#include "engine/SearchnameScenarios.h"
#include "support/BenchTargets.h"
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
    const double start = bench::ThreadCpuMs();
    if (!gen.Generate(nullptr)) {
      state.SkipWithError(gbk::ToUtf8(gen.LastError()).c_str());
      return;
    }
    totalMs += bench::ThreadCpuMs() - start;
    gapMs = std::max(gapMs, std::chrono::duration<double, std::milli>(gen.LongestPumpGap()).count());
  }
  const double runs = static_cast<double>(state.iterations());
  if (targetMs > 0) {
    bench::SetTarget(state, "cpuMs/run", totalMs / runs, targetMs);
  } else {
    state.counters["cpuMs/run"] = totalMs / runs;
  }
  state.counters["statements/run"] = static_cast<double>(lib.Statements() - statementsBefore) / runs;
  if (warm && lib.Statements() > statementsBefore) {
    state.SkipWithError("statements sent to SQLite after the first run: the dictionary is to answer from memory");
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

int main(int argc, char** argv) { return bench::RunWithTargets(argc, argv); }
