#include "calendar/Eph0.h"

#include <gtest/gtest.h>

namespace {

struct JdCase {
  const char* name;
  int y, m;
  double day;
  double jd;
};
constexpr JdCase kJdCases[] = {
    {"j2000-noon", 2000, 1, 1.5, 2451545.0},
    {"last-julian-day", 1582, 10, 4, 2299159.5},
    {"first-gregorian-day", 1582, 10, 15, 2299160.5},
    {"gap-day-read-as-julian", 1582, 10, 5, 2299160.5},
    {"julian-epoch", -4712, 1, 1.5, 0.0},
    {"leap-day-2000", 2000, 2, 29, 2451603.5},
    {"year-zero", 0, 3, 1, 1721117.5},
};

TEST(Eph0, DateToJdAcrossTheCalendars) {
  for (const JdCase& c : kJdCases) {
    SCOPED_TRACE(c.name);
    EXPECT_DOUBLE_EQ(DateToJd(c.y, c.m, c.day), c.jd);
    if (c.day == static_cast<int>(c.day) && std::string(c.name) != "gap-day-read-as-julian") {
      const DateTimeFields f = JdToDateFields(c.jd);
      EXPECT_EQ(f.year, c.y);
      EXPECT_EQ(f.month, c.m);
      EXPECT_EQ(f.day, static_cast<int>(c.day));
    }
  }
}

TEST(Eph0, JdRoundTripsEveryDayOverTwoMillennia) {
  for (double jd = 1721057.5; jd < 2451545.0 + 40000; jd += 1) {
    const DateTimeFields f = JdToDateFields(jd);
    ASSERT_DOUBLE_EQ(DateToJd(f.year, f.month, f.day), jd) << f.year << "-" << f.month << "-" << f.day;
  }
}

TEST(Eph0, JdToDateRecRoundsSecondsIntoMinutes) {
  const DateRecord noon = JdToDateRec(2451545.0);
  EXPECT_EQ(noon.year, 2000);
  EXPECT_EQ(noon.month, 1);
  EXPECT_EQ(noon.day, 1);
  EXPECT_EQ(noon.hour, 12);
  EXPECT_EQ(noon.minute, 0);
  DateTimeFields reset;
  ResetDateRec(reset);
  EXPECT_DOUBLE_EQ(DateRecToJd(reset), 2451545.0);

  struct Row {
    const char* name;
    int second;
    int minute;
  };
  for (const Row& r : {Row{"30-stays", 30, 10}, Row{"31-rounds-up", 31, 11}, Row{"59-rounds-up", 59, 11}}) {
    SCOPED_TRACE(r.name);
    const double jd = 2451545.0 + (10 * 60 + r.second + 0.2) / 86400.0;
    EXPECT_EQ(JdToDateRec(jd).minute, r.minute);
  }
  // 23:59:45 rounds into the next day.
  const DateRecord next = JdToDateRec(2451545.0 + (11 * 3600 + 59 * 60 + 45.2) / 86400.0);
  EXPECT_EQ(next.day, 2);
  EXPECT_EQ(next.hour, 0);
  EXPECT_EQ(next.minute, 0);
}

TEST(Eph0, DeltaTJoinsItsPieces) {
  EXPECT_NEAR(DeltaT(2015 - 1e-9), 69.0, 0.31);  // the last row ends at 68.7 s
  EXPECT_NEAR(DeltaT(2015), 69.0, 1e-9);
  EXPECT_NEAR(DeltaT(2115), DeltaTParabola(2115, 31), 1e-9);
  EXPECT_DOUBLE_EQ(DeltaT(2200), DeltaTParabola(2200, 31));
  EXPECT_DOUBLE_EQ(DeltaT(-4000), 108371.7);
  EXPECT_GT(DeltaT(-5000), DeltaT(-4000));  // years before the table use its first row
  // Inside a row the cubic runs from its own a0.
  EXPECT_NEAR(DeltaT(1900), -2.3, 1e-9);
  EXPECT_NEAR(DeltaT(1910), -2.3 + 2.06 * 5 + 0.169 * 25 - 0.0135 * 125, 1e-9);
  EXPECT_NEAR(DeltaT(2000), 63.87, 1e-9);
  EXPECT_NEAR(DeltaTDays(0), 63.87 / 86400, 1e-9);
}

TEST(Eph0, AnglesAndRounding) {
  constexpr double pi = AstroConstants::pi;
  EXPECT_DOUBLE_EQ(NormalizeAngleSigned(pi), pi);
  EXPECT_DOUBLE_EQ(NormalizeAngleSigned(-pi), pi);
  EXPECT_NEAR(NormalizeAngle(-0.5), 2 * pi - 0.5, 1e-12);
  EXPECT_NEAR(NormalizeAngle(5 * pi), pi, 1e-12);
  EXPECT_GE(NormalizeAngle(-4 * pi), 0.0);
  EXPECT_EQ(ToPrecision(2.5, 0), 2);
  EXPECT_EQ(ToPrecision(2.6, 0), 3);
  EXPECT_NEAR(ToPrecision(1.23456, 2), 1.23, 1e-12);
  EXPECT_EQ(FloorInt(-0.5), -1);
  static_assert(AstroConstants::pi == 3.14159265);
  EXPECT_NEAR(AstroConstants::rad, 206264.8, 0.1);
  EXPECT_NEAR(AstroConstants::solarParallax, 4.2635e-5, 1e-8);
}

}  // namespace
