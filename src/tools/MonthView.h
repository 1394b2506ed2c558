// MMonthView: the perpetual calendar's month, apart from its window: the days of a
// Gregorian month with their lunar dates and solar terms, the grid cell of each day,
// the reign eras and zodiac of the year and the four pillars of a chosen moment.
//
// Years are kept in astronomical numbering (year 0 = 1 BC); the window shows historical
// years without a year 0. October 1582 has 21 days: 1-4, then 15-31.
#pragma once

#include <string>
#include <vector>

#include "calendar/Vodateex.h"

// One day of the month grid (row 0 holds the weekday headers).
struct MonthCell {
  int day = 0;  // day of the month as printed
  int column = 0;
  int row = 0;
  std::string upper;  // "%d" or "%d月" for the 1st, with " " + term name on a term day
  std::string lower;  // the lunar date
  bool termDay = false;
};

class MMonthView {
 public:
  static constexpr int kMinYear = -4713;  // historical numbering
  static constexpr int kMaxYear = 9999;

  explicit MMonthView(MVoDateEx& calendar) : calendar(calendar) {}

  static int ToInternalYear(int historical) { return historical < 0 ? historical + 1 : historical; }
  static int ToHistoricalYear(int internal) { return internal <= 0 ? internal - 1 : internal; }
  // A historical year the window accepts; otherwise false with the message.
  bool CheckYear(int historical);

  // Days of the date's month, 0 when the date does not exist (1582-10-05..14, day too big).
  int CheckDate(const DateRecord& date);
  // Reads the terms of an internal year; Build uses them for its month.
  void LoadYearTerms(int internalYear);
  // Lays out the month of `date` (internal year) and its texts; false with lastError
  // when the date does not exist.
  bool Build(const DateRecord& date);
  // Day chosen by a click on grid cell `cell` (row * 7 + column - 7), 0 outside the month.
  int DayAtCell(int cell) const;

  // Sexagenary indexes of the year, month, day and hour pillars of a moment.
  void Pillars(const DateRecord& date, int out[4]);

  DateRecord shown;
  int daysInMonth = 0;
  int firstColumn = 0;  // 0 = Monday
  std::vector<MonthCell> cells;
  std::string heading;     // "%d年%d月"
  std::string termsText;   // the terms of the month, one paragraph each
  std::string titleText;   // reign eras and the zodiac year
  std::string ganZhiText;  // the four pillars, one a line
  std::string lastError;

 private:
  MVoDateEx& calendar;
  int termsYear = -100000;
  std::vector<SolarTermEntry> yearTerms;

  bool Fail(const std::string& utf8);
  bool IsGapMonth() const { return shown.year == 1582 && shown.month == 10; }
  std::string LunarText(const DateRecord& day);
  int YearCountedFromSpring(const DateRecord& date);
  void BuildTexts();
};
