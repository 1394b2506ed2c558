// Runs of the name generator over the full generated dictionary: a typical run per
// formula and the worst case (ordinary formula, whole dictionary, no filters), with the
// names kept, their rate, the longest gap between two message pumps and peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "dictionary/Chinesedict.h"
#include "engine/Searchname.h"
#include "support/TempFolder.h"

namespace {

class NullPump : public MessagePump {
 public:
  void Pump() override {}
};

NamingConditions Typical(int formula) {
  NamingConditions c;
  std::strcpy(c.surname, gbk::FromUtf8("李").c_str());
  c.givenLength = 2;
  c.sex = 1;
  c.elementMask = (1 << 1) | (1 << 2);  // wood and fire
  c.allowBadChars = 0;
  c.talentsGood = 1;
  c.formula = static_cast<uint8_t>(formula);
  c.charset = 0;
  return c;
}

NamingConditions WorstCase() {
  NamingConditions c = Typical(2);
  c.sex = 3;
  c.elementMask = 31;
  c.allowBadChars = 1;
  c.talentsGood = 0;
  c.charset = 1;
  return c;
}

void Run(benchmark::State& state, const NamingConditions& c, const std::string& folder = TORVIK_PROGRAM_DIR "/") {
  MNameLibrary lib(folder);
  NullPump pump;
  MSearchName gen(lib, &pump);
  ChartResult chart;
  const uint8_t favourable[5] = {1, 2, 0, 3, 4};
  std::memcpy(chart.favourableElements, favourable, 5);
  gen.Scorer().SetTexts(chart, BirthRecord{}, AnalysisSettings{});
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

void BM_Typical(benchmark::State& state) { Run(state, Typical(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_Typical)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WorstCase(benchmark::State& state) { Run(state, WorstCase()); }
BENCHMARK(BM_WorstCase)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The rate once characters are cached: 450 characters of one stroke count give 202,500
// names in the first set, cut at the ceiling after 450 look-ups.
void BM_CachedNames(benchmark::State& state) {
  TempFolder tmp;
  file::ForceDirectories(tmp.Path("dat"));
  MChineseDict b(tmp.Dir());
  std::string all;
  bool ok = b.CreateOrOpen(tmp.Path("dat\\ChiWord.db")) && b.BeginBatch();
  for (int i = 0; ok && i <= 450; ++i) {
    CharRecord r;
    r.word =
        i == 0 ? gbk::FromUtf8("李") : std::string{static_cast<char>(0xB0 + i / 94), static_cast<char>(0xA1 + i % 94)};
    r.kxLen = r.gbLen = r.big5Len = static_cast<uint8_t>(i == 0 ? 7 : 1);
    r.wx = 1;
    r.jx = 0;
    r.useSex = 1;
    r.buShou = gbk::FromUtf8("木");
    ok = b.InsertRecord(r);
    all += r.word;
  }
  ok = ok && b.EndBatch() && b.UpdateExtraStrings(all, gbk::FromUtf8("木"), all);
  MNameLibrary lib(tmp.Dir());
  if (!ok || !lib.Open(0) || !lib.RebuildGroups()) {
    state.SkipWithError("could not build the dictionary");
    return;
  }
  Run(state, WorstCase(), tmp.Dir());
}
BENCHMARK(BM_CachedNames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
