// MVoDateEx: the calendar engine. Gregorian <-> lunar conversion with leap
// months, the solar terms of a month or a year, the solar (jie-based) month of
// a date, sexagenary day and stem-branch numbers, date validity, local mean and
// true solar time, Chinese numerals.
//
// The engine keeps the lunar year of its last conversion and the solar terms it
// computed last, so each user owns its own instance. Stems count 0 = 癸, 1 = 甲 (sexagenary index mod 10),
// branches 0 = 亥, 1 = 子 (index mod 12); sexagenary index 1 = 甲子.
#pragma once

#include <cstdint>
#include <string>

#include "calendar/Eph0.h"

// One solar term of a year: its Beijing date and its index (0 = 小寒 ... 23 = 冬至).
struct SolarTermEntry {
  DateRecord date;
  int16_t unused = 0;
  int16_t index = 0;
};

class MVoDateEx {
 public:
  MVoDateEx();

  bool SolarToLunar(const DateRecord& solar, DateRecord& lunar);
  bool LunarToSolar(const DateRecord& lunar, DateRecord& solar, bool leap, std::string& error);
  void SolarTermOfMonth(int16_t year, int16_t month, bool jie, DateRecord& out);
  int SolarMonthIndex(const DateRecord& date, DateRecord out[3]);
  // Appends the year's terms to out (at least 25 entries), closed by year -5000.
  void SolarTermsOfYear(int year, SolarTermEntry out[]);
  int16_t GanZhiIndex(int16_t stem, int16_t branch);
  long double DateToJd(const DateRecord& date);
  void JdToDate(double jd, DateRecord& out);
  std::string ChineseNumeral(int16_t n);
  bool IsValidDate(const DateRecord& date);
  void NextDay(DateRecord& date);
  int LocalTimeCorrection(float longitude, DateRecord& date, int mode);
  int DayNumber(const DateRecord& date);
  int DayGanZhi(const DateRecord& date);
  double EquationOfTimeSeconds(const DateRecord& date);
  double ToPrecision(double x, int n);

  // The lunar year around the last converted day (filled by ComputeLunarYear).
  std::string newMoonCorrections;
  std::string termCorrections;
  int32_t leapMonth = 0;        // index 1..13 into monthCodes, 0 = none
  int32_t monthCodes[14] = {};  // month number of each month starting at newMoons[i]
  int32_t terms[25] = {};       // day numbers, terms[0] = the opening 冬至
  int32_t termsBefore[2] = {};
  int32_t newMoons[15] = {};  // day numbers, newMoons[0] on or before terms[0]
  int32_t monthLengths[14] = {};
  DateTimeFields work;
  int32_t currentDay = 0;

 private:
  bool yearComputed = false;  // the members above hold the year opening at yearStart
  double yearStart = 0;
  int32_t NoonDayNumber(const DateRecord& date);
  bool LunarOfDay(int32_t d, DateRecord& lunar);
  double TermJdBeijing(int year, double angle);

  // The last solar terms computed: one date's month needs five, and the next
  // analysis of the same birth needs them again.
  struct KnownTerm {
    int year = 0;
    double angle = 0;
    double jd = 0;
  };
  static constexpr int kKnownTerms = 8;
  KnownTerm knownTerms[kKnownTerms];
  int knownCount = 0;
  int knownNext = 0;
};
