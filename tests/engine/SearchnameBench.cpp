// Runs of the name generator over the full generated dictionary: a typical run per
// formula and the worst case (ordinary formula, whole dictionary, no filters), with the
// names kept, their rate, the longest gap between two message pumps and peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "classlib/Gbk.h"
#include "engine/SearchnameScenarios.h"
#include "support/TempFolder.h"

namespace {

class NullPump : public MessagePump {
 public:
  void Pump() override {}
};

void Run(benchmark::State& state, const NamingConditions& c, const std::string& folder = TORVIK_PROGRAM_DIR "/") {
  MNameLibrary lib(folder);
  NullPump pump;
  MSearchName gen(lib, &pump);
  scenarios::SetChart(gen);
  gen.SetConditions(c);
  double gapMs = 0;
  for (auto _ : state) {
    if (!gen.Generate(nullptr)) {
      state.SkipWithError(gbk::ToUtf8(gen.LastError()).c_str());
      return;
    }
    gapMs = std::max(gapMs, std::chrono::duration<double, std::milli>(gen.LongestPumpGap()).count());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["names"] = static_cast<double>(gen.Count());
  state.counters["names/s"] = benchmark::Counter(
      static_cast<double>(gen.Count()) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["maxPumpGapMs"] = gapMs;
  state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_Typical(benchmark::State& state) { Run(state, scenarios::Typical(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_Typical)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WorstCase(benchmark::State& state) { Run(state, scenarios::WorstCase()); }
BENCHMARK(BM_WorstCase)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The rate once characters are cached.
void BM_CachedNames(benchmark::State& state) {
  TempFolder tmp;
  if (!scenarios::BuildCachedDictionary(tmp.Dir())) {
    state.SkipWithError("could not build the dictionary");
    return;
  }
  Run(state, scenarios::WorstCase(), tmp.Dir());
}
BENCHMARK(BM_CachedNames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
