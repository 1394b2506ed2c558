#include "engine/Records.h"

#include <string>

#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"
#include "classlib/TStringList.h"

namespace {

constexpr const char* kSection = "set";

// The section read at once: every run reads all its keys, and the file is looked at
// once for them all rather than once a key.
class SetSection {
 public:
  explicit SetSection(TIniFile& ini) { ini.ReadSectionValues(kSection, lines); }

  // As TIniFile::ReadInteger: the first entry of the key, else `def`.
  long long Integer(std::string_view key, long long def) const {
    for (const std::string& line : lines) {
      const size_t eq = line.find('=');
      if (SameText(std::string_view(line).substr(0, eq), key)) return StrToIntDef(line.substr(eq + 1), def);
    }
    return def;
  }

 private:
  TStringList lines;  // "key=value"
};

// A hand-edited value outside [lo, hi] is treated as absent.
uint8_t ReadChoice(const SetSection& ini, const char* key, int lo, int hi, uint8_t def) {
  long long v = ini.Integer(key, def);
  return (v >= lo && v <= hi) ? static_cast<uint8_t>(v) : def;
}

uint8_t ReadFlag(const SetSection& ini, const char* key, bool def) { return ini.Integer(key, def ? 1 : 0) != 0; }

}  // namespace

AnalysisSettings ReadAnalysisSettings(std::string_view programFolder) {
  TIniFile file(IncludeTrailingBackslash(std::string(programFolder)) + "dat\\set.ini");
  const SetSection ini(file);
  AnalysisSettings s;
  s.iDate = ReadChoice(ini, "iDate", 0, 2, s.iDate);
  s.congGe = ReadFlag(ini, "congGe", s.congGe);
  long long left = ini.Integer("ileft", s.ileft);
  s.ileft = (left >= INT32_MIN && left <= INT32_MAX) ? static_cast<int32_t>(left) : s.ileft;
  s.save = ReadFlag(ini, "save", s.save);
  s.zishi = ReadFlag(ini, "zishi", s.zishi);
  s.score = ReadFlag(ini, "score", s.score);
  s.biange = ReadFlag(ini, "biange", s.biange);
  s.endinfo = ReadFlag(ini, "endinfo", s.endinfo);
  s.iwordlen = ReadChoice(ini, "iwordlen", 0, 1, s.iwordlen);
  return s;
}
