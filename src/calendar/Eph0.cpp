#include "calendar/Eph0.h"

#include <cmath>

namespace {

constexpr double kPi2 = AstroConstants::pi2;

// ΔT polynomial rows: from year y0, t = (y - y0) / (next y0 - y0) * 10.
struct DeltaTRow {
  double y0, a0, a1, a2, a3;
};
constexpr DeltaTRow kDeltaT[] = {
    {-4000, 108371.7, -13036.8, 392.0, 0},
    {-500, 17201.0, -627.82, 16.17, -0.3413},
    {-150, 12200.6, -346.41, 5.403, -0.1593},
    {150, 9113.8, -328.13, -1.647, 0.0377},
    {500, 5707.5, -391.41, 0.915, 0.3145},
    {900, 2203.4, -283.45, 13.034, -0.1778},
    {1300, 490.1, -57.35, 2.085, -0.0072},
    {1600, 120.0, -9.81, -1.532, 0.1403},
    {1700, 10.2, -0.91, 0.51, -0.037},
    {1800, 13.4, -0.72, 0.202, -0.0193},
    {1830, 7.8, -1.81, 0.416, -0.0247},
    {1860, 8.3, -0.13, -0.406, 0.0292},
    {1880, -5.4, 0.32, -0.183, 0.0173},
    {1900, -2.3, 2.06, 0.169, -0.0135},
    {1920, 21.2, 1.69, -0.304, 0.0167},
    {1940, 24.2, 1.22, -0.064, 0.0031},
    {1960, 33.2, 0.51, 0.231, -0.0109},
    {1980, 51.0, 1.29, -0.026, 0.0032},
    {2000, 63.87, 0.1, 0, 0},
    {2005, 64.7, 0.4, 0, 0},
    {2015, 69.0, 0, 0, 0},  // end row: closes the last interval
};
constexpr int kDeltaTRows = sizeof(kDeltaT) / sizeof(kDeltaT[0]);
static_assert(kDeltaTRows == 21);

}  // namespace

int32_t FloorInt(double x) { return static_cast<int32_t>(std::floor(x)); }

double ToPrecision(double x, int n) {
  const double p = std::pow(10.0, n);
  const double lo = std::floor(x * p);
  const double hi = std::ceil(x * p);
  return (hi - x * p < x * p - lo ? hi : lo) / p;
}

double NormalizeAngle(double a) {
  double v = a - kPi2 * std::trunc(a / kPi2);
  if (v < 0) v += kPi2;
  return v;
}

double NormalizeAngleSigned(double a) {
  double v = a - kPi2 * std::trunc(a / kPi2);
  if (v <= -AstroConstants::pi) v += kPi2;
  if (v > AstroConstants::pi) v -= kPi2;
  return v;
}

double DateToJd(int year, int month, double day) {
  const bool gregorian = 372.0 * year + 31.0 * month + std::floor(day) >= 588829;
  int y = year, m = month;
  if (m < 3) {
    m += 12;
    y -= 1;
  }
  double b = 0;
  if (gregorian) {
    const double a = std::floor(y / 100.0);
    b = 2 - a + std::floor(a / 4);
  }
  return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + day + b - 1524.5;
}

double DateRecToJd(const DateTimeFields& f) {
  return DateToJd(f.year, f.month, f.day + (f.hour + (f.minute + f.second / 60.0) / 60.0) / 24.0);
}

DateTimeFields JdToDateFields(double jd) {
  DateTimeFields r;
  double z = FloorInt(jd + 0.5);
  const double f = jd + 0.5 - z;
  if (z >= 2299161) {
    const int32_t alpha = FloorInt((z - 1867216.25) / 36524.25);
    z = z + 1 + alpha - FloorInt(alpha / 4.0);
  }
  const double b = z + 1524;
  const int32_t c = FloorInt((b - 122.1) / 365.25);
  const int32_t d = FloorInt(365.25 * c);
  const int32_t e = FloorInt((b - d) / 30.601);
  r.day = static_cast<int32_t>(b - d - FloorInt(30.601 * e));
  if (e < 14) {
    r.month = e - 1;
    r.year = c - 4716;
  } else {
    r.month = e - 13;
    r.year = c - 4715;
  }
  const double h = 24 * f;
  r.hour = FloorInt(h);
  const double m = 60 * (h - r.hour);
  r.minute = FloorInt(m);
  r.second = static_cast<int32_t>(std::trunc(60 * (m - r.minute)));
  return r;
}

DateRecord JdToDateRec(double jd) {
  DateTimeFields f = JdToDateFields(jd);
  if (f.second > 30) f = JdToDateFields(jd - f.second / 86400.0 + 1 / 1440.0 + 1 / 17280.0);
  DateRecord r;
  r.year = static_cast<int16_t>(f.year);
  r.month = static_cast<int16_t>(f.month);
  r.day = static_cast<int16_t>(f.day);
  r.hour = static_cast<int16_t>(f.hour);
  r.minute = static_cast<int16_t>(f.minute);
  return r;
}

void ResetDateRec(DateTimeFields& f) { f = DateTimeFields{2000, 1, 1, 12, 0, 0}; }

double DeltaTParabola(double year, double c) {
  const double x = (year - 1820) / 100;
  return -20 + c * x * x;
}

double DeltaT(double y) {
  if (y >= 2015) {
    const double p = DeltaTParabola(y, 31);
    if (y > 2115) return p;
    return p - (2115 - y) * (DeltaTParabola(2015, 31) - 69.0) / 100;
  }
  int i = 0;
  while (i + 2 < kDeltaTRows && y >= kDeltaT[i + 1].y0) ++i;
  const DeltaTRow& r = kDeltaT[i];
  const double t = (y - r.y0) / (kDeltaT[i + 1].y0 - r.y0) * 10;
  return r.a0 + t * (r.a1 + t * (r.a2 + t * r.a3));
}

double DeltaTDays(double d) { return DeltaT(2000 + d / 365.2425) / 86400; }
