#include "engine/Chart.h"

#include <gtest/gtest.h>

#include <string>

#include "classlib/Gbk.h"
#include "engine/NameTables.h"

namespace {

using namespace chart;

// Sexagenary index of a stem and branch (same parity).
int16_t GanZhi(int stem, int branch) {
  for (int p = 0; p < 60; ++p)
    if (p % 10 == stem && p % 12 == branch) return static_cast<int16_t>(p);
  ADD_FAILURE() << "no pillar " << stem << "/" << branch;
  return 0;
}

// Stem and branch by name, e.g. "甲子".
int16_t P(const char* utf8) {
  std::string g = gbk::FromUtf8(utf8);
  const auto& t = NameTables::Text();
  int s = -1, b = -1;
  for (int i = 0; i < 10; ++i)
    if (t.StemNames[i] == g.substr(0, 2)) s = i;
  for (int i = 0; i < 12; ++i)
    if (t.BranchNames[i] == g.substr(2, 2)) b = i;
  return GanZhi(s, b);
}

ChartResult Chart(const char* y, const char* m, const char* d, const char* h) {
  ChartResult c;
  c.pillars[0] = P(y), c.pillars[1] = P(m), c.pillars[2] = P(d), c.pillars[3] = P(h);
  FillPillarTables(c);
  return c;
}

TEST(Chart, TenGodsAndTheirInverse) {
  // Day stems 甲 (yang) and 乙 (yin): the ten gods of 甲 乙 丙 丁 戊 己 庚 辛 壬 癸.
  constexpr int kOfJia[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  constexpr int kOfYi[10] = {1, 0, 3, 2, 5, 4, 7, 6, 9, 8};
  for (int i = 0; i < 10; ++i) {
    int stem = (i + 1) % 10;
    EXPECT_EQ(TenGod(1, stem), kOfJia[i]) << i;
    EXPECT_EQ(TenGod(2, stem), kOfYi[i]) << i;
  }
  for (int d = 0; d < 10; ++d)
    for (int t = 0; t < 10; ++t) EXPECT_EQ(TenGod(d, TenGodStem(d, t)), t) << d << "/" << t;
  EXPECT_EQ(TenGod(11, 13), TenGod(1, 3));
}

TEST(Chart, LifeStages) {
  struct Case {
    const char* name;
    int stem, branch, stage;
  };
  constexpr Case kCases[] = {
      {"甲 长生 in 亥", 1, 0, 0}, {"甲 帝旺 in 卯", 1, 4, 4}, {"乙 长生 in 午", 2, 7, 0},
      {"乙 帝旺 in 寅", 2, 3, 4}, {"癸 长生 in 卯", 0, 4, 0}, {"壬 临官 in 亥", 9, 0, 3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LifeStage(c.stem, c.branch), c.stage);
  }
}

TEST(Chart, PillarTablesOfAKnownChart) {
  ChartResult c = Chart("己卯", "丙子", "戊午", "戊午");  // 2000-01-01 12:00
  EXPECT_EQ(c.stemInfo[0].tenGod, 1);                     // 己 劫财
  EXPECT_EQ(c.stemInfo[1].tenGod, 8);                     // 丙 偏印
  EXPECT_EQ(c.stemInfo[2].tenGod, kNoneByte);
  EXPECT_EQ(c.stemInfo[2].group, kNoneByte);
  EXPECT_EQ(c.stemInfo[3].tenGod, 0);
  EXPECT_EQ(c.branchInfo[0].mainTenGod, 7);  // 卯 乙 正官
  EXPECT_EQ(c.branchInfo[1].mainTenGod, 5);  // 子 癸 正财
  EXPECT_EQ(c.branchInfo[2].hiddenTenGod[0], 1);
  EXPECT_EQ(c.branchInfo[2].hiddenTenGod[1], 9);
  EXPECT_EQ(c.branchInfo[2].hiddenTenGod[2], kNoneByte);  // 午 hides two stems
  EXPECT_EQ(c.branchInfo[2].hiddenGroup[2], kNoneByte);
  EXPECT_EQ(c.stemInfo[2].lifeStage, 4);  // 戊 帝旺 on 午
  EXPECT_EQ(c.stemInfo[2].status, 3);     // earth in the water month: 囚
  EXPECT_EQ(c.stemInfo[0].status, 3);
  EXPECT_EQ(c.branchInfo[1].status, 0);  // 子 in its own season: 旺
  EXPECT_EQ(c.stemTenGodCount[1] + c.stemTenGodCount[8] + c.stemTenGodCount[0], 3);
  EXPECT_EQ(c.hiddenTenGodCount[9], 2);
}

struct RelationCase {
  const char* name;
  const char* pillars[4];
  int16_t BranchInfo::*field;
  int first, second;  // pillars that carry the code
  int code;
};

TEST(Chart, EachBranchRule) {
  const RelationCase kCases[] = {
      {"self-punishment 辰辰 and nothing else", {"甲辰", "丙辰", "丁卯", "己巳"}, &BranchInfo::punishment, 0, 1, 5},
      {"clash 子午", {"甲子", "丙寅", "庚午", "己巳"}, &BranchInfo::clash, 0, 2, 1},
      {"clash 巳亥 reads 0", {"乙巳", "丁亥", "甲寅", "丙寅"}, &BranchInfo::clash, 0, 1, 0},
      {"combination 寅亥", {"甲寅", "乙亥", "丙午", "戊午"}, &BranchInfo::combination, 0, 1, 0},
      {"harm 子未", {"甲子", "辛未", "丙寅", "丙寅"}, &BranchInfo::harm, 0, 1, 1},
      {"half triple 申子 water", {"甲申", "丙子", "丁卯", "丁卯"}, &BranchInfo::halfTriple, 0, 1, 0},
      {"half triple 子辰 water with earth branch", {"丙子", "甲辰", "丁卯", "丁卯"}, &BranchInfo::halfTriple, 0, 1, 5},
      {"half triple 午戌 fire", {"丙午", "甲戌", "丁卯", "丁卯"}, &BranchInfo::halfTriple, 0, 1, 25},
      {"punishment 子卯", {"甲子", "丁卯", "丙寅", "丙寅"}, &BranchInfo::punishment, 0, 1, 1},
  };
  for (const RelationCase& r : kCases) {
    SCOPED_TRACE(r.name);
    ChartResult c = Chart(r.pillars[0], r.pillars[1], r.pillars[2], r.pillars[3]);
    CalcRelations(c);
    EXPECT_EQ(c.branchInfo[r.first].*r.field, r.code);
    EXPECT_EQ(c.branchInfo[r.second].*r.field, r.code);
  }
  // 申 and 辰, the two ends of a group, make no half triple.
  ChartResult ends = Chart("甲申", "甲辰", "丁卯", "丁卯");
  CalcRelations(ends);
  EXPECT_EQ(ends.branchInfo[0].halfTriple, -1);
  // The self-punished pair is not also a clash or a combination.
  ChartResult self = Chart("甲辰", "丙辰", "丁卯", "己巳");
  CalcRelations(self);
  EXPECT_EQ(self.branchInfo[0].halfTriple, -1);
  EXPECT_EQ(self.branchInfo[1].harm, 4);  // 辰 with the day's 卯 is a harm, a different pair
}

TEST(Chart, TriplesMeetingsAndStemCombinations) {
  struct Case {
    const char* name;
    const char* pillars[4];
    int16_t BranchInfo::*field;
    int code;
  };
  const Case kCases[] = {
      {"三合 寅午戌 fire", {"甲寅", "丙午", "甲戌", "丁卯"}, &BranchInfo::triple, 2},
      {"三合 亥卯未 wood", {"乙亥", "丁卯", "辛未", "丁卯"}, &BranchInfo::triple, 1},
      {"三会 亥子丑 water", {"乙亥", "丙子", "乙丑", "丁卯"}, &BranchInfo::meeting, 0},
      {"三会 申酉戌 metal", {"甲申", "乙酉", "甲戌", "丁卯"}, &BranchInfo::meeting, 4},
      {"三刑 丑戌未", {"乙丑", "甲戌", "辛未", "丁卯"}, &BranchInfo::triplePunishment, 2},
      {"三刑 寅巳申", {"甲寅", "乙巳", "甲申", "丁卯"}, &BranchInfo::triplePunishment, 3},
      {"four earth branches", {"甲辰", "甲戌", "乙丑", "辛未"}, &BranchInfo::meeting, 3},
  };
  for (const Case& k : kCases) {
    SCOPED_TRACE(k.name);
    ChartResult c = Chart(k.pillars[0], k.pillars[1], k.pillars[2], k.pillars[3]);
    CalcRelations(c);
    EXPECT_EQ(c.branchInfo[0].*k.field, k.code);
    EXPECT_EQ(c.branchInfo[2].*k.field, k.code);
  }
  ChartResult c = Chart("戊子", "癸丑", "甲寅", "己巳");
  CalcRelations(c);
  EXPECT_EQ(c.stemInfo[0].combination, 0);  // 戊癸
  EXPECT_EQ(c.stemInfo[1].combination, 0);
  EXPECT_EQ(c.stemInfo[2].combination, 1);  // 甲己
  EXPECT_EQ(c.stemInfo[3].combination, 1);
}

TEST(Chart, PowersAreExactAndEarthGetsItsBonus) {
  // 子 hides 癸 for 30 days; against the 卯 month's 乙 it is 食神 (0.9): exactly 27.
  ChartResult c = Chart("庚子", "己卯", "丙午", "丙午");
  CalcRelations(c);
  ComputePowers(c);
  EXPECT_EQ(c.codePower[0], 27);
  EXPECT_EQ(c.codeCountHidden[0], 1);
  EXPECT_EQ(c.codeCount[NameTables::BranchCode[1]], 1);

  // The four earth branches: against the 戌 month's 戊, 戊 is 比肩 (2.0, capped at 1.0),
  // so B = 150 gives 75 to each earth code on top of the hidden stems (己 31 + 31, 戊 36 + 6).
  ChartResult earth = Chart("甲辰", "甲戌", "乙丑", "辛未");
  ComputePowers(earth);
  EXPECT_EQ(earth.codePower[6], 62 + 75);
  EXPECT_EQ(earth.codePower[7], 42 + 75);
  EXPECT_EQ(earth.codePower[8], 45 + 11 + 3);  // 辛: the stem and two hidden stems, no bonus
  // day stem 乙: 正财 of the month 36 * 0.8, 冠带 on 辰 +18, 衰 on 丑 -18, truncated once
  EXPECT_EQ(earth.monthAdjust, 28);
}

// A chart whose powers are all zero except 财星, so the balance is set by monthAdjust.
ChartResult Balanced(const char* month, int balance) {
  ChartResult c = Chart("丙午", month, "甲午", "丙寅");
  int wealth = NameTables::StemCode[TenGodStem(1, 4)];
  c.codePower[wealth] = 10;
  c.monthAdjust = static_cast<int16_t>(balance + 10);
  return c;
}

TEST(Chart, BalanceBoundariesOfTheClassTable) {
  struct Case {
    int balance;
    bool congGe;
    const char* month;  // 申: 甲 out of season, 寅: in season
    int scale, cls;
  };
  constexpr Case kCases[] = {
      {-236, false, "壬申", 0, 1}, {-236, true, "壬申", 0, 6}, {-236, true, "丙寅", 0, 1}, {-235, true, "壬申", 1, 1},
      {-73, false, "壬申", 1, 1},  {-72, false, "壬申", 2, 2}, {-1, false, "壬申", 2, 2},  {0, false, "壬申", 3, 3},
      {71, false, "壬申", 3, 3},   {72, false, "壬申", 4, 4},  {143, false, "壬申", 4, 4}, {144, false, "壬申", 5, 5},
      {305, true, "丙寅", 5, 5},   {306, false, "丙寅", 6, 5}, {306, true, "丙寅", 6, 0},  {306, true, "壬申", 6, 5},
  };
  for (const Case& k : kCases) {
    SCOPED_TRACE(std::to_string(k.balance) + (k.congGe ? " congGe " : " ") + k.month);
    ChartResult c = Balanced(k.month, k.balance);
    AnalysisSettings s;
    s.congGe = k.congGe;
    ComputeElementBalance(c, s, {});
    EXPECT_EQ(c.balance, k.balance);
    EXPECT_EQ(c.strengthScale, k.scale);
    EXPECT_EQ(c.dayMasterClass, k.cls);
    if (k.cls == 6) {
      EXPECT_EQ(c.favourableGroups[0], 2);  // 财星, the strongest of the three
    }
  }
}

TEST(Chart, RolesByClassAndSpecialStructure) {
  // 甲寅 four times: 从旺格 (比劫 seven times, no 官杀).
  ChartResult base = Chart("甲寅", "甲寅", "甲寅", "甲寅");
  CalcRelations(base);
  ComputePowers(base);
  for (bool biange : {true, false}) {
    SCOPED_TRACE(biange ? "biange on" : "biange off");
    ChartResult c = base;
    AnalysisSettings s;
    s.biange = biange;
    ComputeElementBalance(c, s, {});
    EXPECT_EQ(c.specialStructure, 9);
    EXPECT_EQ(c.dayMasterClass, 5);                                 // 太旺 without congGe
    const uint8_t want[2][5] = {{4, 3, 1, 0, 2}, {1, 0, 4, 3, 2}};  // class roles; structure order
    for (int r = 0; r < 5; ++r) EXPECT_EQ(c.favourableElements[r], want[biange][r]) << r;
    for (int r = 0; r < 5; ++r) EXPECT_EQ((c.favourableGroups[r] + 1) % 5, c.favourableElements[r]) << r;
  }
}

TEST(Chart, ChosenClassKeepsItsRolesAndScale) {
  ChartResult c = Balanced("壬申", 0);
  const uint8_t roles[5] = {3, 2, 0, 4, 1};
  for (int r = 0; r < 5; ++r) c.favourableGroups[r] = roles[r];
  FavourableRecord chosen;
  chosen.dayMasterClass = 0;  // 从旺
  ComputeElementBalance(c, AnalysisSettings{}, {false, &chosen});
  EXPECT_EQ(c.dayMasterClass, 0);
  EXPECT_EQ(c.strengthScale, 6);  // the strong end, not "extremely weak"
  for (int r = 0; r < 5; ++r) EXPECT_EQ(c.favourableGroups[r], roles[r]);
}

TEST(Chart, RanksRunWeakestFirst) {
  ChartResult c = Chart("己卯", "丙子", "戊午", "戊午");
  CalcRelations(c);
  ComputePowers(c);
  ComputeElementBalance(c, AnalysisSettings{}, {});
  for (int i = 1; i < 5; ++i) EXPECT_LE(c.elementPower[c.elementRank[i - 1]], c.elementPower[c.elementRank[i]]);
  for (int i = 1; i < 10; ++i) EXPECT_LE(c.tenGodPower[c.tenGodRank[i - 1]], c.tenGodPower[c.tenGodRank[i]]);
  EXPECT_EQ(c.yinPower + c.yangPower,
            c.elementPower[0] + c.elementPower[1] + c.elementPower[2] + c.elementPower[3] + c.elementPower[4]);
}

}  // namespace
