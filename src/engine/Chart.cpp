#include "engine/Chart.h"

#include <algorithm>
#include <initializer_list>

#include "engine/NameTables.h"

namespace chart {

namespace {

using NameTables::BranchCode;
using NameTables::BranchElement;
using NameTables::BranchMainStem;
using NameTables::StemCode;
using NameTables::StemElement;

// Stems hidden in each branch (亥 first) and their weights in days.
constexpr int8_t kHidden[12][3] = {{1, 9, -1}, {0, -1, -1}, {0, 8, 6}, {1, 3, 5}, {2, -1, -1}, {2, 5, 0},
                                   {7, 3, 5},  {6, 4, -1},  {2, 6, 4}, {5, 7, 9}, {8, -1, -1}, {8, 4, 5}};
constexpr int kHiddenDays[12][3] = {{12, 30, 0}, {30, 0, 0}, {9, 3, 18}, {30, 7, 7},  {30, 0, 0}, {9, 18, 3},
                                    {9, 30, 5},  {9, 30, 0}, {3, 18, 9}, {10, 30, 3}, {30, 0, 0}, {9, 18, 3}};
// Branch of each stem's 长生 stage (癸 first).
constexpr int kLifeStageStart[10] = {4, 0, 7, 3, 10, 3, 10, 6, 1, 9};
// (element - season element) mod 5 -> 旺 相 休 囚 死 index.
constexpr int kStatusOrder[5] = {0, 1, 4, 3, 2};
// Ten-god weights in hundredths: 比肩 劫财 食神 伤官 偏财 正财 七杀 正官 偏印 正印.
constexpr int kTenGodWeight[10] = {200, 175, 90, 100, 70, 80, 50, 60, 150, 125};

// Branch pairs (亥 0 … 戌 11).
constexpr int kSixCombination[6][2] = {{1, 2}, {3, 0}, {4, 11}, {5, 10}, {6, 9}, {7, 8}};
constexpr int kSixHarm[6][2] = {{1, 8}, {2, 7}, {3, 6}, {4, 5}, {9, 0}, {10, 11}};
// 三合 groups with the middle branch second, and their elements.
constexpr int kTripleGroups[4][3] = {{9, 1, 5}, {0, 4, 8}, {3, 7, 11}, {6, 10, 2}};
constexpr int kTripleElement[4] = {0, 1, 2, 4};

// Three-branch rules by product and sum, branches numbered 子 1 … 戌 11, 亥 12.
struct TripleRule {
  int product, sum, code;
};
constexpr TripleRule kTriples[] = {{231, 21, 2}, {384, 24, 1}, {120, 18, 4}, {45, 15, 0}};
constexpr TripleRule kMeetings[] = {{24, 15, 0}, {60, 12, 1}, {336, 21, 2}, {990, 30, 4}};
constexpr TripleRule kTriplePunishments[] = {{176, 21, 2}, {162, 18, 3}};

// Roles 喜 忌 仇 闲 by the group of 用神 (groups 0 比劫 1 食伤 2 财星 3 官杀 4 印枭).
constexpr uint8_t kRoleTable[5][4] = {{4, 3, 2, 1}, {2, 4, 0, 3}, {1, 0, 4, 3}, {2, 0, 4, 1}, {0, 2, 1, 3}};
constexpr uint8_t kFollowRoleTable[5][5] = {
    {0, 4, 3, 2, 1}, {1, 0, 4, 3, 2}, {2, 1, 0, 4, 3}, {3, 2, 0, 4, 1}, {4, 0, 2, 3, 1}};

int Mod(int a, int m) { return ((a % m) + m) % m; }
int Stem(const ChartResult& c, int p) { return c.pillars[p] % 10; }
int Branch(const ChartResult& c, int p) { return c.pillars[p] % 12; }
int DayStem(const ChartResult& c) { return Stem(c, 2); }
int DayElement(const ChartResult& c) { return StemElement[DayStem(c)]; }
int Number12(int branch) { return branch == 0 ? 12 : branch; }
// Weighted power w * W, truncated.
int Weighted(int w, int tenGod) { return w * kTenGodWeight[tenGod] / 100; }
int WeightedCapped(int w, int tenGod) { return w * std::min(kTenGodWeight[tenGod], 100) / 100; }

bool IsPair(const int (&pairs)[6][2], int a, int b) {
  for (const auto& p : pairs)
    if ((p[0] == a && p[1] == b) || (p[0] == b && p[1] == a)) return true;
  return false;
}

// Element of the 三合 group that a and b half form, or -1.
int HalfTripleElement(int a, int b) {
  for (int g = 0; g < 4; ++g) {
    const int* t = kTripleGroups[g];
    bool aMid = a == t[1], bMid = b == t[1];
    bool aEnd = a == t[0] || a == t[2], bEnd = b == t[0] || b == t[2];
    if ((aMid && bEnd) || (bMid && aEnd)) return kTripleElement[g];
  }
  return -1;
}

int MatchRule(const TripleRule* rules, size_t count, int product, int sum) {
  for (size_t i = 0; i < count; ++i)
    if (rules[i].product == product && rules[i].sum == sum) return rules[i].code;
  return -1;
}

bool FourEarth(const ChartResult& c) {
  int product = 1, sum = 0;
  for (int p = 0; p < 4; ++p) product *= Branch(c, p), sum += Branch(c, p);
  return product == 880 && sum == 26;
}

void SetPair(int16_t BranchInfo::*field, ChartResult& c, int i, int j, int code) {
  c.branchInfo[i].*field = static_cast<int16_t>(code);
  c.branchInfo[j].*field = static_cast<int16_t>(code);
}

void BranchPair(ChartResult& c, int i, int j) {
  const int a = Branch(c, i), b = Branch(c, j);
  if (a == b && (a == 5 || a == 7 || a == 10 || a == 0)) return SetPair(&BranchInfo::punishment, c, i, j, a);
  if (b == (a + 6) % 12) return SetPair(&BranchInfo::clash, c, i, j, b >= 6 ? b - 6 : b);
  if (IsPair(kSixCombination, a, b)) return SetPair(&BranchInfo::combination, c, i, j, std::min(a, b));
  if (IsPair(kSixHarm, a, b)) return SetPair(&BranchInfo::harm, c, i, j, std::min(a, b));
  if (int g = HalfTripleElement(a, b); g >= 0)
    return SetPair(&BranchInfo::halfTriple, c, i, j, 10 * g + ((a % 3 == 2 || b % 3 == 2) ? 5 : 0));
  if ((a == 1 && b == 4) || (a == 4 && b == 1)) SetPair(&BranchInfo::punishment, c, i, j, 1);
}

void StemCombination(ChartResult& c, int i, int j) {
  const int a = Stem(c, i), b = Stem(c, j);
  constexpr int kRules[5][2] = {{0, 5}, {6, 7}, {14, 9}, {24, 11}, {36, 13}};  // product, sum
  for (int code = 0; code < 5; ++code)
    if (a * b == kRules[code][0] && a + b == kRules[code][1]) {
      c.stemInfo[i].combination = c.stemInfo[j].combination = static_cast<int16_t>(code);
      return;
    }
}

// Bonus of the element's two codes for a triple, meeting or half triple.
void AddBonus(ChartResult& c, int element, int base, int monthStem) {
  int yangStem = element == 0 ? 9 : 2 * element - 1;
  int half = WeightedCapped(base, TenGod(yangStem, monthStem)) / 2;
  c.codePower[2 * element] = static_cast<int16_t>(c.codePower[2 * element] + half);
  c.codePower[2 * element + 1] = static_cast<int16_t>(c.codePower[2 * element + 1] + half);
}

// Element and base of the first triple or meeting among the branches, the first pillar
// of the three being the year or the month; the four earth branches otherwise.
bool FindTripleBonus(const ChartResult& c, int& element, int& base) {
  for (int i = 0; i < 2; ++i)
    for (int j = i + 1; j < 4; ++j)
      for (int k = j + 1; k < 4; ++k) {
        int x = Number12(Branch(c, i)), y = Number12(Branch(c, j)), z = Number12(Branch(c, k));
        int product = x * y * z, sum = x + y + z;
        if ((element = MatchRule(kTriples, std::size(kTriples), product, sum)) >= 0) return base = 81, true;
        if ((element = MatchRule(kMeetings, std::size(kMeetings), product, sum)) >= 0) return base = 120, true;
      }
  if (FourEarth(c)) return element = 3, base = 150, true;
  return false;
}

void AddTripleBonus(ChartResult& c, int monthStem) {
  int element = 0, base = 0;
  if (FindTripleBonus(c, element, base)) return AddBonus(c, element, base, monthStem);
  int last = -1;
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 4; ++j) {
      int g = HalfTripleElement(Branch(c, i), Branch(c, j));
      if (g < 0) continue;
      if (g != last) AddBonus(c, g, 45, monthStem);
      last = g;
    }
}

void CountTenGods(ChartResult& c) {
  const int d = DayStem(c);
  for (int p = 0; p < 4; ++p) {
    int branch = Branch(c, p);
    if (p != 2) {
      int t = TenGod(d, Stem(c, p));
      ++c.tenGodCount[t];
      ++c.tenGodCountHidden[t];
    }
    ++c.tenGodCount[TenGod(d, BranchMainStem[branch])];
    int hidden[3];
    for (int i = 0, n = HiddenStems(branch, hidden); i < n; ++i) ++c.tenGodCountHidden[TenGod(d, hidden[i])];
  }
  for (int x = 0; x < 5; ++x) {
    c.elementCount[x] = static_cast<uint8_t>(c.codeCount[2 * x] + c.codeCount[2 * x + 1]);
    c.elementCountHidden[x] = static_cast<uint8_t>(c.codeCountHidden[2 * x] + c.codeCountHidden[2 * x + 1]);
    c.groupCount[x] = static_cast<uint8_t>(c.tenGodCount[2 * x] + c.tenGodCount[2 * x + 1]);
    c.groupCountHidden[x] = static_cast<uint8_t>(c.tenGodCountHidden[2 * x] + c.tenGodCountHidden[2 * x + 1]);
  }
}

void MonthStructures(ChartResult& c) {
  const int d = DayStem(c), month = Branch(c, 1);
  std::fill(std::begin(c.monthStructures), std::end(c.monthStructures), int16_t(-1));
  int stage = LifeStage(d, month);
  if (stage == 3 || stage == 4) {
    c.monthStructures[0] = static_cast<int16_t>(stage - 3);  // 建禄 or 羊刃
    return;
  }
  int hidden[3], n = HiddenStems(month, hidden), count = 0;
  for (int i = 0; i < n; ++i) {
    bool shown = false;
    for (int p = 0; p < 4; ++p) shown = shown || Stem(c, p) == hidden[i];
    int t = TenGod(d, hidden[i]);
    if (shown && t > 1) c.monthStructures[count++] = static_cast<int16_t>(t);
  }
}

// Class and scale of the day master by the balance.
void ClassifyStrength(ChartResult& c, const AnalysisSettings& s) {
  const int b = c.balance, status = c.stemInfo[2].status;
  int scale;
  int cls;
  if (b >= 0 && b <= 71) {
    scale = cls = 3;
  } else if (b >= 72 && b <= 143) {
    scale = cls = 4;
  } else if (b >= -72 && b < 0) {
    scale = cls = 2;
  } else if (b < -72) {
    scale = b < -235 ? 0 : 1;
    cls = (s.congGe && status >= 2 && b < -235) ? 6 : 1;
  } else {
    scale = b > 305 ? 6 : 5;
    cls = (s.congGe && status <= 1 && b >= 306) ? 0 : 5;
  }
  c.strengthScale = static_cast<uint8_t>(scale);
  c.dayMasterClass = static_cast<uint8_t>(cls);
}

// The scale that goes with a chosen class: the follow classes sit at the two ends.
int ScaleOfClass(int cls) { return cls == 0 ? 6 : cls == 6 ? 0 : cls; }

void FillRoles(ChartResult& c, const AnalysisSettings& s, int special, const uint8_t specialOrder[5]) {
  const int e = DayElement(c), cls = c.dayMasterClass;
  const int16_t* groupPower = c.groupPower;
  uint8_t groups[5];
  if (cls == 0 || cls == 6) {
    int row = 0;
    if (cls == 0) {
      row = groupPower[0] > groupPower[4] ? 0 : 4;
    } else {
      row = 1;
      for (int g = 2; g <= 3; ++g)
        if (groupPower[g] > groupPower[row]) row = g;
    }
    std::copy(kFollowRoleTable[row], kFollowRoleTable[row] + 5, groups);
  } else {
    constexpr int kUsefulShift[7] = {4, 0, 4, 4, 2, 3, 2};  // 用神 element = e + shift
    groups[0] = static_cast<uint8_t>(kUsefulShift[cls]);
    std::copy(kRoleTable[groups[0]], kRoleTable[groups[0]] + 4, groups + 1);
  }
  for (int r = 0; r < 5; ++r) {
    c.favourableGroups[r] = groups[r];
    c.favourableElements[r] = static_cast<uint8_t>((groups[r] + e) % 5);
  }
  if (special >= 0 && s.biange) {
    for (int r = 0; r < 5; ++r) {
      c.favourableElements[r] = specialOrder[r];
      c.favourableGroups[r] = static_cast<uint8_t>(Mod(specialOrder[r] - e, 5));
    }
  }
}

template <typename T, size_t N>
void RankAscending(const T (&power)[N], uint8_t (&rank)[N]) {
  for (size_t i = 0; i < N; ++i) rank[i] = static_cast<uint8_t>(i);
  for (size_t i = 0; i < N; ++i) {
    size_t m = i;
    for (size_t j = i + 1; j < N; ++j)
      if (power[rank[j]] < power[rank[m]]) m = j;
    std::swap(rank[i], rank[m]);
  }
}

void SortOrders(ChartResult& c) {
  RankAscending(c.elementPower, c.elementRank);
  RankAscending(c.groupPower, c.groupRank);
  RankAscending(c.codePower, c.codeRank);
  RankAscending(c.tenGodPower, c.tenGodRank);
}

// Element orders (用 喜 忌 仇 闲) of the five single-element structures, by element.
constexpr uint8_t kElementOrders[5][5] = {
    {0, 4, 3, 2, 1}, {1, 0, 4, 3, 2}, {2, 1, 0, 4, 3}, {3, 2, 1, 0, 4}, {4, 3, 2, 1, 0}};

// True when the last pillar carrying a triple, or the last carrying a meeting, has element g.
bool TripleOf(const ChartResult& c, int g) {
  int triple = -1, meeting = -1;
  for (const BranchInfo& b : c.branchInfo) {
    if (b.triple >= 0) triple = b.triple;
    if (b.meeting >= 0) meeting = b.meeting;
  }
  return triple == g || meeting == g;
}

bool StemIn(int stem, int a, int b) { return stem == a || stem == b; }
bool MonthIn(int branch, std::initializer_list<int> set) {
  return std::find(set.begin(), set.end(), branch) != set.end();
}

void Order(uint8_t out[5], std::initializer_list<int> shifts, int e) {
  int r = 0;
  for (int k : shifts) out[r++] = static_cast<uint8_t>((e + k) % 5);
}

// 曲直 … 润下: day stem and month branch of one element, its triple, none of the element it is controlled by.
int SingleElementStructure(const ChartResult& c, uint8_t order[5]) {
  struct Rule {
    int stems[2];
    std::initializer_list<int> months;
    int element;
  };
  const Rule kRules[5] = {
      {{1, 2}, {3, 4}, 1}, {{3, 4}, {6, 7}, 2}, {{5, 6}, {2, 5, 8, 11}, 3}, {{7, 8}, {9, 10}, 4}, {{9, 0}, {0, 1}, 0}};
  for (int i = 0; i < 5; ++i) {
    const Rule& r = kRules[i];
    int controller = (r.element + 3) % 5;
    if (StemIn(DayStem(c), r.stems[0], r.stems[1]) && MonthIn(Branch(c, 1), r.months) && TripleOf(c, r.element) &&
        c.elementCount[controller] == 0) {
      std::copy(kElementOrders[r.element], kElementOrders[r.element] + 5, order);
      return i;
    }
  }
  return -1;
}

// 从财 从杀 从儿 从强 从旺.
int FollowStructure(const ChartResult& c, uint8_t order[5]) {
  const int e = DayElement(c), status = c.stemInfo[2].status, main = c.branchInfo[1].mainGroup;
  const uint8_t* gc = c.groupCount;
  const uint8_t* sg = c.stemGroupCount;
  auto monthElement = [&](int group) {
    int g = (e + group) % 5;
    return c.branchInfo[1].triple == g || c.branchInfo[1].meeting == g;
  };
  const bool weak = status >= 2;
  if (main == 2 && weak && (monthElement(2) || gc[2] >= 4) && sg[1] + sg[2] == 3)
    return Order(order, {2, 1, 0, 4, 3}, e), 5;
  if (main == 3 && weak && (monthElement(3) || gc[3] >= 4) && sg[3] + sg[2] == 3)
    return Order(order, {3, 2, 0, 4, 1}, e), 6;
  if (main == 1 && weak && (monthElement(1) || gc[1] >= 4) && sg[0] + sg[1] == 3)
    return Order(order, {1, 0, 4, 3, 2}, e), 7;
  if ((main == 0 || main == 4) && status <= 1 && gc[0] >= 2 && gc[4] >= 2 && gc[0] + gc[4] >= 6 && gc[3] == 0)
    return Order(order, {4, 0, 2, 3, 1}, e), 8;
  if (status == 0 && gc[0] >= 6 && gc[3] == 0) return Order(order, {0, 4, 3, 2, 1}, e), 9;
  return -1;
}

// 半壁: exactly two elements of four each.
int HalfWallStructure(const ChartResult& c, uint8_t order[5]) {
  int n = 0;
  for (int x = 0; x < 5; ++x) n += c.elementCount[x] == 4;
  if (n != 2) return -1;
  int r = 0;
  for (int x = 0; x < 5; ++x)
    if (c.elementCount[x] == 4) order[r++] = static_cast<uint8_t>(x);
  for (int x = 0; x < 5; ++x)
    if (c.elementCount[x] != 4) order[r++] = static_cast<uint8_t>(x);
  return 10;
}

// 两神成象: two elements only, one generating the other.
int TwoSpiritsStructure(const ChartResult& c, uint8_t order[5]) {
  const int main = c.branchInfo[1].mainGroup;
  if (main != 0 && main != 4 && main != 1) return -1;
  int present[5], n = 0;
  for (int x = 0; x < 5; ++x)
    if (c.elementCount[x] > 0) present[n++] = x;
  if (n != 2 || ((present[0] + 1) % 5 != present[1] && (present[1] + 1) % 5 != present[0])) return -1;
  Order(order, {0, 4, 3, 2, 1}, DayElement(c));
  return 11;
}

// 化 structures: the day stem combined with the month or the hour stem.
int TransformStructure(const ChartResult& c, uint8_t order[5]) {
  struct Rule {
    int a, b;  // stems, 癸 as 10
    std::initializer_list<int> months;
    int element;
  };
  const Rule kRules[5] = {
      {1, 6, {2, 5, 8, 11}, 3}, {2, 7, {9, 10}, 4}, {3, 8, {0, 1}, 0}, {4, 9, {3, 4}, 1}, {5, 10, {6, 7}, 2}};
  auto ten = [&](int p) { return Stem(c, p) == 0 ? 10 : Stem(c, p); };
  auto pairIs = [&](int p, int q, const Rule& r) {
    return (ten(p) == r.a && ten(q) == r.b) || (ten(p) == r.b && ten(q) == r.a);
  };
  for (int i = 0; i < 5; ++i) {
    const Rule& r = kRules[i];
    int controller = (r.element + 3) % 5;
    if ((pairIs(1, 2, r) || pairIs(2, 3, r)) && MonthIn(Branch(c, 1), r.months) && c.elementCount[controller] == 0) {
      std::copy(kElementOrders[r.element], kElementOrders[r.element] + 5, order);
      return 12 + i;
    }
  }
  return -1;
}

}  // namespace

int LifeStage(int stem, int branch) {
  stem = Mod(stem, 10);
  branch = Mod(branch, 12);
  int s = kLifeStageStart[stem];
  return Mod(stem % 2 == 1 ? branch - s : s - branch, 12);
}

int TenGod(int a, int b) {
  a = Mod(a, 10);
  b = Mod(b, 10);
  int d = Mod(b - a, 10);
  if (a % 2 == 0 && d % 2 == 1) d = (d + 2) % 10;
  return d;
}

int TenGodStem(int a, int t) {
  a = Mod(a, 10);
  int s = (a + t) % 10;
  if (a % 2 == 0 && t % 2 == 1) s = Mod(s - 2, 10);
  return s;
}

int HiddenStems(int branch, int out[3]) {
  int n = 0;
  for (int8_t h : kHidden[Mod(branch, 12)])
    if (h >= 0) out[n++] = h;
  return n;
}

void FillPillarTables(ChartResult& c) {
  const int d = DayStem(c), season = BranchElement[Branch(c, 1)];
  for (int p = 0; p < 4; ++p) {
    const int stem = Stem(c, p), branch = Branch(c, p);
    StemInfo& si = c.stemInfo[p];
    BranchInfo& bi = c.branchInfo[p];
    if (p != 2) {
      int t = TenGod(d, stem);
      si.tenGod = static_cast<uint8_t>(t);
      si.group = static_cast<uint8_t>(t / 2);
      ++c.stemTenGodCount[t];
      ++c.stemGroupCount[t / 2];
    }
    si.lifeStage = static_cast<uint8_t>(LifeStage(stem, branch));
    si.status = static_cast<uint8_t>(kStatusOrder[Mod(StemElement[stem] - season, 5)]);
    int t = TenGod(d, BranchMainStem[branch]);
    bi.mainTenGod = static_cast<uint8_t>(t);
    bi.mainGroup = static_cast<uint8_t>(t / 2);
    ++c.branchTenGodCount[t];
    ++c.branchGroupCount[t / 2];
    bi.status = static_cast<uint8_t>(kStatusOrder[Mod(BranchElement[branch] - season, 5)]);
    int hidden[3];
    for (int i = 0, n = HiddenStems(branch, hidden); i < n; ++i) {
      int h = TenGod(d, hidden[i]);
      bi.hiddenTenGod[i] = static_cast<uint8_t>(h);
      bi.hiddenGroup[i] = static_cast<uint8_t>(h / 2);
      ++c.hiddenTenGodCount[h];
      ++c.hiddenGroupCount[h / 2];
    }
  }
}

void CalcRelations(ChartResult& c) {
  for (int p = 0; p < 4; ++p) {
    c.stemInfo[p].combination = -1;
    BranchInfo& b = c.branchInfo[p];
    b.clash = b.punishment = b.harm = b.combination = b.triple = b.halfTriple = b.meeting = b.triplePunishment = -1;
  }
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) {
      StemCombination(c, i, j);
      BranchPair(c, i, j);
    }
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j)
      for (int k = j + 1; k < 4; ++k) {
        int x = Number12(Branch(c, i)), y = Number12(Branch(c, j)), z = Number12(Branch(c, k));
        int product = x * y * z, sum = x + y + z;
        auto mark = [&](int16_t BranchInfo::*field, int code) {
          if (code < 0) return;
          for (int p : {i, j, k}) c.branchInfo[p].*field = static_cast<int16_t>(code);
        };
        mark(&BranchInfo::triple, MatchRule(kTriples, std::size(kTriples), product, sum));
        mark(&BranchInfo::meeting, MatchRule(kMeetings, std::size(kMeetings), product, sum));
        mark(&BranchInfo::triplePunishment, MatchRule(kTriplePunishments, std::size(kTriplePunishments), product, sum));
      }
  if (FourEarth(c))
    for (BranchInfo& b : c.branchInfo) b.meeting = 3;
}

void ComputePowers(ChartResult& c) {
  const int d = DayStem(c), monthStem = BranchMainStem[Branch(c, 1)];
  int adjust = 36 * kTenGodWeight[TenGod(d, monthStem)];  // hundredths
  for (int p = 0; p < 4; ++p) {
    int stage = LifeStage(d, Branch(c, p));
    if (stage == 0 || stage == 2 || stage == 3 || stage == 4) adjust += 1800;
    if (stage == 5 || stage == 6 || stage == 7 || stage == 9) adjust -= 1800;
  }
  c.monthAdjust = static_cast<int16_t>(adjust / 100);
  for (int p = 0; p < 4; ++p) {
    const int stem = Stem(c, p), branch = Branch(c, p), code = StemCode[stem];
    ++c.codeCount[code];
    ++c.codeCountHidden[code];
    c.codePower[code] = static_cast<int16_t>(c.codePower[code] + Weighted(36, TenGod(stem, monthStem)));
    ++c.codeCount[BranchCode[branch]];
    int hidden[3];
    for (int i = 0, n = HiddenStems(branch, hidden); i < n; ++i) {
      int hc = StemCode[hidden[i]];
      ++c.codeCountHidden[hc];
      c.codePower[hc] =
          static_cast<int16_t>(c.codePower[hc] + Weighted(kHiddenDays[branch][i], TenGod(hidden[i], monthStem)));
    }
  }
  AddTripleBonus(c, monthStem);
  CountTenGods(c);
}

int FindSpecialStructure(const ChartResult& c, uint8_t order[5]) {
  for (auto find :
       {SingleElementStructure, FollowStructure, HalfWallStructure, TwoSpiritsStructure, TransformStructure})
    if (int s = find(c, order); s >= 0) return s;
  return -1;
}

void ComputeElementBalance(ChartResult& c, const AnalysisSettings& s, const RoleSource& source) {
  const int d = DayStem(c);
  c.yinPower = c.yangPower = 0;
  for (int k = 0; k < 10; ++k) (k % 2 ? c.yangPower : c.yinPower) += c.codePower[k];
  for (int t = 0; t < 10; ++t) c.tenGodPower[t] = c.codePower[StemCode[TenGodStem(d, t)]];
  MonthStructures(c);
  uint8_t order[5] = {};
  c.specialStructure = static_cast<int16_t>(FindSpecialStructure(c, order));
  for (int x = 0; x < 5; ++x) {
    c.elementPower[x] = static_cast<int16_t>(c.codePower[2 * x] + c.codePower[2 * x + 1]);
    c.groupPower[x] = static_cast<int16_t>(c.tenGodPower[2 * x] + c.tenGodPower[2 * x + 1]);
  }
  c.balance = static_cast<int16_t>(c.groupPower[0] + c.groupPower[4] - c.groupPower[1] - c.groupPower[2] -
                                   c.groupPower[3] + c.monthAdjust);
  if (source.fresh || source.chosen == nullptr) {
    ClassifyStrength(c, s);
    FillRoles(c, s, c.specialStructure, order);
  } else {
    c.dayMasterClass = static_cast<uint8_t>(std::clamp<int>(source.chosen->dayMasterClass, 0, 6));
    c.strengthScale = static_cast<uint8_t>(ScaleOfClass(c.dayMasterClass));
  }
  SortOrders(c);
}

}  // namespace chart
