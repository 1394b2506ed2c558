#include "calendar/Lunar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calendar/Eph.h"
#include "calendar/Eph0.h"
#include "calendar/ReignEraTable.h"
#include "calendar/Vodateex.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace {

constexpr double kPi = AstroConstants::pi;
constexpr double kJ2000 = 2451545;

// --- An independent lunar calendar from the precise instants -----------------
// Civil days in Beijing time from 1929, local mean time of 116°25' E before;
// 冬至 in month 11, and in a year of 13 months the first month without a
// middle term is the leap month.

int CivilDay(double t) {
  const double ut = 36525 * t - DeltaTDays(36525 * t) + kJ2000;
  const double offset = JdToDateFields(ut).year >= 1929 ? 8.0 / 24 : (116 + 25.0 / 60) / 360;
  return FloorInt(ut + offset + 0.5) - static_cast<int>(kJ2000);
}

int TermDay(int k) { return CivilDay(eph::SolarTermTime(k * kPi / 12)); }  // k * 15 degrees
int NewMoonDay(int k) { return CivilDay(eph::NewMoonTime(k * 2 * kPi)); }

struct Month {
  int firstDay;
  int number;
  bool leap;
};

// Months from the 11th month of year0-1 to that of year1.
std::vector<Month> ReferenceMonths(int year0, int year1) {
  std::vector<Month> months;
  int moon = FloorInt((DateToJd(year0 - 1, 11, 1) - kJ2000) / 29.5306) - 1;
  for (int y = year0 - 1; y < year1; ++y) {
    // 冬至 of year y: 270 degrees; k counts 15-degree steps from the equinox of March 1999.
    const int w0 = TermDay((y - 1999) * 24 + 18), w1 = TermDay((y - 1998) * 24 + 18);
    while (NewMoonDay(moon + 1) <= w0) ++moon;
    while (NewMoonDay(moon) > w0) --moon;
    std::vector<int> starts;
    for (int k = moon; NewMoonDay(k + 1) <= w1; ++k) starts.push_back(NewMoonDay(k));
    const bool leapYear = starts.size() == 13;  // months from that of 冬至 to before the next one
    bool leapFound = false;
    int number = 11;
    for (size_t i = 0; i < starts.size(); ++i) {
      const int end = i + 1 < starts.size() ? starts[i + 1] : NewMoonDay(moon + static_cast<int>(i) + 1);
      bool hasMiddle = false;
      // Middle terms lie on multiples of 30 degrees: even k.
      for (int k = (y - 1999) * 24 + 18; k <= (y - 1998) * 24 + 18; k += 2) {
        const int d = TermDay(k);
        if (d >= starts[i] && d < end) hasMiddle = true;
      }
      const bool leap = leapYear && !leapFound && i > 0 && !hasMiddle;
      if (leap) leapFound = true;
      if (!leap && i > 0) number = number % 12 + 1;
      months.push_back({starts[i], number, leap});
    }
    moon += static_cast<int>(starts.size());
  }
  return months;
}

TEST(LunarCalendar, MonthsOf1900To2100MatchThePreciseCalendar) {
  MVoDateEx e;
  int checked = 0;
  for (const Month& m : ReferenceMonths(1900, 2101)) {
    const DateRecord solar = JdToDateRec(m.firstDay + kJ2000);
    if (solar.year < 1900 || solar.year > 2100) continue;
    DateRecord lunar;
    const bool leap = e.SolarToLunar(solar, lunar);
    SCOPED_TRACE(testing::Message() << solar.year << "-" << solar.month << "-" << solar.day);
    ASSERT_EQ(lunar.day, 1);
    ASSERT_EQ(lunar.month, m.number);
    ASSERT_EQ(leap, m.leap);
    ++checked;
  }
  EXPECT_GT(checked, 2480);
}

TEST(LunarCalendar, KnownLeapMonthsAndNewYears) {
  MVoDateEx e;
  struct Leap {
    int year, month;
  };
  for (const Leap& l : {Leap{2020, 4}, Leap{2023, 2}, Leap{2025, 6}, Leap{2033, 11}, Leap{2017, 6}, Leap{1984, 10}}) {
    SCOPED_TRACE(l.year);
    DateRecord lunar{static_cast<int16_t>(l.year), static_cast<int16_t>(l.month), 15, 0, 0}, solar;
    std::string error;
    ASSERT_TRUE(e.LunarToSolar(lunar, solar, true, error)) << gbk::ToUtf8(error);
    DateRecord back;
    EXPECT_TRUE(e.SolarToLunar(solar, back));
    EXPECT_EQ(back.month, l.month);
  }
  struct NewYear {
    int y, m, d;
  };
  for (const NewYear& n : {NewYear{1954, 2, 3}, NewYear{1985, 2, 20}, NewYear{2024, 2, 10}, NewYear{2025, 1, 29},
                           NewYear{1912, 2, 18}, NewYear{1949, 1, 29}, NewYear{2000, 2, 5}, NewYear{2100, 2, 9}}) {
    SCOPED_TRACE(n.y);
    DateRecord lunar{static_cast<int16_t>(n.y), 1, 1, 0, 0}, solar;
    std::string error;
    ASSERT_TRUE(e.LunarToSolar(lunar, solar, false, error));
    EXPECT_EQ(solar.year, n.y);
    EXPECT_EQ(solar.month, n.m);
    EXPECT_EQ(solar.day, n.d);
  }
}

// Leap months of 1900-2050 as the published almanacs give them (year, month).
constexpr int kPublishedLeaps[][2] = {
    {1900, 8}, {1903, 5},  {1906, 4}, {1909, 2}, {1911, 6}, {1914, 5}, {1917, 2}, {1919, 7}, {1922, 5}, {1925, 4},
    {1928, 2}, {1930, 6},  {1933, 5}, {1936, 3}, {1938, 7}, {1941, 6}, {1944, 4}, {1947, 2}, {1949, 7}, {1952, 5},
    {1955, 3}, {1957, 8},  {1960, 6}, {1963, 4}, {1966, 3}, {1968, 7}, {1971, 5}, {1974, 4}, {1976, 8}, {1979, 6},
    {1982, 4}, {1984, 10}, {1987, 6}, {1990, 5}, {1993, 3}, {1995, 8}, {1998, 5}, {2001, 4}, {2004, 2}, {2006, 7},
    {2009, 5}, {2012, 4},  {2014, 9}, {2017, 6}, {2020, 4}, {2023, 2}, {2025, 6}, {2028, 5}, {2031, 3}, {2033, 11},
    {2036, 6}, {2039, 5},  {2042, 2}, {2044, 7}, {2047, 5}, {2050, 3},
};

TEST(LunarCalendar, LeapMonthsOf1900To2050AsPublished) {
  MVoDateEx e;
  size_t next = 0;
  for (int y = 1900; y <= 2050; ++y) {
    SCOPED_TRACE(y);
    int leap = 0;
    for (int m = 1; m <= 12; ++m) {
      DateRecord solar;
      std::string error;
      if (e.LunarToSolar(DateRecord{static_cast<int16_t>(y), static_cast<int16_t>(m), 1, 0, 0}, solar, true, error)) {
        leap = m;
      }
    }
    const bool listed = next < std::size(kPublishedLeaps) && kPublishedLeaps[next][0] == y;
    EXPECT_EQ(leap, listed ? kPublishedLeaps[next][1] : 0);
    if (listed) ++next;
  }
}

TEST(LunarCalendar, ThirteenMonthYearMarksOneLeapWithoutMiddleTerm) {
  MVoDateEx e;
  DateRecord lunar;
  e.SolarToLunar(DateRecord{2020, 6, 1, 0, 0}, lunar);
  ASSERT_NE(e.leapMonth, 0);
  EXPECT_LE(e.newMoons[13], e.terms[24]);
  const int i = e.leapMonth;
  EXPECT_EQ(e.monthCodes[i], e.monthCodes[i - 1]);
  EXPECT_GE(e.terms[2 * i], e.newMoons[i + 1]);  // its middle term falls after it
  for (int j = 1; j < i; ++j) EXPECT_LT(e.terms[2 * j], e.newMoons[j + 1]) << j;
  e.SolarToLunar(DateRecord{2021, 6, 1, 0, 0}, lunar);
  EXPECT_EQ(e.leapMonth, 0);
}

// --- Eras of the day rule ------------------------------------------------------

TEST(LunarEras, FittedAndAstronomicalDays) {
  MVoDateEx e;
  // The fitted new moon that falls on JD 1683460 is kept a day later.
  EXPECT_EQ(CalcTermOrMoon(e, 1683460 - kJ2000, EventKind::NewMoon), 1683461 - kJ2000);
  // From 1960 on the astronomical day stands, whatever the corrections say.
  MVoDateEx broken;
  broken.newMoonCorrections = std::string(20000, '1');
  broken.termCorrections = std::string(20000, '1');
  for (double d : {2436935.0 - kJ2000, 2451545.0 - kJ2000}) {
    SCOPED_TRACE(d);
    EXPECT_EQ(CalcTermOrMoon(broken, d, EventKind::NewMoon), CalcTermOrMoon(e, d, EventKind::NewMoon));
    EXPECT_EQ(CalcTermOrMoon(broken, d, EventKind::Term), CalcTermOrMoon(e, d, EventKind::Term));
  }
  // Before it, a correction moves the low-precision day by one; past the end
  // of the strings there is none.
  const double d1950 = 2433300.5 - kJ2000;
  const int low = FloorInt(NewMoonLow(EventNumber(d1950, EventKind::NewMoon) * 2 * kPi) + 0.5);
  EXPECT_EQ(CalcTermOrMoon(broken, d1950, EventKind::NewMoon), low + 1);
  MVoDateEx empty;
  empty.newMoonCorrections.clear();
  empty.termCorrections.clear();
  EXPECT_EQ(CalcTermOrMoon(empty, d1950, EventKind::NewMoon), low);
  const int lowTerm = FloorInt(SolarTermLow(EventNumber(d1950, EventKind::Term) * kPi / 12) + 0.5);
  EXPECT_EQ(CalcTermOrMoon(empty, d1950, EventKind::Term), lowTerm);
}

TEST(LunarEras, EveryEstimateOfOneEventReadsOneCorrection) {
  MVoDateEx e;
  // Estimates spread over a lunation must agree on the lunation's day.
  for (double jd = 2415020.5; jd < 2420000; jd += 29.5306 * 7) {
    SCOPED_TRACE(jd);
    const int day = CalcTermOrMoon(e, jd - kJ2000, EventKind::NewMoon);
    const int k = EventNumber(jd - kJ2000, EventKind::NewMoon);
    for (double off = -13; off < 16; off += 2.5) {
      const double est = jd - kJ2000 + off;
      if (EventNumber(est, EventKind::NewMoon) == k) {
        ASSERT_EQ(CalcTermOrMoon(e, est, EventKind::NewMoon), day);
      }
    }
  }
}

// --- Correction strings ----------------------------------------------------------

TEST(LunarCorrections, ReplacementsAreNeverSearchedAgain) {
  struct Row {
    const char* name;
    const char* text;
    const char* pattern;
    const char* replacement;
    const char* expected;
  };
  const Row rows[] = {
      {"plain", "aXbXc", "X", "-", "a-b-c"},    {"replacement-contains-pattern", "XX", "X", "XX", "XXXX"},
      {"overlapping", "aaa", "aa", "b", "ba"},  {"none", "abc", "X", "-", "abc"},
      {"empty-pattern", "abc", "", "-", "abc"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(StringReplaceAll(r.text, r.pattern, r.replacement), r.expected);
  }
}

TEST(LunarCorrections, ExpandedStringsCoverTheirEraOnly) {
  MVoDateEx e;
  for (const std::string* s : {&e.newMoonCorrections, &e.termCorrections}) {
    ASSERT_FALSE(s->empty());
    EXPECT_EQ(s->find_first_not_of("012"), std::string::npos);
  }
  // Both end by 1960; the new-moon string corrects nothing before 1645.
  auto position = [](double jd, EventKind kind) {
    return static_cast<size_t>(CorrectionPosition(EventNumber(jd - kJ2000, kind), kind));
  };
  EXPECT_LE(e.termCorrections.size(), position(2436935, EventKind::Term) + 1);
  EXPECT_LE(e.newMoonCorrections.size(), position(2436935, EventKind::NewMoon) + 1);
  const size_t from1645 = position(DateToJd(1645, 1, 1), EventKind::NewMoon);
  EXPECT_EQ(e.newMoonCorrections.substr(0, from1645).find_first_not_of('0'), std::string::npos);
  EXPECT_NE(e.newMoonCorrections.find_first_not_of('0'), std::string::npos);
}

// --- Reign eras ---------------------------------------------------------------------

TEST(LunarReigns, NamesOfAYear) {
  struct Row {
    int year;
    const char* expected;
  };
  const Row rows[] = {
      {1950, "[当代] 中国  公历纪元1950年"},
      {-2069, "[夏] 禹  禹1年"},
      {1911, "[清] 末帝 溥仪 宣统3年"},
      {1630, "[明] 思宗 朱由检 崇祯3年；[后金] 太宗 皇太极 天聪4年"},
      {1620, "[明] 神宗 朱翊钧 万历48年；[明] 光宗 朱常洛 泰昌1年；[后金] 太祖 努尔哈赤 天命5年"},
      {1921, "[民国] 中华民国  民国10年"},
      {1328,
       "[元] 泰定帝 也孙铁木儿 泰定5年；[元] 泰定帝 也孙铁木儿 致和1年；[元] 天顺帝 阿速吉八 天顺1年；"
       "[元] 文宗 图帖睦尔 天历1年"},
      {1270, "[南宋] 度宗 赵禥 咸淳6年；[元] 世祖 忽必烈 至元7年"},
      // Anchors of the older chronology.
      {-1045, "[商] 帝辛 子受 帝辛30年；[西周] 武王 姬发 武王1年"},
      {-840, "[西周] 厉王 姬胡 厉王37年；[西周] 共和  共和1年"},
      {-220, "[秦] 始皇帝 嬴政 始皇帝26年"},
      {-139, "[西汉] 武帝 刘彻 建元1年"},
      {0, "[西汉] 哀帝 刘欣 元寿2年"},
      {1, "[西汉] 平帝 刘衎 元始1年"},
      {250, "[魏] 齐王 曹芳 嘉平2年；[蜀] 后主 刘禅 延熙13年；[吴] 大帝 孙权 赤乌13年"},
      {400, "[东晋] 安帝 司马德宗 隆安4年；[北魏] 道武帝 拓跋珪 天兴3年"},
      {627, "[唐] 太宗 李世民 贞观1年"},
      {700, "[武周] 武则天 武曌 圣历3年；[武周] 武则天 武曌 久视1年"},
      // Eras a later ruler or dynasty went on counting.
      {913, "[后梁] 郢王 朱友珪 凤历1年；[后梁] 末帝 朱友贞 乾化3年"},
      {947,
       "[后汉] 高祖 刘知远 天福12年；[辽] 太宗 耶律德光 会同10年；[辽] 太宗 耶律德光 大同1年；"
       "[辽] 世宗 耶律阮 天禄1年"},
      {960, "[后周] 恭帝 柴宗训 显德7年；[北宋] 太祖 赵匡胤 建隆1年；[辽] 穆宗 耶律璟 应历10年"},
      {1000, "[北宋] 真宗 赵恒 咸平3年；[辽] 圣宗 耶律隆绪 统和18年"},
      {1136, "[南宋] 高宗 赵构 绍兴6年；[金] 熙宗 完颜亶 天会14年"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.year);
    EXPECT_EQ(gbk::ToUtf8(EraNames(r.year)), r.expected);
  }
  EXPECT_EQ(EraNames(-1500), "");  // no Shang reign of that time is dated one by one
}

TEST(LunarReigns, TableIsConsistent) {
  ASSERT_GT(ReignEraCount, 2);
  EXPECT_EQ(ReignEraTable[0].first, -2069);
  const ReignEra& last = ReignEraTable[ReignEraCount - 1];
  EXPECT_EQ(last.first, 1949);
  EXPECT_EQ(last.years, 9999);
  EXPECT_EQ(last.offset, 1948);
  // Within a dynasty the reigns follow on, sharing at most the year of the change;
  // only before the Gonghe regency (841 BC) are some reigns left undated.
  for (int i = 1; i < ReignEraCount; ++i) {
    const ReignEra& a = ReignEraTable[i - 1];
    const ReignEra& b = ReignEraTable[i];
    SCOPED_TRACE(Format("row %d %s %s", i, b.dynasty, b.title));
    EXPECT_GT(b.years, 0);
    if (std::string(a.dynasty) != b.dynasty) continue;
    EXPECT_GE(b.first, a.first + a.years - 1);
    if (b.first > -840) {
      EXPECT_LE(b.first, a.first + a.years);
    }
  }
  // The texts fit the fixed fields of the stored row once in GBK.
  for (int i = 0; i < ReignEraCount; ++i) {
    const ReignEra& r = ReignEraTable[i];
    SCOPED_TRACE(Format("row %d %s %s", i, r.dynasty, r.title));
    EXPECT_LE(gbk::FromUtf8(r.dynasty).size(), 10u);
    EXPECT_LE(gbk::FromUtf8(r.ruler).size(), 10u);
    EXPECT_LE(gbk::FromUtf8(r.name).size(), 30u);
    EXPECT_LE(gbk::FromUtf8(r.title).size(), 10u);
  }
  // Every year from 841 BC on is named, and every name survives the trip into GBK.
  for (int y = -840; y <= 2100; ++y) {
    const std::string names = EraNames(y);
    ASSERT_FALSE(names.empty()) << y;
    ASSERT_EQ(names.find('?'), std::string::npos) << y;
  }
}

}  // namespace
