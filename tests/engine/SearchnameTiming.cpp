// The name generator's benchmark runs timed under Windows, where the benchmark library
// is not built: each scenario's mean time, names kept, rate, longest gap between two
// message pumps, statements sent to SQLite and the peak working set, printed one line
// a scenario. The first run of the program reads the dictionary into memory and is
// printed on its own line; the other runs find it there, as they do in the program.
#include <windows.h>
// psapi.h needs the types of windows.h
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/SearchnameScenarios.h"
#include "support/ShippedFolder.h"
#include "support/TempFolder.h"

namespace {

class NullPump : public MessagePump {
 public:
  void Pump() override {}
};

double PeakWorkingSetMB() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof(pmc);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc))) return 0;
  return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

bool Time(MNameLibrary& lib, const char* label, const NamingConditions& c, int iterations) {
  NullPump pump;
  MSearchName gen(lib, &pump);
  scenarios::SetChart(gen);
  gen.SetConditions(c);
  double totalMs = 0, gapMs = 0;
  const int64_t statementsBefore = lib.Statements();
  for (int i = 0; i < iterations; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!gen.Generate(nullptr)) {
      std::printf("%-16s failed: %s\n", label, gbk::ToUtf8(gen.LastError()).c_str());
      return false;
    }
    totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    gapMs = std::max(gapMs, std::chrono::duration<double, std::milli>(gen.LongestPumpGap()).count());
  }
  const double meanMs = totalMs / iterations;
  const double statements = static_cast<double>(lib.Statements() - statementsBefore) / iterations;
  std::printf(
      "%-16s %9.2f ms  names=%zu  names/s=%.3gM  maxPumpGapMs=%.1f  statements/run=%.0f  peakWorkingSetMB=%.1f\n",
      label, meanMs, gen.Count(), static_cast<double>(gen.Count()) / meanMs / 1000.0, gapMs, statements,
      PeakWorkingSetMB());
  std::fflush(stdout);
  return true;
}

}  // namespace

int main() {
  MNameLibrary lib(ShippedFolder());
  bool ok = Time(lib, "FirstRun", scenarios::Typical(1), 1);
  for (int formula = 0; formula < 3; ++formula) {
    const std::string label = "Typical/" + std::to_string(formula);
    ok = Time(lib, label.c_str(), scenarios::Typical(formula), 20) && ok;
  }
  ok = Time(lib, "WorstCase", scenarios::WorstCase(), 5) && ok;
  TempFolder tmp;
  if (!scenarios::BuildCachedDictionary(tmp.Dir())) {
    std::printf("CachedNames      could not build the dictionary\n");
    return 1;
  }
  MNameLibrary cached(tmp.Dir());
  ok = Time(cached, "CachedNames", scenarios::WorstCase(), 5) && ok;
  return ok ? 0 : 1;
}
