// Look-ups per second in the generated full dictionary: one-shot (open, query, close)
// and inside a batch (one connection for the whole run).
#include <benchmark/benchmark.h>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "dictionary/Namelibrary.h"

namespace {

MNameLibrary& Library() {
  static MNameLibrary lib(IncludeTrailingBackslash(gbk::FromUtf8(TORVIK_PROGRAM_DIR)));
  return lib;
}

void SingleLookup(benchmark::State& state) {
  MNameLibrary& lib = Library();
  if (!lib.Open(0)) return state.SkipWithError("no dictionary");
  const std::string& all = lib.AllWord();
  size_t i = 0;
  for (auto _ : state) {
    CharRecord r;
    benchmark::DoNotOptimize(lib.GetCharInfo(all.substr(i, 2), r));
    i = (i + 2 * 997) % all.size();
  }
  state.SetItemsProcessed(state.iterations());
}

void BatchLookup(benchmark::State& state) {
  MNameLibrary& lib = Library();
  if (!lib.Open(0) || !lib.BeginBatch()) return state.SkipWithError("no dictionary");
  const std::string& all = lib.AllWord();
  size_t i = 0;
  for (auto _ : state) {
    CharRecord r;
    benchmark::DoNotOptimize(lib.GetCharInfoBatch(all.substr(i, 2), r));
    i = (i + 2 * 997) % all.size();
  }
  lib.EndBatch();
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(SingleLookup);
BENCHMARK(BatchLookup);

}  // namespace

BENCHMARK_MAIN();
