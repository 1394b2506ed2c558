#include "engine/Namecalc.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/NameTables.h"

namespace {

using namespace namecalc;

struct GridCase {
  const char* name;
  bool single;
  int n;
  int16_t strokes[4];
  int16_t grids[5];  // heaven, person, earth, total, outer
};

TEST(Namecalc, FiveGridsOfEachNameShape) {
  constexpr GridCase kCases[] = {
      {"single surname, two given", true, 3, {7, 8, 11, 0}, {8, 15, 19, 26, 12}},
      {"compound surname, one given", false, 3, {16, 15, 9, 0}, {31, 24, 10, 40, 17}},
      {"single surname, one given", true, 2, {9, 12, 0, 0}, {10, 21, 13, 21, 2}},
      {"compound surname, two given", false, 4, {10, 8, 6, 5}, {18, 14, 11, 29, 15}},
      {"single surname, three given", true, 4, {5, 6, 7, 8}, {6, 11, 9, 26, 16}},
      {"total of 82 folds to 2", true, 3, {30, 30, 22, 0}, {31, 60, 52, 2, 23}},
  };
  for (const GridCase& c : kCases) {
    SCOPED_TRACE(c.name);
    int16_t g[5] = {};
    ASSERT_TRUE(FiveGrids(c.single, c.n, c.strokes, g));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g[i], c.grids[i]) << i;
  }
}

TEST(Namecalc, NamesTooShortOrLongAreRefused) {
  const int16_t s[4] = {5, 5, 5, 5};
  int16_t g[5] = {};
  EXPECT_FALSE(FiveGrids(true, 1, s, g));
  EXPECT_FALSE(FiveGrids(false, 2, s, g));
  EXPECT_FALSE(FiveGrids(true, 5, s, g));
  EXPECT_TRUE(FiveGrids(false, 3, s, g));
}

TEST(Namecalc, TalentsOfTheGivenExample) {
  const int16_t g[5] = {8, 15, 19, 26, 12};  // 金 土 水
  EXPECT_EQ(TalentsClass(g), 0);
  const int16_t classes[5] = {2, 2, 0, 0, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(NameTables::NumberClass(g[i]), classes[i]) << i;
}

// The score as the weights read, in doubles, for comparison.
double Reference(const uint8_t fav[5], bool lenient, int n, const int16_t el[4], const int16_t g[5]) {
  const double w[2][6] = {{1.0, 0.9, 0.5, 0.7, 0.8, 0.5}, {1.0, 0.96, 0.6, 0.8, 0.9, 0.5}};
  auto weight = [&](int e) {
    int p = 0;
    while (p < 5 && fav[p] != e) ++p;
    return w[lenient][p];
  };
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += 45.0 / n * weight(el[i]);
  for (int i = 0; i < 5; ++i) sum += 4 * weight(NameTables::DigitElementOf(g[i])) + NameTables::NumberClass(g[i]) + 1;
  const int talent[2][3] = {{13, 16, 20}, {16, 18, 20}};
  return sum + talent[lenient][TalentsClass(g)];
}

TEST(Namecalc, ScoreReachesItsMaximumAndWeighsAbsentElements) {
  // All five grids good and of element 木 (last digit 1), 木木木 three talents.
  const int16_t good[5] = {11, 11, 11, 21, 31};
  const uint8_t woodFirst[5] = {1, 0, 2, 3, 4};
  const int16_t allWood[4] = {1, 1, 1, 1};
  for (bool lenient : {false, true})
    for (int n = 2; n <= 4; ++n) {
      SCOPED_TRACE(n);
      EXPECT_EQ(NameScore(woodFirst, lenient, n, allWood, good), 100);
    }

  // Characters without an element weigh 0.5 in both sets: 45 * 0.5 less than the maximum.
  const int16_t none[4] = {5, 10, 5, 10};
  for (bool lenient : {false, true}) EXPECT_EQ(NameScore(woodFirst, lenient, 3, none, good), 77);
}

TEST(Namecalc, ScoreIsExactWhereFloatsWouldFallShort) {
  // Sweep every role of the characters and grids; the exact score is the truncation of
  // the true value, never one below it.
  const uint8_t fav[5] = {0, 1, 2, 3, 4};
  int rows = 0;
  for (bool lenient : {false, true})
    for (int n = 2; n <= 4; ++n)
      for (int e = 0; e < 6; ++e)
        for (int d = 0; d < 10; ++d) {
          const int16_t el[4] = {int16_t(e), int16_t((e + 1) % 6), int16_t(e), int16_t((e + 2) % 6)};
          const int16_t g[5] = {int16_t(10 + d), int16_t(20 + d), int16_t(30 + (d + 3) % 10), int16_t(40 + d),
                                int16_t(50 + (d + 7) % 10)};
          double truth = Reference(fav, lenient, n, el, g);
          EXPECT_EQ(NameScore(fav, lenient, n, el, g), static_cast<int>(std::floor(truth + 1e-9)))
              << lenient << " n=" << n << " e=" << e << " d=" << d;
          ++rows;
        }
  EXPECT_EQ(rows, 360);
}

TEST(Namecalc, ScorerFillsTheCandidate) {
  ChartResult chart;
  const uint8_t fav[5] = {1, 0, 2, 3, 4};
  std::copy(fav, fav + 5, chart.favourableElements);
  BirthRecord birth;
  MNameCalc calc;
  calc.SetTexts(chart, birth, AnalysisSettings{});
  calc.SetFlag(0);
  // a compound surname and two given characters: all four places are filled
  const char name[] = "\xc5\xb7\xd1\xf4\xc1\xd6\xc1\xd6";
  const uint16_t strokes[4] = {15, 17, 8, 8}, elements[4] = {1, 1, 1, 1}, grids[5] = {11, 11, 11, 21, 31};
  ASSERT_TRUE(calc.Calc(name, strokes, elements, grids));
  CandidateRecord r;
  calc.GetResult(r);
  EXPECT_STREQ(r.name, name);
  EXPECT_EQ(r.score, 100);
  EXPECT_EQ(r.talentsClass, 2);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r.strokes[i], strokes[i]);
    EXPECT_EQ(r.elements[i], 1);
  }
  // two characters leave the last two places empty
  ASSERT_TRUE(calc.Calc("\xc1\xd6\xc1\xd6", strokes, elements, grids));
  calc.GetResult(r);
  EXPECT_EQ(r.strokes[2], 0);
  EXPECT_EQ(r.strokes[3], 0);
  EXPECT_EQ(r.elements[2], 10);
  EXPECT_EQ(r.elements[3], 10);
}

}  // namespace
