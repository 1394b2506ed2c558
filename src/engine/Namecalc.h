// The five grids of a name, its three talents and its score out of 100, and the scorer
// MNameCalc that the name generator runs for every candidate against a given chart.
//
// The score is summed exactly in units of 1/1200 (weights are whole hundredths, and
// 45 / n for n = 1 to 4 is a whole number of twelfths), so it never depends on how a
// compiler rounds floating point: a true 98 is 98 on every build.
#pragma once

#include <cstdint>

#include "engine/Records.h"

namespace namecalc {

inline constexpr int kMaxChars = 4;

// The fewest characters a name of the surname kind needs (surname and one given character).
inline int MinChars(bool singleSurname) { return singleSurname ? 2 : 3; }

// Heaven, person, earth, total and outer grid, each folded above 81, from the stroke
// counts of the first `charCount` characters. False when the name is too short for its
// surname kind or longer than four characters.
bool FiveGrids(bool singleSurname, int charCount, const int16_t strokes[kMaxChars], int16_t grids[5]);

// Three-talent class (0 bad, 1 half good, 2 good) of the heaven, person and earth grids.
int TalentsClass(const int16_t grids[5]);

// Score of a name: elements of its characters (5 or 10 for none), its grids, against the
// favourable elements (用神 … 闲神) of a chart. `lenient` is the "score" setting.
int16_t NameScore(const uint8_t favourable[5], bool lenient, int charCount, const int16_t elements[kMaxChars],
                  const int16_t grids[5]);
// The two parts of the score, in units of 1/1200 point, and the score of their sum.
long ElementUnits(const uint8_t favourable[5], bool lenient, int charCount, const int16_t elements[kMaxChars]);
long GridUnits(const uint8_t favourable[5], bool lenient, const int16_t grids[5]);
int16_t ScoreOfUnits(long units);

}  // namespace namecalc

class MNameCalc {
 public:
  void SetTexts(const ChartResult& chart, const BirthRecord& birth, const AnalysisSettings& settings);
  void SetFlag(uint8_t singleSurname) { birth.singleSurname = singleSurname; }
  // Scores one candidate; strokes and elements hold at least as many entries as the
  // name has characters. Touches no file.
  bool Calc(const char* name, const uint16_t strokes[], const uint16_t elements[], const uint16_t grids[5]);
  int16_t Score();
  void GetResult(CandidateRecord& out) const;

 private:
  BirthRecord birth;
  ChartResult chart;
  uint8_t singleSurname = 1;
  int16_t charCount = 0;
  int16_t strokes[namecalc::kMaxChars] = {};
  int16_t grids[5] = {};
  int16_t score = 0;
  int16_t charElements[namecalc::kMaxChars] = {10, 10, 10, 10};
  AnalysisSettings settings;
  int32_t talentsClass = 0;
  // The grid part of the last score and the grids' classes, for the grids they were
  // computed of.
  bool gridsScored = false;
  int16_t scoredGrids[5] = {};
  uint8_t gridClasses[5] = {};
  long gridUnits = 0;
};
