#include "calendar/Vodateex.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "classlib/Gbk.h"

namespace {

std::string Utf8(const std::string& gbk) { return gbk::ToUtf8(gbk); }

DateRecord D(int y, int m, int d, int h = 0, int mi = 0) {
  return DateRecord{static_cast<int16_t>(y), static_cast<int16_t>(m), static_cast<int16_t>(d), static_cast<int16_t>(h),
                    static_cast<int16_t>(mi)};
}

TEST(Vodateex, ConvertsTheFirstDayOf2000) {
  MVoDateEx e;
  DateRecord lunar;
  EXPECT_FALSE(e.SolarToLunar(D(2000, 1, 1, 7, 30), lunar));
  EXPECT_EQ(lunar.year, 1999);
  EXPECT_EQ(lunar.month, 11);
  EXPECT_EQ(lunar.day, 25);
  EXPECT_EQ(lunar.hour, 7);
  EXPECT_EQ(lunar.minute, 30);
  EXPECT_EQ(e.DayGanZhi(D(2000, 1, 1)), 55);
  EXPECT_EQ(e.DayNumber(D(2000, 1, 1)), 6);  // Saturday
  DateRecord solar;
  std::string error;
  ASSERT_TRUE(e.LunarToSolar(lunar, solar, false, error));
  EXPECT_EQ(solar.year, 2000);
  EXPECT_EQ(solar.month, 1);
  EXPECT_EQ(solar.day, 1);
  EXPECT_EQ(solar.hour, 7);
}

TEST(Vodateex, EveryDayOf1900To2100RoundTrips) {
  MVoDateEx e;
  DateRecord day = D(1900, 1, 1, 12, 0);
  std::string error;
  int count = 0;
  while (day.year <= 2100) {
    DateRecord lunar, back;
    const bool leap = e.SolarToLunar(day, lunar);
    ASSERT_TRUE(e.LunarToSolar(lunar, back, leap, error)) << day.year << "-" << day.month << "-" << day.day;
    ASSERT_TRUE(back.year == day.year && back.month == day.month && back.day == day.day)
        << day.year << "-" << day.month << "-" << day.day;
    e.NextDay(day);
    ++count;
  }
  EXPECT_EQ(count, 73414);
}

TEST(Vodateex, EveryEraOfTheDayRuleConvertsBothWays) {
  MVoDateEx e;
  struct Row {
    const char* name;
    int year;
  };
  const Row rows[] = {{"ancient-calendars", -300},
                      {"before-the-fits", -1000},
                      {"fitted", 500},
                      {"low-precision-uncorrected", 1500},
                      {"low-precision-corrected", 1800},
                      {"astronomical", 1970},
                      {"far-future", 3000}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    DateRecord day = D(r.year, 1, 1, 12, 0);
    std::string error;
    for (int i = 0; i < 400; ++i, e.NextDay(day)) {
      DateRecord lunar, back;
      const bool leap = e.SolarToLunar(day, lunar);
      ASSERT_GE(lunar.month, 1);
      ASSERT_LE(lunar.month, 13);
      ASSERT_GE(lunar.day, 1);
      ASSERT_LE(lunar.day, 30);
      ASSERT_TRUE(e.LunarToSolar(lunar, back, leap, error)) << day.year << "-" << day.month << "-" << day.day;
      ASSERT_TRUE(back.year == day.year && back.month == day.month && back.day == day.day) << i;
    }
  }
}

TEST(Vodateex, LunarDatesThatDoNotExist) {
  MVoDateEx e;
  struct Row {
    const char* name;
    DateRecord lunar;
    bool leap;
  };
  const Row rows[] = {
      {"leap-in-a-year-without", D(2021, 5, 10), true},
      {"leap-of-the-wrong-month", D(2020, 5, 10), true},
      {"day-30-of-a-short-month", D(2024, 1, 30), false},  // 2024's first month has 29 days
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    DateRecord solar;
    std::string error;
    EXPECT_FALSE(e.LunarToSolar(r.lunar, solar, r.leap, error));
    EXPECT_EQ(Utf8(error), "不存在这个农历日期，无法转换到公历！");
  }
  // Day 30 of a long second month still converts (the guess is clamped to the 28th).
  DateRecord solar;
  std::string error;
  ASSERT_TRUE(e.LunarToSolar(D(2023, 2, 30), solar, false, error));
  DateRecord back;
  e.SolarToLunar(solar, back);
  EXPECT_EQ(back.month, 2);
  EXPECT_EQ(back.day, 30);
}

TEST(Vodateex, ValidDates) {
  MVoDateEx e;
  struct Row {
    const char* name;
    DateRecord date;
    bool valid;
  };
  const Row rows[] = {
      {"ordinary", D(2024, 3, 31, 23, 59), true},
      {"leap-day", D(2024, 2, 29), true},
      {"no-leap-day", D(2023, 2, 29), false},
      {"julian-1500-leap", D(1500, 2, 29), true},
      {"gregorian-1900", D(1900, 2, 29), false},
      {"april-31", D(2024, 4, 31), false},
      {"gap-first", D(1582, 10, 5), false},
      {"gap-last", D(1582, 10, 14), false},
      {"before-gap", D(1582, 10, 4), true},
      {"after-gap", D(1582, 10, 15), true},
      {"october-1582-end", D(1582, 10, 31), true},
      {"month-0", D(2024, 0, 10), false},
      {"month-13", D(2024, 13, 1), false},
      {"day-0", D(2024, 5, 0), false},
      {"negative-day", D(2024, 5, -3), false},
      {"hour-24", D(2024, 5, 1, 24, 0), false},
      {"negative-hour", D(2024, 5, 1, -1, 0), false},
      {"minute-60", D(2024, 5, 1, 10, 60), false},
      {"december-31", D(1999, 12, 31), true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(e.IsValidDate(r.date), r.valid);
  }
}

TEST(Vodateex, ChineseNumerals) {
  MVoDateEx e;
  struct Row {
    int n;
    const char* text;
  };
  const Row rows[] = {{1, "一"},          {9, "九"},         {10, "十"},   {11, "十一"},     {19, "十九"},
                      {20, "二十"},       {21, "廿一"},      {29, "廿九"}, {30, "三十"},     {31, "三一"},
                      {99, "九九"},       {100, "一○○"},     {0, "○○○○"},  {2008, "二○○八"}, {-3, "前三"},
                      {-221, "前二二一"}, {9999, "九九九九"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.n);
    EXPECT_EQ(Utf8(e.ChineseNumeral(static_cast<int16_t>(r.n))), r.text);
  }
  // Each call returns its own text.
  const std::string a = e.ChineseNumeral(5), b = e.ChineseNumeral(6);
  EXPECT_NE(a, b);
}

TEST(Vodateex, StemBranchIndexCoversTheCycle) {
  MVoDateEx e;
  for (int i = 0; i < 60; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(e.GanZhiIndex(static_cast<int16_t>(i % 10), static_cast<int16_t>(i % 12)), i);
  }
  // Days before the epoch of the day count stay in 0..59.
  EXPECT_EQ(e.DayGanZhi(D(-4712, 1, 1)), (0 + 50) % 60);
  const int before = e.DayGanZhi(D(-5000, 3, 1));
  EXPECT_GE(before, 0);
  EXPECT_LT(before, 60);
  EXPECT_GE(e.DayNumber(D(-5000, 3, 1)), 0);
}

TEST(Vodateex, SolarTermsOfAYearAndAMonth) {
  MVoDateEx e;
  SolarTermEntry terms[40];
  e.SolarTermsOfYear(2000, terms);
  int n = 0;
  while (terms[n].date.year != -5000) ++n;
  ASSERT_EQ(n, 24);
  EXPECT_EQ(terms[0].index, 0);  // 小寒
  EXPECT_EQ(terms[0].date.month, 1);
  EXPECT_EQ(terms[0].date.day, 6);
  EXPECT_EQ(terms[23].index, 23);  // 冬至
  EXPECT_EQ(terms[23].date.month, 12);
  EXPECT_EQ(terms[23].date.day, 21);
  for (int i = 1; i < 24; ++i) EXPECT_EQ(terms[i].index, i);

  DateRecord lichun;
  e.SolarTermOfMonth(2000, 2, true, lichun);
  EXPECT_EQ(lichun.month, 2);
  EXPECT_EQ(lichun.day, 4);
  DateRecord dahan;
  e.SolarTermOfMonth(2000, 1, false, dahan);
  EXPECT_EQ(dahan.month, 1);
  EXPECT_EQ(dahan.day, 21);
}

TEST(Vodateex, SolarMonthTurnsAtTheInstantOfTheTerm) {
  MVoDateEx e;
  DateRecord lichun;
  e.SolarTermOfMonth(2024, 2, true, lichun);  // 2024-02-04 16:27 Beijing time
  DateRecord terms[3];
  DateRecord before = lichun;
  before.minute -= 2;
  if (before.minute < 0) before.minute += 60, before.hour -= 1;
  EXPECT_EQ(e.SolarMonthIndex(before, terms), 2);  // still the 丑 month of 小寒
  DateRecord after = lichun;
  after.minute += 1;
  if (after.minute > 59) after.minute -= 60, after.hour += 1;
  EXPECT_EQ(e.SolarMonthIndex(after, terms), 3);  // 寅
  EXPECT_EQ(terms[0].day, lichun.day);
  EXPECT_EQ(terms[0].hour, lichun.hour);
  EXPECT_EQ(e.SolarMonthIndex(D(2023, 12, 25, 12, 0), terms), 1);  // 子, the month of 大雪
}

TEST(Vodateex, LocalAndTrueSolarTime) {
  MVoDateEx e;
  DateRecord d = D(2024, 6, 1, 12, 0);
  EXPECT_EQ(e.LocalTimeCorrection(120.0f, d, 2), 0);
  EXPECT_EQ(d.hour, 12);
  EXPECT_EQ(d.minute, 0);
  d = D(2024, 6, 1, 12, 0);
  e.LocalTimeCorrection(90.0f, d, 2);  // 30 degrees west: two hours earlier
  EXPECT_EQ(d.hour, 10);
  EXPECT_EQ(d.minute, 0);
  d = D(2024, 1, 1, 0, 10);
  e.LocalTimeCorrection(116.0f, d, 2);  // 16 minutes back over midnight
  EXPECT_EQ(d.year, 2023);
  EXPECT_EQ(d.day, 31);
  EXPECT_EQ(d.hour, 23);
  EXPECT_EQ(d.minute, 54);
  // Early November the sun runs about 16 minutes ahead of the clock.
  d = D(2024, 11, 3, 12, 0);
  const int s = e.LocalTimeCorrection(120.0f, d, 1);
  EXPECT_NEAR(s, 16 * 60 + 26, 30);
  EXPECT_EQ(d.hour, 12);
  EXPECT_EQ(d.minute, 16);
}

// Off the globe there is no local time: the date stays as given, and no conversion of
// a huge number of seconds overflows (run under UBSan).
TEST(Vodateex, LocalTimeOffTheGlobeLeavesTheDate) {
  MVoDateEx e;
  for (float longitude : {1e9f, -1e9f, std::numeric_limits<float>::quiet_NaN(), 180.5f}) {
    for (int mode : {1, 2}) {
      SCOPED_TRACE(std::to_string(longitude) + " mode " + std::to_string(mode));
      DateRecord d = D(1990, 5, 5, 10, 30);
      EXPECT_EQ(e.LocalTimeCorrection(longitude, d, mode), 0);
      EXPECT_EQ(d.year, 1990);
      EXPECT_EQ(d.month, 5);
      EXPECT_EQ(d.day, 5);
      EXPECT_EQ(d.hour, 10);
      EXPECT_EQ(d.minute, 30);
    }
  }
}

}  // namespace
