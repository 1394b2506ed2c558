// Timing of a whole lunar year and of one conversion (not a test).
#include <benchmark/benchmark.h>

#include "calendar/Lunar.h"
#include "calendar/Vodateex.h"

namespace {

void BM_ComputeLunarYear(benchmark::State& state) {
  MVoDateEx e;
  double d = -36500;  // from 1900 on, a year further each time
  for (auto _ : state) {
    ComputeLunarYear(e, d);
    benchmark::DoNotOptimize(e.newMoons[14]);
    d += 365.2422;
    if (d > 36500) d = -36500;
  }
}
BENCHMARK(BM_ComputeLunarYear);

void BM_SolarToLunarNewYear(benchmark::State& state) {
  MVoDateEx e;
  int16_t year = 1900;
  for (auto _ : state) {
    DateRecord lunar;
    // Each call lands in another lunar year, so the year is computed every time.
    benchmark::DoNotOptimize(e.SolarToLunar(DateRecord{year, 6, 15, 12, 0}, lunar));
    year = static_cast<int16_t>(year == 2100 ? 1900 : year + 1);
  }
}
BENCHMARK(BM_SolarToLunarNewYear);

void BM_SolarToLunarSameYear(benchmark::State& state) {
  MVoDateEx e;
  int16_t day = 1;
  for (auto _ : state) {
    DateRecord lunar;
    benchmark::DoNotOptimize(e.SolarToLunar(DateRecord{2024, 6, day, 12, 0}, lunar));
    day = static_cast<int16_t>(day == 28 ? 1 : day + 1);
  }
}
BENCHMARK(BM_SolarToLunarSameYear);

}  // namespace

BENCHMARK_MAIN();
