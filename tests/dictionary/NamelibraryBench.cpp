// The dictionary against the generated full file: look-ups one-shot and in a batch, the
// first reading of the file into memory, and the dictionary page's scans by conditions,
// with the statements each sends to SQLite. A full scan with explanations slower than
// its target (CPU time, as the machine may be shared) fails the program.
#include <benchmark/benchmark.h>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "dictionary/Dictquery.h"
#include "dictionary/Namelibrary.h"
#include "support/BenchTargets.h"

namespace {

constexpr double kFullScanTargetMs = 100;

MNameLibrary& Library() {
  static MNameLibrary lib(IncludeTrailingBackslash(gbk::FromUtf8(TORVIK_PROGRAM_DIR)));
  return lib;
}

void PerIteration(benchmark::State& state, const char* name, int64_t statementsBefore) {
  state.counters[name] = benchmark::Counter(static_cast<double>(Library().Statements() - statementsBefore),
                                            benchmark::Counter::kAvgIterations);
}

void SingleLookup(benchmark::State& state) {
  MNameLibrary& lib = Library();
  if (!lib.Open(0)) return state.SkipWithError("no dictionary");
  const std::string all = lib.AllWord();
  size_t i = 0;
  CharRecord warm;
  lib.GetRecordById(1, warm);
  const int64_t before = lib.Statements();
  for (auto _ : state) {
    CharRecord r;
    benchmark::DoNotOptimize(lib.GetCharInfo(all.substr(i, 2), r));
    i = (i + 2 * 997) % all.size();
  }
  state.SetItemsProcessed(state.iterations());
  PerIteration(state, "statements/lookup", before);
}

void BatchLookup(benchmark::State& state) {
  MNameLibrary& lib = Library();
  if (!lib.Open(0) || !lib.BeginBatch()) return state.SkipWithError("no dictionary");
  const std::string all = lib.AllWord();
  size_t i = 0;
  const int64_t before = lib.Statements();
  for (auto _ : state) {
    CharRecord r;
    benchmark::DoNotOptimize(lib.GetCharInfoBatch(all.substr(i, 2), r));
    i = (i + 2 * 997) % all.size();
  }
  lib.EndBatch();
  state.SetItemsProcessed(state.iterations());
  PerIteration(state, "statements/lookup", before);
}

// Open of a file not read before and the first look-up, which reads every record.
void FirstRead(benchmark::State& state) {
  MNameLibrary& lib = Library();
  const int64_t before = lib.Statements();
  for (auto _ : state) {
    lib.Reset();
    CharRecord r;
    if (!lib.Open(0) || !lib.GetRecordById(1, r)) return state.SkipWithError("no dictionary");
  }
  PerIteration(state, "statements/read", before);
}

void Scan(benchmark::State& state, const dictquery::Conditions& c, bool explain, double targetMs) {
  MNameLibrary& lib = Library();
  if (!lib.Open(0)) return state.SkipWithError("no dictionary");
  dictquery::SearchByConditions(lib, c, dictquery::Style::Full, explain);  // reads the file once
  const int64_t before = lib.Statements();
  double cpuMs = 0;
  size_t bytes = 0;
  for (auto _ : state) {
    const double start = bench::ThreadCpuMs();
    std::vector<std::string> blocks = dictquery::SearchByConditions(lib, c, dictquery::Style::Full, explain);
    cpuMs += bench::ThreadCpuMs() - start;
    bytes = 0;
    for (const std::string& b : blocks) bytes += b.size();
  }
  const double runs = static_cast<double>(state.iterations());
  if (targetMs > 0) {
    bench::SetTarget(state, "cpuMs/scan", cpuMs / runs, targetMs);
  } else {
    state.counters["cpuMs/scan"] = cpuMs / runs;
  }
  state.counters["textMB"] = static_cast<double>(bytes) / 1e6;
  PerIteration(state, "statements/scan", before);
}

// Every character, each with its explanations: the longest text the page shows.
void FullScanExplained(benchmark::State& state) { Scan(state, {}, true, kFullScanTargetMs); }

// Ten Kangxi strokes, wood: a typical query.
void ScanByConditions(benchmark::State& state) {
  dictquery::Conditions c;
  c.strokes = 10;
  c.elementMask = 1u << 1;
  Scan(state, c, false, 0);
}

BENCHMARK(SingleLookup);
BENCHMARK(BatchLookup);
BENCHMARK(FirstRead)->Unit(benchmark::kMillisecond);
BENCHMARK(FullScanExplained)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanByConditions)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunWithTargets(argc, argv); }
