// The name generator's timed runs, shared by the native benchmark and the Windows timing
// program: a typical run per formula, the worst case (ordinary formula, whole dictionary,
// no filters) and a dictionary of 450 one-stroke characters for the cached rate.
#pragma once

#include <cstring>
#include <string>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "dictionary/Chinesedict.h"
#include "engine/Searchname.h"

namespace scenarios {

// 李, two-character names, male, wood and fire, auspicious only.
inline NamingConditions Typical(int formula) {
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

inline NamingConditions WorstCase() {
  NamingConditions c = Typical(2);
  c.sex = 3;
  c.elementMask = 31;
  c.allowBadChars = 1;
  c.talentsGood = 0;
  c.charset = 1;
  return c;
}

// The chart every run scores against.
inline void SetChart(MSearchName& gen) {
  ChartResult chart;
  const uint8_t favourable[5] = {1, 2, 0, 3, 4};
  std::memcpy(chart.favourableElements, favourable, 5);
  gen.Scorer().SetTexts(chart, BirthRecord{}, AnalysisSettings{});
}

// 450 characters of one stroke count beside 李: the first stroke set alone gives
// 202,500 names, cut at the ceiling after 450 look-ups. `folder` ends with a separator.
inline bool BuildCachedDictionary(const std::string& folder) {
  file::ForceDirectories(folder + "dat");
  MChineseDict b(folder);
  std::string all;
  bool ok = b.CreateOrOpen(folder + "dat\\ChiWord.db") && b.BeginBatch();
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
  MNameLibrary lib(folder);
  return ok && lib.Open(0) && lib.RebuildGroups();
}

}  // namespace scenarios
