#include "calendar/Vodateex.h"

#include <algorithm>
#include <cmath>

#include "calendar/Eph.h"
#include "calendar/Lunar.h"
#include "classlib/Gbk.h"

namespace {

constexpr double kJ2000 = 2451545;
constexpr double kPi2 = AstroConstants::pi2;

int Mod(int a, int m) { return ((a % m) + m) % m; }

// Beijing-time JD of the solar term at `angle` degrees in `year`.
double TermJd(int year, double angle) {
  const double w = kPi2 * ((year - 2000) + angle / 360 + 1);
  const double t = eph::SolarTermTime(w) * 36525;
  return t - DeltaTDays(t) + kJ2000 + 1.0 / 3;
}

const char* const kDigits[10] = {"○", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

std::string Digit(int d) { return gbk::FromUtf8(kDigits[d]); }

// The decimal digits of n from the place `places` (1 = units) down.
std::string Digits(int n, int places) {
  std::string s;
  for (int p = places - 1; p >= 0; --p) s += Digit(static_cast<int>(n / std::pow(10, p)) % 10);
  return s;
}

int PlacesOf(int n) {
  if (n >= 1000 || n == 0) return 4;
  if (n >= 100) return 3;
  if (n >= 10) return 2;
  return 1;
}

}  // namespace

MVoDateEx::MVoDateEx() {
  ResetDateRec(work);
  InitCorrections(*this);
}

int32_t MVoDateEx::NoonDayNumber(const DateRecord& date) {
  work = DateTimeFields{date.year, date.month, date.day, 12, 0, 1};
  return FloorInt(DateRecToJd(work)) - static_cast<int32_t>(kJ2000);
}

bool MVoDateEx::LunarOfDay(int32_t d, DateRecord& lunar) {
  currentDay = d;
  // The lunar year is a function of its opening 冬至 estimate alone: reuse it while that stays.
  const double start = LunarYearStart(*this, d);
  if (!yearComputed || start != yearStart) {
    ComputeLunarYearFrom(*this, start);
    yearComputed = true;
    yearStart = start;
  }
  int k = FloorInt((d - newMoons[0]) / 30.0);
  if (k < 0) k = 0;
  if (k > 13) k = 13;
  if (k < 13 && newMoons[k + 1] <= d) k += 1;
  lunar.day = static_cast<int16_t>(d - newMoons[k] + 1);
  lunar.month = static_cast<int16_t>(monthCodes[k]);
  const bool leap = leapMonth != 0 && k == leapMonth;
  double base = newMoons[2];
  for (int i = 0; i < 14; ++i) {
    if (monthCodes[i] != 1 || (leapMonth != 0 && i == leapMonth)) continue;
    if (newMoons[i] > d) {
      base = newMoons[i] - 365;
      break;
    }
    base = newMoons[i];
  }
  lunar.year = static_cast<int16_t>(FloorInt((base + 5810) / 365.2422 + 0.5) + 1984);
  return leap;
}

bool MVoDateEx::SolarToLunar(const DateRecord& solar, DateRecord& lunar) {
  const bool leap = LunarOfDay(NoonDayNumber(solar), lunar);
  lunar.hour = solar.hour;
  lunar.minute = solar.minute;
  return leap;
}

namespace {
double Key(const DateRecord& r, bool leap) {
  return std::trunc(std::floor(29.5 * r.month) + 354.0 * r.year + r.day) + (leap ? 30 : 0);
}
}  // namespace

bool MVoDateEx::LunarToSolar(const DateRecord& lunar, DateRecord& solar, bool leap, std::string& error) {
  DateRecord guess = lunar;
  if (guess.month == 2 && guess.day > 28) guess.day = 28;
  double jd = NoonDayNumber(guess) + kJ2000;
  DateRecord found;
  bool foundLeap = LunarOfDay(FloorInt(jd) - static_cast<int32_t>(kJ2000), found);
  const double step = Key(lunar, leap) < Key(found, foundLeap) ? -1 : 1;
  for (int tries = 0; tries < 181; ++tries) {
    foundLeap = LunarOfDay(FloorInt(jd) - static_cast<int32_t>(kJ2000), found);
    if (found.year == lunar.year && found.month == lunar.month && found.day == lunar.day && foundLeap == leap) {
      solar = JdToDateRec(jd);
      solar.hour = lunar.hour;
      solar.minute = lunar.minute;
      return true;
    }
    jd += step;
  }
  error = gbk::FromUtf8("不存在这个农历日期，无法转换到公历！");
  return false;
}

double MVoDateEx::TermJdBeijing(int year, double angle) {
  for (int i = 0; i < knownCount; ++i) {
    if (knownTerms[i].year == year && knownTerms[i].angle == angle) return knownTerms[i].jd;
  }
  const double jd = TermJd(year, angle);
  knownTerms[knownNext] = {year, angle, jd};
  knownNext = (knownNext + 1) % kKnownTerms;
  knownCount = std::min(knownCount + 1, kKnownTerms);
  return jd;
}

void MVoDateEx::SolarTermOfMonth(int16_t year, int16_t month, bool jie, DateRecord& out) {
  const int k = jie ? 2 * month - 2 : 2 * month - 1;
  out = JdToDateRec(TermJdBeijing(year, 15.0 * k - 75));
}

int MVoDateEx::SolarMonthIndex(const DateRecord& date, DateRecord out[3]) {
  const double jd = DateToJd(date);
  int a = 30 * (date.month - 1) - 75;
  for (;;) {
    if (TermJdBeijing(date.year, a) > jd) {
      a -= 30;
    } else if (jd >= TermJdBeijing(date.year, a + 30)) {
      a += 30;
    } else {
      break;
    }
  }
  out[0] = JdToDateRec(TermJdBeijing(date.year, a));
  out[1] = JdToDateRec(TermJdBeijing(date.year, a + 15));
  out[2] = JdToDateRec(TermJdBeijing(date.year, a + 30));
  const int n = Mod(a, 360);
  int x = n - 285;
  if (x < 0) x = n + 75;
  return (x / 30 + 2) % 12;
}

void MVoDateEx::SolarTermsOfYear(int year, SolarTermEntry out[]) {
  int a = -60;
  for (;;) {
    a -= 15;
    const DateRecord r = JdToDateRec(TermJdBeijing(year, a));
    if (r.year != year || r.year <= -4714) break;
  }
  int count = 0;
  for (;;) {
    a += 15;
    const DateRecord r = JdToDateRec(TermJdBeijing(year, a));
    if (r.year != year || r.year > 9999) break;
    out[count].date = r;
    int idx = Mod(a + 36000, 360) - 285;
    if (idx < 0) idx += 360;
    out[count].index = static_cast<int16_t>((idx / 15) % 24);
    ++count;
  }
  out[count] = SolarTermEntry{};
  out[count].date.year = -5000;
}

int16_t MVoDateEx::GanZhiIndex(int16_t stem, int16_t branch) {
  int v = stem - branch;
  if (v < 0) v += 12;
  return static_cast<int16_t>(stem + 10 * (v / 2));
}

long double MVoDateEx::DateToJd(const DateRecord& date) {
  work = DateTimeFields{date.year, date.month, date.day, date.hour, date.minute, 1};
  return DateRecToJd(work);
}

void MVoDateEx::JdToDate(double jd, DateRecord& out) { out = JdToDateRec(jd); }

std::string MVoDateEx::ChineseNumeral(int16_t n) {
  if (n < 0) return gbk::FromUtf8("前") + Digits(-n, PlacesOf(-n));
  if (n >= 1 && n <= 9) return Digit(n);
  if (n == 10) return gbk::FromUtf8("十");
  if (n >= 11 && n <= 19) return gbk::FromUtf8("十") + Digit(n % 10);
  if (n == 20) return gbk::FromUtf8("二十");
  if (n >= 21 && n <= 29) return gbk::FromUtf8("廿") + Digit(n % 10);
  if (n == 30) return gbk::FromUtf8("三十");
  return Digits(n, PlacesOf(n));
}

bool MVoDateEx::IsValidDate(const DateRecord& date) {
  if (date.month < 1 || date.month > 12 || date.day < 1) return false;
  if (date.hour < 0 || date.hour > 23 || date.minute < 0 || date.minute > 59) return false;
  int day = date.day;
  if (date.year == 1582 && date.month == 10) {
    if (day >= 5 && day <= 14) return false;
    if (day > 14) day -= 10;
  }
  const int nextYear = date.month == 12 ? date.year + 1 : date.year;
  const int nextMonth = date.month == 12 ? 1 : date.month + 1;
  const double noon = 12 + 1 / 60.0;
  const int length =
      FloorInt(::DateToJd(nextYear, nextMonth, 1 + noon / 24) - ::DateToJd(date.year, date.month, 1 + noon / 24));
  return day <= length;
}

void MVoDateEx::NextDay(DateRecord& date) { date = JdToDateRec(static_cast<double>(DateToJd(date)) + 1); }

int MVoDateEx::LocalTimeCorrection(float longitude, DateRecord& date, int mode) {
  // Off the globe (or no number) there is no local time; the date stays as given.
  if (!(longitude >= -180.0f && longitude <= 180.0f)) return 0;
  const double jd = static_cast<double>(DateToJd(date));
  const int s = mode == 1 ? static_cast<int>(std::trunc(EquationOfTimeSeconds(date))) : 0;
  const int c = static_cast<int>(std::trunc(std::floor((120 - longitude) * 240)));
  date = JdToDateRec(jd + (s - c) / 86400.0);
  return s;
}

int MVoDateEx::DayNumber(const DateRecord& date) { return Mod(NoonDayNumber(date) + static_cast<int>(kJ2000) + 1, 7); }

int MVoDateEx::DayGanZhi(const DateRecord& date) {
  return Mod(NoonDayNumber(date) + static_cast<int>(kJ2000) + 50, 60);
}

double MVoDateEx::EquationOfTimeSeconds(const DateRecord& date) {
  const double jd = ::DateToJd(date.year, date.month, date.day + (date.hour + date.minute / 60.0) / 24);
  const double d = jd - 1.0 / 3 - kJ2000;
  const double t = (d + DeltaTDays(d)) / 36525;
  return eph::EquationOfTime(t) * 86400;
}

double MVoDateEx::ToPrecision(double x, int n) { return ::ToPrecision(x, n); }
