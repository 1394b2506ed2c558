#include "calendar/Eph.h"

#include <cmath>

#include "calendar/Eph0.h"
#include "calendar/SeriesTables.h"

namespace eph {
namespace {

constexpr double kPi = AstroConstants::pi;
constexpr double kPi2 = AstroConstants::pi2;
constexpr double kRad = AstroConstants::rad;

// Nutation in longitude: B0, B1, B2 (phase polynomial), A (0.01").
struct NutationRow {
  double b0, b1, b2, a;
};
constexpr NutationRow kNutation[] = {
    {2.1824, -33.75705, 3.6e-5, -1720},
    {3.5069, 1256.66393, 1.1e-5, -132},
    {1.3375, 16799.4182, -5.1e-5, -23},
    {4.3649, -67.5141, 7.2e-5, 21},
    {0.04, -628.302, 0, -14},
    {2.36, 8328.691, 0, 7},
    {3.46, 1884.966, 0, -5},
    {5.44, 16833.175, 0, -4},
    {3.69, 25128.11, 0, -3},
    {3.55, 628.362, 0, 2},
};
static_assert(sizeof(kNutation) / sizeof(kNutation[0]) == 10);

// Lunar inequalities of the angular velocity: amplitude, phase, rate.
struct WaveRow {
  double a, p, r;
};
constexpr WaveRow kMoonWaves[] = {
    {179, 2.543, 15542.7543}, {160, 0.1874, 7214.0629}, {62, 3.14, 16657.3828}, {34, 4.827, 16866.9323},
    {22, 4.9, 23871.4457},    {12, 2.59, 14914.4523},   {7, 0.23, 6585.7609},   {5, 0.9, 25195.624},
    {5, 2.32, -7700.3895},    {5, 3.88, 8956.9934},     {5, 0.49, 7771.3771},
};

constexpr double kSunRate = 628.3319653318;
constexpr double kMoonRate = 7771.37714500204;

double SumEarthTerms(const double* terms, int count, double tau) {
  double s = 0;
  for (int i = 0; i < count; i += 3) s += terms[i] * std::cos(terms[i + 1] + terms[i + 2] * tau);
  return s;
}

}  // namespace

double PlanetSeries(int body, int coordinate, double t, int n) {
  if (body != 0 || coordinate < 0 || coordinate > 2) return 0;
  const double tau = t / 10;
  const double* table = PlanetSeriesTable;
  const int* index = PlanetSeriesIndex;
  const int first = 2 + 6 * coordinate;
  const int start0 = coordinate == 0 ? index[1] : index[first - 1];
  const int length0 = index[first] - start0;
  double sum = 0, power = 1;
  for (int j = 0; j < 6; ++j, power *= tau) {
    const int start = j == 0 ? start0 : index[first + j - 1];
    const int length = index[first + j] - start;
    int used = length;
    if (n >= 0 && length0 > 0) {
      used = FloorInt(3.0 * n * length / length0 + 0.5) + (j > 0 ? 3 : 0);
      if (used > length) used = length;
    }
    sum += SumEarthTerms(table + start, used, tau) * power;
  }
  sum /= table[0];
  const double t2 = tau * tau, t3 = t2 * tau;
  if (coordinate == 0) return sum + (-0.0728 - 2.7702 * tau - 1.1019 * t2 - 0.0996 * t3) / kRad;
  if (coordinate == 1) return sum + (0.0004 * tau + 0.0004 * t2 - 0.0026 * t3) / kRad;
  return sum + (-0.0020 + 0.0044 * tau + 0.0213 * t2 - 0.0250 * t3) / 1e6;
}

double EarthSeries(int coordinate, double t, int n) { return PlanetSeries(0, coordinate, t, n); }

double MoonSeries(int coordinate, double t, int n) {
  if (coordinate < 0 || coordinate > 2) return 0;
  const double t2 = t * t, t3 = t2 * t, t4 = t3 * t, t5 = t4 * t;
  double v = 0;
  if (coordinate == 0) {
    v = (3.81034409 + 8399.684730072 * t - 3.319e-5 * t2 + 3.11e-8 * t3 - 2.033e-10 * t4) * kRad + 5028.792262 * t +
        1.1124406 * t2 + 7.699e-5 * t3 - 2.3479e-5 * t4 - 1.78e-8 * t5;
    if (t > 10) v += -0.866 + 1.43 * (t - 10) + 0.054 * (t - 10) * (t - 10);
  }
  const int* counts = MoonSeriesCount[coordinate];
  const int budget = n < 0 ? counts[0] : 6 * n;
  const double q2 = t2 / 1e4, q3 = t3 / 1e8, q4 = t4 / 1e8;
  double power = 1;
  for (int j = 0; j < 4; ++j, power *= t) {
    int used = counts[0] > 0 ? counts[j] * budget / counts[0] : 0;
    if (j > 0) used += 6;
    if (used > counts[j]) used = counts[j];
    const double* f = MoonSeriesTable[coordinate][j];
    double s = 0;
    for (int i = 0; i < used; i += 6)
      s += f[i] * std::cos(f[i + 1] + f[i + 2] * t + f[i + 3] * q2 + f[i + 4] * q3 + f[i + 5] * q4);
    v += s * power;
  }
  return coordinate == 2 ? v : v / kRad;
}

double MoonSeriesAt(int coordinate, double t, int n) { return MoonSeries(coordinate, t, n); }

double NutationLongitude(double t) {
  double s = 0;
  for (int i = 0; i < 10; ++i) {
    const NutationRow& r = kNutation[i];
    const double a = r.a + (i == 0 ? -1.742 * t : 0);
    s += a * std::sin(r.b0 + r.b1 * t + r.b2 * t * t);
  }
  return s * 0.01 / kRad;
}

double MeanObliquity(double t) {
  const double t2 = t * t, t3 = t2 * t, t4 = t3 * t, t5 = t4 * t;
  return (84381.406 - 46.836769 * t - 0.0001831 * t2 + 0.0020034 * t3 - 5.76e-7 * t4 - 4.34e-8 * t5) / kRad;
}

double SolarAberration(double t) {
  const double v = -0.043126 + 628.301955 * t - 2.732e-6 * t * t;
  const double e = 0.016708634 - 4.2037e-5 * t - 1.267e-7 * t * t;
  return -20.49552 * (1 + e * std::cos(v)) / kRad;
}

double LunarAberration(double) { return -3.4e-6; }

double SunApparentLongitude(double t, int n) {
  return EarthSeries(0, t, n) + NutationLongitude(t) + SolarAberration(t) + kPi;
}

double MoonSunElongation(double t, int nMoon, int nSun) {
  return MoonSeries(0, t, nMoon) + LunarAberration(t) - (EarthSeries(0, t, nSun) + SolarAberration(t) + kPi);
}

double SunAngularVelocity(double t) {
  const double f = 628.307585 * t;
  return 628.332 + 21 * std::sin(1.527 + f) + 0.44 * std::sin(1.48 + 2 * f) + 0.129 * std::sin(5.82 + f) * t +
         0.00055 * std::sin(4.21 + f) * t * t;
}

double MoonAngularVelocity(double t) {
  double v = 8399.71 - 914 * std::sin(0.7848 + 8328.691425 * t + 0.0001523 * t * t);
  for (const WaveRow& w : kMoonWaves) v -= w.a * std::sin(w.p + w.r * t);
  return v;
}

double SolarTermTime(double w) {
  double t = (w - 1.75347 - kPi) / kSunRate;
  t += (w - SunApparentLongitude(t, 10)) / SunAngularVelocity(t);
  t += (w - SunApparentLongitude(t, -1)) / SunAngularVelocity(t);
  return t;
}

double NewMoonTime(double w) {
  double t = (w + 1.08472) / kMoonRate;
  t += (w - MoonSunElongation(t, 3, 3)) / kMoonRate;
  const double v = MoonAngularVelocity(t) - SunAngularVelocity(t);
  t += (w - MoonSunElongation(t, 20, 10)) / v;
  t += (w - MoonSunElongation(t, -1, 60)) / v;
  return t;
}

double SolarTermTimeFast(double w) {
  double t = (w - 1.75347 - kPi) / kSunRate;
  t -= (5.297e-6 * t * t + 0.0334166 * std::cos(4.669257 + 628.307585 * t) +
        0.0002061 * std::cos(2.67823 + 628.307585 * t) * t) /
       kSunRate;
  t += (w - EarthSeries(0, t, 8) - kPi + (20.5 + 17.2 * std::sin(2.1824 - 33.75705 * t)) / kRad) / kSunRate;
  return t;
}

double NewMoonTimeFast(double w) {
  double t = (w + 1.08472) / kMoonRate;
  t -= (-3.309e-5 * t * t + 0.10976 * std::cos(0.784758 + 8328.6914246 * t + 0.000152292 * t * t) +
        0.02224 * std::cos(0.1874 + 7214.0628654 * t - 0.00021848 * t * t) -
        0.03342 * std::cos(4.669257 + 628.307585 * t)) /
       kMoonRate;
  const double l =
      MoonSeries(0, t, 20) -
      (4.8950632 + kSunRate * t + 5.297e-6 * t * t + 0.0334166 * std::cos(4.669257 + 628.307585 * t) +
       0.0002061 * std::cos(2.67823 + 628.307585 * t) * t + 0.000349 * std::cos(4.6261 + 1256.61517 * t) - 20.5 / kRad);
  const double v = 7771.38 - 914 * std::sin(0.7848 + 8328.691425 * t + 0.0001523 * t * t) -
                   179 * std::sin(2.543 + 15542.7543 * t) - 160 * std::sin(0.1874 + 7214.0629 * t);
  t += (w - l) / v;
  return t;
}

double EquationOfTime(double t) {
  const double t2 = t * t, t3 = t2 * t, t4 = t3 * t, t5 = t4 * t;
  const double l = (1753470142 + 628331965331.8 * t + 5296.74 * t2 + 0.432 * t3 - 0.1124 * t4 - 0.00009 * t5) * 1e-9 +
                   kPi - 20.5 / kRad;
  const double om = 2.1824 - 33.75705 * t;
  const double dpsi = -17.2 * std::sin(om) / kRad;
  const double deps = 9.2 * std::cos(om) / kRad;
  const double eps = MeanObliquity(t) + deps;
  const double lambda = EarthSeries(0, t, 50) + kPi + SolarAberration(t) + dpsi;
  const double beta = -(2796 * std::cos(3.1987 + 8433.46616 * t) + 1016 * std::cos(5.4225 + 550.75532 * t) +
                        804 * std::cos(3.88 + 522.3694 * t)) *
                      1e-9;
  const Equatorial q = EclipticToEquatorial(lambda, beta, 1, eps);
  const double alpha = q.ra - dpsi * std::cos(eps);
  return NormalizeAngleSigned(l - alpha) / kPi2;
}

Equatorial EclipticToEquatorial(double lambda, double beta, double r, double eps) {
  Equatorial q;
  q.ra =
      NormalizeAngle(std::atan2(std::sin(lambda) * std::cos(eps) - std::tan(beta) * std::sin(eps), std::cos(lambda)));
  q.dec = std::asin(std::cos(eps) * std::sin(beta) + std::sin(eps) * std::cos(beta) * std::sin(lambda));
  q.r = r;
  return q;
}

}  // namespace eph
