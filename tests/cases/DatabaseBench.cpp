// Speed of the case store: adds (each made durable), a search over 100,000 cases and
// the start-up reading of the 1000 most recent cases, one by one and in one read.
#include <benchmark/benchmark.h>

#include "CaseStoreSupport.h"
#include "cases/Database.h"

using namespace cases_test;

namespace {

constexpr int32_t kCases = 100000;

// Writes the data files of a store of kCases cases directly, far faster than adding them.
void MakeLargeStore(const TempFolder& t) {
  MakeProgramFolder(t);
  CaseFileHeader h{};
  h.count = kCases;
  h.fileCount = (kCases - 1) / MDataBase::kRecordsPerFile + 1;
  for (int32_t n = 0; n < h.fileCount; ++n) {
    std::string data = n == 0 ? std::string(reinterpret_cast<const char*>(&h), sizeof h) : std::string();
    for (int32_t s = n * MDataBase::kRecordsPerFile; s < std::min(kCases, (n + 1) * MDataBase::kRecordsPerFile); ++s) {
      CaseRecord r = MakeCase(s);
      r.id = s;
      data += Bytes(r);
    }
    WriteRaw(DataPath(t, n), data);
  }
}

void BM_Add(benchmark::State& state) {
  TempFolder t;
  MakeProgramFolder(t);
  MDataBase db;
  db.Open(t.Dir(), 0);
  int i = 0;
  for (auto _ : state) {
    CaseRecord r = MakeCase(i++);
    benchmark::DoNotOptimize(db.Add(r));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Add)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_Search100k(benchmark::State& state) {
  TempFolder t;
  MakeLargeStore(t);
  MDataBase db;
  db.Open(t.Dir(), 0);
  CaseCriteria c;
  c.nameMode = 1;
  SetText(c.name, Format("%s777", gbk::FromUtf8("\xE5\xBC\xA0").c_str()));  // 张777
  c.sexOn = 1;
  c.sex = 1;
  std::vector<int32_t> ids;
  for (auto _ : state) {
    db.Search(c, ids);
    benchmark::DoNotOptimize(ids.data());
  }
  state.counters["matches"] = static_cast<double>(ids.size());
  state.SetItemsProcessed(state.iterations() * kCases);
}
BENCHMARK(BM_Search100k)->Unit(benchmark::kMillisecond);

void BM_ReadRecent1000(benchmark::State& state) {
  TempFolder t;
  MakeLargeStore(t);
  MDataBase db;
  db.Open(t.Dir(), 0);
  CaseRecord r;
  for (auto _ : state) {
    for (int32_t id = kCases - 1; id >= kCases - 1000; --id) benchmark::DoNotOptimize(db.Read(id, r));
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ReadRecent1000)->Unit(benchmark::kMillisecond);

// The same 1000 records in one read, as the start-up asks for them.
void BM_ReadManyRecent1000(benchmark::State& state) {
  TempFolder t;
  MakeLargeStore(t);
  MDataBase db;
  db.Open(t.Dir(), 0);
  std::vector<int32_t> ids;
  for (int32_t id = kCases - 1; id >= kCases - 1000; --id) ids.push_back(id);
  int64_t read = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(db.ReadMany(ids, [&read](const CaseRecord&) { ++read; }));
  }
  state.SetItemsProcessed(read);
}
BENCHMARK(BM_ReadManyRecent1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
