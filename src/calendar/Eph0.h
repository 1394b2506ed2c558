// Dates, time scales and the astronomical constants of the calendar engine.
//
// Julian days (JD) count from noon; d = JD - 2451545 counts days from J2000.0,
// t = d / 36525 Julian centuries. The series take t in dynamical time (TD);
// Beijing time is UT + 8 h. Years are astronomical (year 0 is 1 BCE); dates
// before 1582-10-15 are Julian.
#pragma once

#include <cstdint>

// A Gregorian (or, by context, lunar) date and time.
struct DateRecord {
  int16_t year = 0;
  int16_t month = 0;  // 1..12
  int16_t day = 0;
  int16_t hour = 0;  // 0..23
  int16_t minute = 0;
};

// The engine's working record, with seconds.
struct DateTimeFields {
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
};

namespace astro_detail {
// asin for the tiny arguments below (Earth radius in AU); exact to double precision.
constexpr double SmallAsin(double x) { return x + x * x * x / 6 + 3 * x * x * x * x * x / 40; }
}  // namespace astro_detail

// Constants shared by every unit that computes with them. Compile-time values,
// so no start-up order matters. Pi is the nine-digit value the series were
// tuned with, never the library's.
struct AstroConstants {
  static constexpr double pi = 3.14159265;
  static constexpr double earthRadius = 6378.1366;                                       // km, equatorial
  static constexpr double earthRatio = 0.99664719;                                       // polar / equatorial
  static constexpr double au = 149597870.691;                                            // km
  static constexpr double lightSpeed = 299792.458;                                       // km/s
  static constexpr double synodicPeriods[8] = {116, 584, 780, 399, 378, 370, 367, 367};  // days
  static constexpr double moonRatio1 = 0.2725076;
  static constexpr double moonRatio2 = 0.272281;
  static constexpr double sunRatio = 109.1222;
  static constexpr double sunSemiDiameter = 959.64;  // arcseconds at 1 AU

  static constexpr double meanEarthRadius = 0.99834 * earthRadius;
  static constexpr double earthRatio2 = earthRatio * earthRatio;
  static constexpr double earthRadiusAu = earthRadius / au;
  static constexpr double solarParallax = astro_detail::SmallAsin(earthRadiusAu);  // radians
  static constexpr double lightTimeAu = au / lightSpeed / 86400 / 36525;           // centuries
  static constexpr double rad = 648000 / pi;                                       // arcseconds per radian
  static constexpr double degPerRad = 180 / pi;
  static constexpr double pi2 = 2 * pi;
  static constexpr double piHalf = pi / 2;
  static constexpr double moonRadius1 = moonRatio1 * earthRadius * 1.0000036 * rad;  // arcsec x km
  static constexpr double moonRadius2 = moonRatio2 * earthRadius * 1.0000036 * rad;
};

int32_t FloorInt(double x);
double ToPrecision(double x, int n);
double NormalizeAngle(double a);        // [0, 2pi)
double NormalizeAngleSigned(double a);  // (-pi, pi]

double DateToJd(int year, int month, double dayWithFraction);
double DateRecToJd(const DateTimeFields& f);
DateTimeFields JdToDateFields(double jd);
DateRecord JdToDateRec(double jd);  // seconds rounded into the minutes
void ResetDateRec(DateTimeFields& f);

double DeltaT(double year);  // seconds
double DeltaTParabola(double year, double c);
double DeltaTDays(double d);  // days, for d days from J2000
