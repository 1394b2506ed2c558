#include "calendar/Eph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "calendar/Eph0.h"
#include "calendar/SeriesTables.h"

namespace {

#include "calendar/ReferenceSeries.inc"

constexpr double kPi = AstroConstants::pi;
constexpr double kRad = AstroConstants::rad;
constexpr double kJ2000 = 2451545;

// --- The reference: whole VSOP87D and ELP/MPP02 down to 0.001" -------------

double SumVsop(const double* f, int n, double tau) {
  double s = 0;
  for (int i = 0; i < n; i += 3) s += f[i] * std::cos(f[i + 1] + f[i + 2] * tau);
  return s;
}

// Heliocentric ecliptic coordinate of date: 0 L, 1 B (rad), 2 R (AU).
double RefEarth(int coordinate, double t) {
  const double tau = t / 10;
  const double* f[3][6] = {{kRefEarthL0, kRefEarthL1, kRefEarthL2, kRefEarthL3, kRefEarthL4, kRefEarthL5},
                           {kRefEarthB0, kRefEarthB1, kRefEarthB2, kRefEarthB3, kRefEarthB4, kRefEarthB5},
                           {kRefEarthR0, kRefEarthR1, kRefEarthR2, kRefEarthR3, kRefEarthR4, kRefEarthR5}};
  const int n[3][6] = {
      {kRefEarthL0Count, kRefEarthL1Count, kRefEarthL2Count, kRefEarthL3Count, kRefEarthL4Count, kRefEarthL5Count},
      {kRefEarthB0Count, kRefEarthB1Count, kRefEarthB2Count, kRefEarthB3Count, kRefEarthB4Count, kRefEarthB5Count},
      {kRefEarthR0Count, kRefEarthR1Count, kRefEarthR2Count, kRefEarthR3Count, kRefEarthR4Count, kRefEarthR5Count}};
  double s = 0, p = 1;
  for (int j = 0; j < 6; ++j, p *= tau) s += SumVsop(f[coordinate][j], n[coordinate][j], tau) * p;
  return s;
}

double SumMoon(const double* f, int n, double t) {
  const double q2 = t * t / 1e4, q3 = t * t * t / 1e8, q4 = t * t * t * t / 1e8;
  double s = 0;
  for (int i = 0; i < n; i += 6)
    s += f[i] * std::cos(f[i + 1] + f[i + 2] * t + f[i + 3] * q2 + f[i + 4] * q3 + f[i + 5] * q4);
  return s;
}

// The periodic part of a Moon coordinate (arcseconds or km).
double RefMoonPeriodic(int coordinate, double t) {
  const double* f[3][4] = {{kRefMoonLongitude0, kRefMoonLongitude1, kRefMoonLongitude2, kRefMoonLongitude3},
                           {kRefMoonLatitude0, kRefMoonLatitude1, kRefMoonLatitude2, kRefMoonLatitude3},
                           {kRefMoonDistance0, kRefMoonDistance1, kRefMoonDistance2, kRefMoonDistance3}};
  const int n[3][4] = {
      {kRefMoonLongitude0Count, kRefMoonLongitude1Count, kRefMoonLongitude2Count, kRefMoonLongitude3Count},
      {kRefMoonLatitude0Count, kRefMoonLatitude1Count, kRefMoonLatitude2Count, kRefMoonLatitude3Count},
      {kRefMoonDistance0Count, kRefMoonDistance1Count, kRefMoonDistance2Count, kRefMoonDistance3Count}};
  double s = 0, p = 1;
  for (int j = 0; j < 4; ++j, p *= t) s += SumMoon(f[coordinate][j], n[coordinate][j], t) * p;
  return s;
}

// The program's mean longitude (W1 + precession) with no periodic terms: the
// truncated series at budget 0 minus its one remaining term per higher power
// would restate the code, so it is taken from the series with no terms.
double MeanMoonLongitude(double t) {
  const double t2 = t * t, t3 = t2 * t, t4 = t3 * t, t5 = t4 * t;
  return (3.81034409 + 8399.684730072 * t - 3.319e-5 * t2 + 3.11e-8 * t3 - 2.033e-10 * t4) * kRad + 5028.792262 * t +
         1.1124406 * t2 + 7.699e-5 * t3 - 2.3479e-5 * t4 - 1.78e-8 * t5;
}

double FrameCorrection(double tau) {
  return (-0.0728 - 2.7702 * tau - 1.1019 * tau * tau - 0.0996 * tau * tau * tau) / kRad;
}

double RefSunApparent(double t) {
  return RefEarth(0, t) + FrameCorrection(t / 10) + eph::NutationLongitude(t) + eph::SolarAberration(t) + kPi;
}

double RefElongation(double t) {
  const double moon = (MeanMoonLongitude(t) + RefMoonPeriodic(0, t)) / kRad + eph::LunarAberration(t);
  return moon - (RefEarth(0, t) + FrameCorrection(t / 10) + eph::SolarAberration(t) + kPi);
}

// Newton on a total angle: t where f(t) = w, starting from t0.
template <class F>
double Solve(F f, double w, double t0, double rate) {
  double t = t0;
  for (int i = 0; i < 4; ++i) t += (w - f(t)) / rate;
  return t;
}

// --- The tables --------------------------------------------------------------

TEST(EphTables, EarthSeriesKeepsTheQuotedTermsAndIndexes) {
  const int ends[18] = {578,  920,  1100, 1124, 1136, 1148, 1217, 1226, 1229,
                        1229, 1229, 1229, 1937, 2363, 2618, 2633, 2660, 2666};
  EXPECT_EQ(eph::PlanetSeriesTable[0], 1e10);
  EXPECT_EQ(eph::PlanetSeriesTable[1], 20);
  for (int i = 0; i < 18; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(eph::PlanetSeriesTable[2 + i], ends[i]);
    EXPECT_EQ(eph::PlanetSeriesIndex[2 + i], ends[i]);
  }
  const double* t = eph::PlanetSeriesTable + 20;
  EXPECT_EQ(t[0], 17534704567);
  EXPECT_EQ(t[1], 0);
  EXPECT_EQ(t[2], 0);
  EXPECT_EQ(t[3], 334165646);
  EXPECT_EQ(t[4], 4.669256804);
  EXPECT_EQ(t[5], 6283.075849991);
  const double* r0 = eph::PlanetSeriesTable + 1229;
  EXPECT_EQ(r0[0], 10001398880);
  // Largest first within each sub-series, so a budget keeps the largest terms.
  for (int j = 0; j < 18; ++j) {
    const int start = j == 0 ? 20 : eph::PlanetSeriesIndex[1 + j];
    for (int i = start + 3; i < eph::PlanetSeriesIndex[2 + j]; i += 3)
      ASSERT_GE(std::fabs(eph::PlanetSeriesTable[i - 3]), std::fabs(eph::PlanetSeriesTable[i])) << j << " " << i;
  }
}

TEST(EphTables, MoonSeriesKeepsTheQuotedTermAndCounts) {
  const double* m = eph::MoonSeriesTable[0][0];
  const double quoted[6] = {22639.586, 0.78475822, 8328.691424623, 1.5229241, 25.0719, -0.123598};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(m[i], quoted[i]) << i;
  const int counts[3][4] = {{2652, 894, 204, 12}, {1236, 270, 72, 0}, {1326, 312, 72, 0}};
  for (int c = 0; c < 3; ++c)
    for (int p = 0; p < 4; ++p) {
      SCOPED_TRACE(testing::Message() << "coordinate " << c << " power " << p);
      EXPECT_EQ(eph::MoonSeriesCount[c][p], counts[c][p]);
      const double* f = eph::MoonSeriesTable[c][p];
      for (int i = 6; i < counts[c][p]; i += 6) ASSERT_GE(std::fabs(f[i - 6]), std::fabs(f[i]));
    }
}

// --- The reference against the theories' own check values --------------------

TEST(EphReference, EarthMatchesTheVsop87CheckValues) {
  struct Row {
    double jd, l, b, r;
  };
  for (const Row& c : {Row{2451545.0, 1.7519238681, -0.0000039656, 0.9833276819},
                       Row{2415020.0, 1.7391225563, -0.0000005679, 0.9832689778},
                       Row{2305445.0, 1.7006065938, -0.0000016359, 0.9831254376}}) {
    SCOPED_TRACE(c.jd);
    const double t = (c.jd - kJ2000) / 36525;
    // Reduced with the full-precision pi: the theory's own check values use it.
    const double l = std::fmod(RefEarth(0, t), 2 * std::numbers::pi);
    EXPECT_NEAR(l < 0 ? l + 2 * std::numbers::pi : l, c.l, 2e-10);
    EXPECT_NEAR(RefEarth(1, t), c.b, 2e-10);
    EXPECT_NEAR(RefEarth(2, t), c.r, 2e-10);
  }
}

// Geocentric Moon in the inertial ecliptic and equinox of J2000, km.
void RefMoonJ2000(double t, double xyz[3]) {
  const double v = (MeanMoonLongitude(t) + RefMoonPeriodic(0, t) -
                    ((5029.0966 - 0.29965) * t + 1.1120 * t * t + 0.000077 * t * t * t - 0.00002353 * t * t * t * t)) /
                   kRad;
  const double u = RefMoonPeriodic(1, t) / kRad;
  const double r = RefMoonPeriodic(2, t);
  const double x0 = r * std::cos(v) * std::cos(u), y0 = r * std::sin(v) * std::cos(u), z0 = r * std::sin(u);
  const double t2 = t * t, t3 = t2 * t, t4 = t3 * t, t5 = t4 * t;
  const double p = 0.10180391e-4 * t + 0.47020439e-6 * t2 - 0.5417367e-9 * t3 - 0.2507948e-11 * t4 + 0.463486e-14 * t5;
  const double q =
      -0.113469002e-3 * t + 0.12372674e-6 * t2 + 0.1265417e-8 * t3 - 0.1371808e-11 * t4 - 0.320334e-14 * t5;
  const double s = std::sqrt(1 - p * p - q * q);
  xyz[0] = (1 - 2 * p * p) * x0 + 2 * p * q * y0 + 2 * p * s * z0;
  xyz[1] = 2 * p * q * x0 + (1 - 2 * q * q) * y0 - 2 * q * s * z0;
  xyz[2] = -2 * p * s * x0 + 2 * q * s * y0 + (1 - 2 * p * p - 2 * q * q) * z0;
}

TEST(EphReference, MoonMatchesTheElpMpp02CheckValues) {
  // The authors' DE405-fit values (km); our mean longitude differs from theirs by
  // 0.005"/cy of precession, a few metres over these spans.
  struct Row {
    double jd, x, y, z;
  };
  for (const Row& c : {Row{2451545.0, -291608.32301379, -274979.80729979, 36271.17621224},
                       Row{2500000.5, 274034.59103188, 252067.53689001, -18998.75519062},
                       Row{2440000.5, 359052.19039476, 185686.55965206, 5632.45262934},
                       Row{2420000.5, 393311.75610618, 95118.96341824, 11599.65659483}}) {
    SCOPED_TRACE(c.jd);
    double xyz[3];
    RefMoonJ2000((c.jd - kJ2000) / 36525, xyz);
    EXPECT_NEAR(xyz[0], c.x, 0.5);
    EXPECT_NEAR(xyz[1], c.y, 0.5);
    EXPECT_NEAR(xyz[2], c.z, 0.5);
  }
}

// --- The program's truncated series against the reference ----------------------

TEST(EphAccuracy, TruncatedSeriesStayCloseToTheReference) {
  for (double year = 1900; year <= 2100; year += 3.7) {
    SCOPED_TRACE(year);
    const double t = (year - 2000) / 100;
    EXPECT_NEAR(eph::EarthSeries(0, t, -1), RefEarth(0, t) + FrameCorrection(t / 10), 0.2 / kRad);
    EXPECT_NEAR(eph::EarthSeries(2, t, -1), RefEarth(2, t), 1e-7);
    EXPECT_NEAR(eph::MoonSeries(0, t, -1), (MeanMoonLongitude(t) + RefMoonPeriodic(0, t)) / kRad, 2.0 / kRad);
    EXPECT_NEAR(eph::MoonSeries(1, t, -1), RefMoonPeriodic(1, t) / kRad, 2.0 / kRad);
    EXPECT_NEAR(eph::MoonSeries(2, t, -1), RefMoonPeriodic(2, t), 2.0);
  }
}

TEST(EphAccuracy, EverySolarTermAndNewMoonOf1900To2100WithinAMinute) {
  constexpr double kMinute = 1.0 / 1440 / 36525;
  double worstTerm = 0, worstMoon = 0;
  // Solar terms: W = k * 15 degrees from J2000's spring equinox revolution count.
  for (int k = -2420; k <= 2420; ++k) {
    const double w = kPi * 2 * (k / 24.0) + kPi * 2 * (1 - 75 / 360.0) - kPi * 2;
    const double t = eph::SolarTermTime(w);
    const double ref = Solve(RefSunApparent, w, t, 628.3319653318);
    worstTerm = std::max(worstTerm, std::fabs(t - ref));
    ASSERT_LT(std::fabs(t - ref), kMinute) << "term " << k;
  }
  for (int k = -1240; k <= 1240; ++k) {
    const double w = kPi * 2 * k;
    const double t = eph::NewMoonTime(w);
    const double ref = Solve(RefElongation, w, t, eph::MoonAngularVelocity(t) - eph::SunAngularVelocity(t));
    worstMoon = std::max(worstMoon, std::fabs(t - ref));
    ASSERT_LT(std::fabs(t - ref), kMinute) << "new moon " << k;
  }
  std::printf("worst solar term %.1f s, worst new moon %.1f s\n", worstTerm * 36525 * 86400, worstMoon * 36525 * 86400);
}

// --- Known instants ------------------------------------------------------------

TEST(EphInstants, FirstTermAndNewMoonOf2000) {
  // 小寒 of 2000 (285 degrees in the first revolution) falls on 2000-01-06 in Beijing time.
  const double t = eph::SolarTermTime(2 * kPi * (1 - 75 / 360.0)) * 36525;
  const DateRecord xiaohan = JdToDateRec(t - DeltaTDays(t) + kJ2000 + 1.0 / 3);
  EXPECT_EQ(xiaohan.year, 2000);
  EXPECT_EQ(xiaohan.month, 1);
  EXPECT_EQ(xiaohan.day, 6);
  // The new moon of 2000-01-06 18 h UT, JD 2451550.26 in dynamical time.
  EXPECT_NEAR(eph::NewMoonTime(0) * 36525 + kJ2000, 2451550.26, 0.005);
  EXPECT_NEAR(eph::NewMoonTimeFast(0) * 36525 + kJ2000, 2451550.26, 0.01);
  EXPECT_NEAR(eph::SolarTermTimeFast(2 * kPi * (1 - 75 / 360.0)) * 36525, t, 0.01);
  EXPECT_EQ(eph::LunarAberration(-30), eph::LunarAberration(7));
}

TEST(EphInstants, EquationOfTimeAtItsExtremes) {
  // About +14.2 min in mid-February and -16.4 min at the start of November.
  struct Row {
    const char* name;
    double jd;
    double minutes;
  };
  for (const Row& r : {Row{"february", 2451589.5, -14.2}, Row{"november", 2451849.5, 16.4}}) {
    SCOPED_TRACE(r.name);
    const double t = (r.jd - kJ2000) / 36525;
    EXPECT_NEAR(eph::EquationOfTime(t) * 1440, r.minutes, 0.3);
  }
}

}  // namespace
