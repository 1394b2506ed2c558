#include "engine/Records.h"

#include <string>

#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"

namespace {

constexpr const char* kSection = "set";

// A hand-edited value outside [lo, hi] is treated as absent.
uint8_t ReadChoice(TIniFile& ini, const char* key, int lo, int hi, uint8_t def) {
  long long v = ini.ReadInteger(kSection, key, def);
  return (v >= lo && v <= hi) ? static_cast<uint8_t>(v) : def;
}

uint8_t ReadFlag(TIniFile& ini, const char* key, bool def) { return ini.ReadInteger(kSection, key, def ? 1 : 0) != 0; }

}  // namespace

AnalysisSettings ReadAnalysisSettings(std::string_view programFolder) {
  TIniFile ini(IncludeTrailingBackslash(std::string(programFolder)) + "dat\\set.ini");
  TIniFile::ReadingSession session(ini);
  AnalysisSettings s;
  s.iDate = ReadChoice(ini, "iDate", 0, 2, s.iDate);
  s.congGe = ReadFlag(ini, "congGe", s.congGe);
  long long left = ini.ReadInteger(kSection, "ileft", s.ileft);
  s.ileft = (left >= INT32_MIN && left <= INT32_MAX) ? static_cast<int32_t>(left) : s.ileft;
  s.save = ReadFlag(ini, "save", s.save);
  s.zishi = ReadFlag(ini, "zishi", s.zishi);
  s.score = ReadFlag(ini, "score", s.score);
  s.biange = ReadFlag(ini, "biange", s.biange);
  s.endinfo = ReadFlag(ini, "endinfo", s.endinfo);
  s.iwordlen = ReadChoice(ini, "iwordlen", 0, 1, s.iwordlen);
  return s;
}
