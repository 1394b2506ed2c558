#include "engine/Namecalc.h"

#include <algorithm>
#include <cstring>

#include "engine/NameTables.h"

namespace namecalc {

namespace {

constexpr int kUnit = 1200;  // score units per point
// Weights in hundredths by the role of an element (用 喜 忌 仇 闲, then absent).
constexpr int kWeights[2][6] = {{100, 90, 50, 70, 80, 50}, {100, 96, 60, 80, 90, 50}};
// Three-talent points by class (bad, half good, good).
constexpr int kTalentPoints[2][3] = {{13, 16, 20}, {16, 18, 20}};

int Weight(const uint8_t favourable[5], bool lenient, int element) {
  const uint8_t* end = favourable + 5;
  return kWeights[lenient][std::find(favourable, end, element) - favourable];
}

}  // namespace

bool FiveGrids(bool singleSurname, int charCount, const int16_t strokes[kMaxChars], int16_t grids[5]) {
  const int n = charCount;
  if (n < MinChars(singleSurname) || n > kMaxChars) return false;
  const int16_t* s = strokes;
  const bool s1 = singleSurname;
  int heaven = s1 ? s[0] + 1 : s[0] + s[1];
  int earth = ((s1 && n == 3) || (!s1 && n == 4)) ? s[n - 2] + s[n - 1] : s[n - 1] + 1;
  int person = s1 ? s[0] + s[1] : s[1] + s[2];
  int total = 0;
  for (int i = 0; i < n; ++i) total += s[i];
  int outer = total + (s1 ? 1 : 0) + (((s1 && n == 2) || (!s1 && n == 3)) ? 1 : 0) - person;
  const int raw[5] = {heaven, person, earth, total, outer};
  for (int g = 0; g < 5; ++g) grids[g] = static_cast<int16_t>(NameTables::Fold81(raw[g]));
  return true;
}

int TalentsClass(const int16_t grids[5]) {
  using namespace NameTables;
  return TalentClass(TalentElement(grids[0]), TalentElement(grids[1]), TalentElement(grids[2]));
}

long ElementUnits(const uint8_t favourable[5], bool lenient, int charCount, const int16_t elements[kMaxChars]) {
  const int n = std::clamp(charCount, 1, kMaxChars);
  long sum = 0;
  for (int i = 0; i < n; ++i) sum += 45 * Weight(favourable, lenient, elements[i]) * (kUnit / 100) / n;
  return sum;
}

long GridUnits(const uint8_t favourable[5], bool lenient, const int16_t grids[5]) {
  long sum = 0;
  for (int g = 0; g < 5; ++g) {
    sum += 4 * Weight(favourable, lenient, NameTables::DigitElementOf(grids[g])) * (kUnit / 100);
    sum += (NameTables::NumberClass(grids[g]) + 1) * kUnit;
  }
  return sum + kTalentPoints[lenient][TalentsClass(grids)] * kUnit;
}

int16_t ScoreOfUnits(long units) { return static_cast<int16_t>(units / kUnit); }

int16_t NameScore(const uint8_t favourable[5], bool lenient, int charCount, const int16_t elements[kMaxChars],
                  const int16_t grids[5]) {
  return ScoreOfUnits(ElementUnits(favourable, lenient, charCount, elements) + GridUnits(favourable, lenient, grids));
}

}  // namespace namecalc

void MNameCalc::SetTexts(const ChartResult& c, const BirthRecord& b, const AnalysisSettings& s) {
  chart = c;
  birth = b;
  settings = s;
  gridsScored = false;
}

bool MNameCalc::Calc(const char* name, const uint16_t strokesIn[], const uint16_t elements[],
                     const uint16_t gridsIn[5]) {
  size_t len = strnlen(name, sizeof(CandidateRecord::name) - 1);
  std::memcpy(birth.name, name, len);
  birth.name[len] = '\0';
  singleSurname = birth.singleSurname;
  charCount = static_cast<int16_t>(std::min<size_t>(len / 2, namecalc::kMaxChars));
  for (int i = 0; i < namecalc::kMaxChars; ++i) {
    strokes[i] = i < charCount ? static_cast<int16_t>(strokesIn[i]) : 0;
    charElements[i] = i < charCount ? static_cast<int16_t>(elements[i]) : 10;
  }
  for (int g = 0; g < 5; ++g) grids[g] = static_cast<int16_t>(gridsIn[g]);
  score = Score();
  return true;
}

int16_t MNameCalc::Score() {
  const bool lenient = settings.score != 0;
  // A generator run scores many names of one stroke set in a row: their grids are alike.
  bool same = gridsScored;
  for (int g = 0; g < 5 && same; ++g) same = grids[g] == scoredGrids[g];
  if (!same) {
    for (int g = 0; g < 5; ++g) {
      scoredGrids[g] = grids[g];
      gridClasses[g] = static_cast<uint8_t>(NameTables::NumberClass(grids[g]));
    }
    talentsClass = namecalc::TalentsClass(grids);
    gridUnits = namecalc::GridUnits(chart.favourableElements, lenient, grids);
    gridsScored = true;
  }
  return namecalc::ScoreOfUnits(gridUnits +
                                namecalc::ElementUnits(chart.favourableElements, lenient, charCount, charElements));
}

void MNameCalc::GetResult(CandidateRecord& out) const {
  std::memcpy(out.name, birth.name, sizeof out.name - 1);
  out.name[sizeof out.name - 1] = '\0';
  out.talentsClass = static_cast<uint8_t>(talentsClass);
  out.score = score;
  for (int i = 0; i < namecalc::kMaxChars; ++i) {
    out.elements[i] = static_cast<uint8_t>(charElements[i]);
    out.strokes[i] = static_cast<uint8_t>(strokes[i]);
  }
  for (int g = 0; g < 5; ++g)
    out.gridClasses[g] = gridsScored ? gridClasses[g] : static_cast<uint8_t>(NameTables::NumberClass(grids[g]));
}
