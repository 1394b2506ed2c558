// Analyses per second of a whole name analysis without the report, with the statements
// each sends to SQLite, and scorings per second of the generator's scorer. An analysis
// slower than its target (0.15 ms of CPU time, as the machine may be shared) fails the
// program, and so does one after the first that sends SQLite any statement.
#include <benchmark/benchmark.h>

#include <cstring>

#include "dictionary/DictFixture.h"
#include "engine/Decname.h"
#include "engine/Namecalc.h"
#include "support/BenchTargets.h"

namespace {

// A program folder with a three-character dictionary, built once.
struct Folder {
  Folder() {
    file::ForceDirectories(tmp.Path("dat"));
    MChineseDict b(tmp.Dir());
    b.CreateOrOpen(tmp.Path("dat\\ChiWord.db"));
    for (const char* w : {"李", "明", "强"}) {
      CharRecord r;
      r.word = U(w);
      r.kxLen = r.gbLen = r.big5Len = 8;
      r.wx = 1;
      b.InsertRecord(r);
    }
    b.UpdateExtraStrings(U("李明强"), U("木"), U("李明"));
  }
  TempFolder tmp;
};

BirthRecord Birth() {
  BirthRecord b;
  std::string name = U("李明强");
  std::memcpy(b.name, name.data(), name.size());
  b.year = 1990, b.month = 6, b.day = 15, b.hour = 9, b.minute = 30;
  return b;
}

constexpr double kAnalysisTargetMs = 0.15;

void BM_Analyse(benchmark::State& state) {
  static Folder folder;
  MNameLibrary lib(folder.tmp.Dir());
  MDecName a(lib);
  const BirthRecord b = Birth();
  if (!a.Analyse(b)) return state.SkipWithError("the analysis failed");  // the program reads the file once
  const int64_t statementsBefore = lib.Statements();
  const double start = bench::ThreadCpuMs();
  for (auto _ : state) benchmark::DoNotOptimize(a.Analyse(b));
  const double runs = static_cast<double>(state.iterations());
  const double cpuMs = (bench::ThreadCpuMs() - start) / runs;
  state.SetItemsProcessed(state.iterations());
  bench::SetTarget(state, "cpuMs/analysis", cpuMs, kAnalysisTargetMs);
  state.counters["statements/analysis"] = static_cast<double>(lib.Statements() - statementsBefore) / runs;
  if (lib.Statements() > statementsBefore) {
    state.SkipWithError("statements sent to SQLite after the first analysis: the dictionary is to answer from memory");
  }
}
BENCHMARK(BM_Analyse);

void BM_NameCalc(benchmark::State& state) {
  ChartResult chart;
  const uint8_t fav[5] = {1, 0, 2, 3, 4};
  std::memcpy(chart.favourableElements, fav, 5);
  MNameCalc calc;
  calc.SetTexts(chart, Birth(), AnalysisSettings{});
  const std::string name = U("李明强");
  uint16_t strokes[4] = {7, 8, 11, 0}, elements[4] = {1, 2, 1, 10}, grids[5] = {8, 15, 19, 26, 12};
  for (auto _ : state) {
    strokes[2] = static_cast<uint16_t>(1 + state.iterations() % 27);
    benchmark::DoNotOptimize(calc.Calc(name.c_str(), strokes, elements, grids));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NameCalc);

}  // namespace

int main(int argc, char** argv) { return bench::RunWithTargets(argc, argv); }
