#include "tools/MonthView.h"

#include <gtest/gtest.h>

#include "classlib/Gbk.h"

namespace {

std::string U8(const std::string& gbkText) { return gbk::ToUtf8(gbkText); }

class MonthViewTest : public ::testing::Test {
 protected:
  MVoDateEx calendar;
  MMonthView view{calendar};
};

TEST_F(MonthViewTest, January2000) {
  ASSERT_TRUE(view.Build({2000, 1, 1, 12, 0}));
  EXPECT_EQ(view.daysInMonth, 31);
  EXPECT_EQ(view.firstColumn, 5);  // Saturday
  ASSERT_EQ(view.cells.size(), 31u);
  EXPECT_EQ(view.cells[0].row, 1);
  EXPECT_EQ(view.cells[0].column, 5);
  EXPECT_EQ(U8(view.cells[0].upper), "1月");
  EXPECT_EQ(U8(view.cells[0].lower), "十一月廿五");
  EXPECT_EQ(U8(view.cells[5].upper), "6 小寒");
  EXPECT_TRUE(view.cells[5].termDay);
  EXPECT_EQ(U8(view.cells[6].lower), "十二月初一");
  EXPECT_EQ(U8(view.heading), "2000年1月");
  EXPECT_EQ(U8(view.ganZhiText), "己卯年\r\n丙子月\r\n戊午日\r\n戊午时");
  EXPECT_NE(U8(view.titleText).find("【兔年】"), std::string::npos);
  EXPECT_EQ(U8(view.termsText).rfind("小寒:6日", 0), 0u);
  EXPECT_NE(U8(view.termsText).find("大寒:21日"), std::string::npos);
}

TEST_F(MonthViewTest, October1582SkipsTenDays) {
  ASSERT_TRUE(view.Build({1582, 10, 20, 12, 0}));
  EXPECT_EQ(view.daysInMonth, 21);
  ASSERT_EQ(view.cells.size(), 21u);
  EXPECT_EQ(view.cells[3].day, 4);
  EXPECT_EQ(view.cells[4].day, 15);
  EXPECT_EQ(view.cells[20].day, 31);
  // The fifth cell of the month is the 15th; the cell before the 1st is nothing.
  EXPECT_EQ(view.DayAtCell(view.firstColumn + 4), 15);
  EXPECT_EQ(view.DayAtCell(view.firstColumn + 3), 4);
  EXPECT_EQ(view.DayAtCell(view.firstColumn - 1), 0);
  EXPECT_EQ(view.DayAtCell(view.firstColumn + 21), 0);
}

TEST_F(MonthViewTest, DatesThatDoNotExist) {
  struct Row {
    DateRecord date;
    int days;
  } rows[] = {
      {{2023, 4, 31, 0, 0}, 0},   {{2023, 4, 30, 0, 0}, 30}, {{2024, 2, 29, 0, 0}, 29},  {{2023, 2, 29, 0, 0}, 0},
      {{1582, 10, 4, 0, 0}, 21},  {{1582, 10, 5, 0, 0}, 0},  {{1582, 10, 14, 0, 0}, 0},  {{1582, 10, 15, 0, 0}, 21},
      {{1582, 10, 31, 0, 0}, 21}, {{1500, 2, 29, 0, 0}, 29}, {{2023, 12, 31, 0, 0}, 31},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.date.year << "-" << r.date.month << "-" << r.date.day);
    EXPECT_EQ(view.CheckDate(r.date), r.days);
  }
  EXPECT_FALSE(view.Build({2023, 4, 31, 0, 0}));
  EXPECT_EQ(U8(view.lastError), "不存在这个日期，请重新输入！");
}

TEST_F(MonthViewTest, YearsWithoutAYearZero) {
  EXPECT_FALSE(view.CheckYear(0));
  EXPECT_EQ(U8(view.lastError), "年份在-4713 到 9999之间");
  EXPECT_FALSE(view.CheckYear(-4714));
  EXPECT_FALSE(view.CheckYear(10000));
  EXPECT_TRUE(view.CheckYear(-4713));
  EXPECT_TRUE(view.CheckYear(9999));
  EXPECT_EQ(MMonthView::ToInternalYear(-1), 0);
  EXPECT_EQ(MMonthView::ToInternalYear(1), 1);
  EXPECT_EQ(MMonthView::ToHistoricalYear(0), -1);
  EXPECT_EQ(MMonthView::ToHistoricalYear(-4712), -4713);
  ASSERT_TRUE(view.Build({0, 12, 1, 12, 0}));
  EXPECT_EQ(U8(view.heading), "-1年12月");
}

TEST_F(MonthViewTest, LateHourBelongsToTheNextDay) {
  int noon[4], late[4], next[4];
  view.Pillars({2000, 1, 1, 12, 0}, noon);
  view.Pillars({2000, 1, 1, 23, 0}, late);
  view.Pillars({2000, 1, 2, 0, 30}, next);
  EXPECT_EQ(late[2], (noon[2] + 1) % 60);
  EXPECT_EQ(late[2], next[2]);
  EXPECT_EQ(late[3], next[3]);
  EXPECT_EQ(late[3] % 12, 1);  // 子
}

TEST_F(MonthViewTest, YearPillarTurnsAtSpringStart) {
  // 立春 2000 fell on 4 February at about 20:40 Beijing time.
  int before[4], after[4];
  view.Pillars({2000, 2, 4, 12, 0}, before);
  view.Pillars({2000, 2, 5, 12, 0}, after);
  EXPECT_EQ(before[0], 16);  // 己卯
  EXPECT_EQ(after[0], 17);   // 庚辰
  EXPECT_EQ(after[1], 15);   // 戊寅, the first month of a 庚 year
}

TEST_F(MonthViewTest, MonthStemStaysInRangeBeforeOurEra) {
  for (int y : {-4712, -1000, 0, 1}) {
    SCOPED_TRACE(y);
    int p[4];
    view.Pillars({static_cast<int16_t>(y), 6, 15, 12, 0}, p);
    for (int v : p) {
      EXPECT_GE(v, 0);
      EXPECT_LT(v, 60);
    }
    // A month pillar's stem and branch have the same parity.
    EXPECT_EQ((p[1] % 10) % 2, (p[1] % 12) % 2);
  }
}

}  // namespace
