// Lunar year construction and reign eras.
//
// Each solar term or new moon is a whole Beijing-time civil day (day number d
// from J2000), chosen by era: fitted mean values for old dates, a
// low-precision formula with one-day corrections up to 1960, and the
// astronomical instant from 1960 on (and before the fits).
#pragma once

#include <string>

class MVoDateEx;

enum class EventKind { Term, NewMoon };

int CalcTermOrMoon(const MVoDateEx& engine, double d, EventKind kind);
void ComputeLunarYear(MVoDateEx& engine, double d);
// The two halves of ComputeLunarYear: the estimate of the 冬至 that opens d's
// year, and the year built from it.
double LunarYearStart(const MVoDateEx& engine, double d);
void ComputeLunarYearFrom(MVoDateEx& engine, double w);

double SolarTermLow(double w);  // Beijing day, days from J2000
double NewMoonLow(double w);
double SolarTermBeijing(double w);
double NewMoonBeijing(double w);

// The total angle W of the event an estimate d (days from J2000) stands for,
// as a count of revolutions (terms: of 15 degrees; new moons: of lunations).
int EventNumber(double d, EventKind kind);
// Position in the expanded correction string of event number k; negative
// before the low-precision era begins.
int CorrectionPosition(int k, EventKind kind);

std::string StringReplaceAll(const std::string& text, const std::string& pattern, const std::string& replacement);
std::string ExpandCorrections(const std::string& packed);
void InitCorrections(MVoDateEx& engine);

std::string EraNames(int year);
