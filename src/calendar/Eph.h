// Sun and Moon series: apparent solar longitude, lunar longitude, nutation,
// aberration, obliquity, the equation of time, and the instants of solar
// terms and new moons in a precise and a fast form.
//
// Every function is pure; t is Julian centuries of dynamical time from
// J2000.0, angles are radians. W is a total angle counted with its revolutions
// from J2000.0 (solar longitude + 2pi a year, elongation + 2pi a lunation).
// A term budget n < 0 means all terms.
#pragma once

namespace eph {

double PlanetSeries(int body, int coordinate, double t, int n);  // Earth only: body 0
double EarthSeries(int coordinate, double t, int n);             // lon, lat (rad), distance (AU)
double MoonSeries(int coordinate, double t, int n);              // lon, lat (rad), distance (km)
double MoonSeriesAt(int coordinate, double t, int n);

double NutationLongitude(double t);
double MeanObliquity(double t);
double SolarAberration(double t);
double LunarAberration(double t);
double SunApparentLongitude(double t, int n);
double MoonSunElongation(double t, int nMoon, int nSun);
double SunAngularVelocity(double t);   // radians per century
double MoonAngularVelocity(double t);  // radians per century

double SolarTermTime(double w);
double SolarTermTimeFast(double w);
double NewMoonTime(double w);
double NewMoonTimeFast(double w);

double EquationOfTime(double t);  // days

struct Equatorial {
  double ra, dec, r;
};
Equatorial EclipticToEquatorial(double lambda, double beta, double r, double eps);

}  // namespace eph
