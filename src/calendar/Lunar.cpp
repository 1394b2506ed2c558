#include "calendar/Lunar.h"

#include <cmath>

#include "calendar/CorrectionStrings.h"
#include "calendar/Eph.h"
#include "calendar/Eph0.h"
#include "calendar/ReignEraTable.h"
#include "calendar/Vodateex.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace {

constexpr double kPi = AstroConstants::pi;
constexpr double kJ2000 = 2451545;
constexpr double kPreciseFrom = 2436935;  // 1960-01-01: astronomical days from here on

struct FitPair {
  double jd0, period;
};

// Mean new moons of the old calendars (JD of the first, period in days).
constexpr FitPair kMoonFits[] = {
    {1457698.231017, 29.53067166}, {1546082.512234, 29.53085106}, {1640640.7353, 29.5306},
    {1642472.151543, 29.53085439}, {1683430.5093, 29.53086148},   {1752148.041079, 29.53085097},
    {1807665.420323, 29.53059851}, {1883618.1141, 29.5306},       {1907360.7047, 29.5306},
    {1936596.2249, 29.5306},       {1939135.6753, 29.5306},
};
constexpr double kMoonFitEnd = 1947168.0;

// Mean solar terms of the old calendars.
constexpr FitPair kTermFits[] = {
    {1640650.479938, 15.218425},    {1642476.703182, 15.21874996},  {1683430.515601, 15.218750011},
    {1752157.640664, 15.218749978}, {1807675.003759, 15.218620279}, {1883627.765182, 15.218612292},
    {1907369.1281, 15.218449176},   {1936603.140413, 15.218425},    {1939145.52418, 15.218466998},
    {1947180.7983, 15.218524844},   {1964362.041824, 15.218533526}, {1987372.340971, 15.218513908},
    {1999653.819126, 15.218530782}, {2007445.469786, 15.218535181}, {2021324.917146, 15.218526248},
    {2047257.232342, 15.218519654}, {2070282.898213, 15.218425},    {2073204.87285, 15.218515221},
    {2080144.500926, 15.218530782}, {2086703.688963, 15.218523776}, {2110033.182763, 15.218425},
    {2111190.300888, 15.218425},    {2113731.271005, 15.218515671}, {2120670.840263, 15.218425},
    {2123973.309063, 15.218425},    {2125068.997336, 15.218477932}, {2136026.312633, 15.218472436},
    {2156099.495538, 15.218425},    {2159021.324663, 15.218425},    {2162308.575254, 15.218461742},
    {2178485.706538, 15.218425},    {2178759.662849, 15.218445786}, {2185334.0208, 15.218425},
    {2187525.481425, 15.218425},    {2188621.191481, 15.218437494},
};
constexpr double kTermFitEnd = 2322147.76;
static_assert(sizeof(kMoonFits) / sizeof(kMoonFits[0]) == 11);
static_assert(sizeof(kTermFits) / sizeof(kTermFits[0]) == 35);

constexpr int kMonthRow[12] = {11, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// Stem and branch style reduction: never negative.
int Mod(int a, int m) { return ((a % m) + m) % m; }

struct EventTable {
  const FitPair* fits;
  int count;
  double end;
  double pc;
};

EventTable TableOf(EventKind kind) {
  if (kind == EventKind::Term) return {kTermFits, 35, kTermFitEnd, 7};
  return {kMoonFits, 11, kMoonFitEnd, 14};
}

double AngleOf(int k, EventKind kind) { return kind == EventKind::Term ? k * kPi / 12 : k * 2 * kPi; }

int FittedDay(const EventTable& tab, double jd) {
  int i = 0;
  while (i + 1 < tab.count && tab.fits[i + 1].jd0 <= jd + tab.pc) ++i;
  const FitPair& f = tab.fits[i];
  const int32_t n = FloorInt((jd + tab.pc - f.jd0) / f.period);
  int32_t v = FloorInt(n * f.period + f.jd0 + 0.5);
  if (v == 1683460) v = 1683461;  // the one mean new moon the old calendar kept a day later
  return static_cast<int>(v - kJ2000);
}

char CorrectionAt(const std::string& s, int position) {
  if (position < 0 || position >= static_cast<int>(s.size())) return '0';  // past the end: none
  return s[position];
}

std::string JoinPieces(const char* const* pieces, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += pieces[i];
  return s;
}

}  // namespace

double SolarTermLow(double w) {
  const double v = 628.3319653318;
  double t = (w - 4.895062166) / v;
  t -= (53 * t * t + 334116 * std::cos(4.67 + 628.307585 * t) + 2061 * std::cos(2.678 + 628.3076 * t) * t) / v / 1e7;
  const double l = 48950621.66 + 6283319653.318 * t + 53 * t * t + 334166 * std::cos(4.669257 + 628.307585 * t) +
                   3489 * std::cos(4.6261 + 1256.61517 * t) + 2060.6 * std::cos(2.67823 + 628.307585 * t) * t - 994 -
                   834 * std::sin(2.1824 - 33.75705 * t);
  t -= (l / 1e7 - w) / 628.332 + (32 * (t + 1.8) * (t + 1.8) - 20) / 86400 / 36525;
  return 36525 * t + 1.0 / 3;
}

double NewMoonLow(double w) {
  const double v = 7771.37714500204;
  double t = (w + 1.08472) / v;
  t -= (-0.0000331 * t * t + 0.10976 * std::cos(0.785 + 8328.6914 * t) + 0.02224 * std::cos(0.187 + 7214.0629 * t) -
        0.03342 * std::cos(4.669 + 628.3076 * t)) /
           v +
       (32 * (t + 1.8) * (t + 1.8) - 20) / 86400 / 36525;
  return 36525 * t + 1.0 / 3;
}

namespace {

// The fast instant, or the precise one when the fast lands within `window`
// seconds of Beijing midnight and could fall on the wrong day.
double BeijingDay(double tFast, double (*precise)(double), double w, double window) {
  const double t = 36525 * tFast;
  double r = t - DeltaTDays(t) + 1.0 / 3;
  const double s = 86400 * ((r + 0.5) - FloorInt(r + 0.5));
  if (s < window || s > 86400 - window) r = 36525 * precise(w) - DeltaTDays(r) + 1.0 / 3;
  return r;
}

}  // namespace

double SolarTermBeijing(double w) { return BeijingDay(eph::SolarTermTimeFast(w), eph::SolarTermTime, w, 1200); }

double NewMoonBeijing(double w) { return BeijingDay(eph::NewMoonTimeFast(w), eph::NewMoonTime, w, 1800); }

int EventNumber(double d, EventKind kind) {
  const double jd = d + kJ2000;
  if (kind == EventKind::Term) return FloorInt((jd + 7 - 2451259) / 365.2422 * 24);
  return FloorInt((jd + 14 - 2451551) / 29.5306);
}

int CorrectionPosition(int k, EventKind kind) {
  const EventTable tab = TableOf(kind);
  return k - EventNumber(tab.end - tab.pc - kJ2000, kind);
}

int CalcTermOrMoon(const MVoDateEx& engine, double d, EventKind kind) {
  const EventTable tab = TableOf(kind);
  const double jd = d + kJ2000;
  const double fit0 = tab.fits[0].jd0 - tab.pc;
  const double fitEnd = tab.end - tab.pc;
  const int k = EventNumber(d, kind);
  const double w = AngleOf(k, kind);
  if (jd < fit0 || jd >= kPreciseFrom) {
    const double r = kind == EventKind::Term ? SolarTermBeijing(w) : NewMoonBeijing(w);
    return FloorInt(r + 0.5);
  }
  if (jd < fitEnd) return FittedDay(tab, jd);
  const double low = kind == EventKind::Term ? SolarTermLow(w) : NewMoonLow(w);
  int v = FloorInt(low + 0.5);
  // Read by event number, so every estimate of one event gets the same correction.
  const std::string& fix = kind == EventKind::Term ? engine.termCorrections : engine.newMoonCorrections;
  const char c = CorrectionAt(fix, CorrectionPosition(k, kind));
  if (c == '1') v += 1;
  if (c == '2') v -= 1;
  return v;
}

namespace {

void NumberMonthsCommon(MVoDateEx& e) {
  if (e.newMoons[13] <= e.terms[24]) {
    int i = 1;
    while (i < 13 && e.terms[2 * i] < e.newMoons[i + 1]) ++i;
    e.leapMonth = i;
    for (int j = i; j < 14; ++j) e.monthCodes[j] = Mod(e.monthCodes[j] - 1, 12);
  }
  for (int i = 0; i < 14; ++i) {
    const double j = e.newMoons[i] + kJ2000;
    const int c = e.monthCodes[i];
    int m = kMonthRow[Mod(c, 12)];
    if ((j >= 1724360 && j <= 1729794) || (j >= 1807724 && j <= 1808699)) m = kMonthRow[Mod(c + 1, 12)];
    if (j >= 1999349 && j <= 1999467) m = kMonthRow[Mod(c + 2, 12)];
    if (j >= 1973067 && j <= 1977052 && (Mod(c, 12) == 0 || c == 2)) m = 1;
    if (j == 1729794 || j == 1808699) m = 12;
    e.monthCodes[i] = m;
  }
}

void NumberMonthsAncient(MVoDateEx& e, int y) {
  int opening[3];
  int a[3], b[3];
  for (int k = 0; k < 3; ++k) {
    const int yk = y + k - 1;
    double est = std::floor(12.368422 * (yk + 721) + 0.342) * 29.5306 - 993847;
    a[k] = 13, b[k] = 2;
    if (yk >= -479) est = std::floor(12.368422 * (yk + 479) + 0.5) * 29.5306 - 905462;
    if (yk >= -220) {
      est = std::floor(12.369 * (yk + 220) + 0.866) * 29.5306 - 810904;
      a[k] = 10, b[k] = 11;
    }
    opening[k] = CalcTermOrMoon(e, est, EventKind::NewMoon);
  }
  for (int i = 0; i < 14; ++i) {
    int k = 2;
    while (k > 0 && opening[k] > e.newMoons[i]) --k;
    const int n = FloorInt((e.newMoons[i] - opening[k] + 15) / 29.5306);
    e.monthCodes[i] = n < 12 ? kMonthRow[Mod(b[k] + n, 12)] : a[k];
  }
}

}  // namespace

double LunarYearStart(const MVoDateEx& e, double d) {
  double w = FloorInt((d - 355 + 183) / 365.2422) * 365.2422 + 355;
  if (CalcTermOrMoon(e, w, EventKind::Term) > d) w -= 365.2422;
  return w;
}

void ComputeLunarYear(MVoDateEx& e, double d) { ComputeLunarYearFrom(e, LunarYearStart(e, d)); }

void ComputeLunarYearFrom(MVoDateEx& e, double w) {
  for (int i = 0; i < 25; ++i) e.terms[i] = CalcTermOrMoon(e, w + 15.2184 * i, EventKind::Term);
  e.termsBefore[0] = CalcTermOrMoon(e, w - 15.2, EventKind::Term);
  e.termsBefore[1] = CalcTermOrMoon(e, w - 30.4, EventKind::Term);
  double m = CalcTermOrMoon(e, e.terms[0], EventKind::NewMoon);
  if (m > e.terms[0]) m -= 29.53;
  for (int i = 0; i < 15; ++i) e.newMoons[i] = CalcTermOrMoon(e, m + 29.5306 * i, EventKind::NewMoon);
  e.leapMonth = 0;
  for (int i = 0; i < 14; ++i) {
    e.monthLengths[i] = e.newMoons[i + 1] - e.newMoons[i];
    e.monthCodes[i] = i;
  }
  const int y = FloorInt((e.terms[0] + 10 + 180) / 365.2422) + 2000;
  if (y >= -721 && y <= -104)
    NumberMonthsAncient(e, y);
  else
    NumberMonthsCommon(e);
}

std::string StringReplaceAll(const std::string& text, const std::string& pattern, const std::string& replacement) {
  if (pattern.empty()) return text;
  std::string out;
  size_t from = 0;
  for (size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, from)) {
    out.append(text, from, at - from);
    out += replacement;
    from = at + pattern.size();
  }
  out.append(text, from, std::string::npos);
  return out;
}

std::string ExpandCorrections(const std::string& packed) {
  std::string s = packed;
  for (int i = 0; i < corrections::SubstitutionCount; ++i)
    s = StringReplaceAll(s, corrections::Substitutions[i].marker, corrections::Substitutions[i].replacement);
  return s;
}

void InitCorrections(MVoDateEx& engine) {
  engine.newMoonCorrections = ExpandCorrections(JoinPieces(corrections::NewMoonPieces, corrections::NewMoonPieceCount));
  engine.termCorrections = ExpandCorrections(JoinPieces(corrections::TermPieces, corrections::TermPieceCount));
}

std::string EraNames(int year) {
  std::string out;
  for (int i = 0; i < ReignEraCount; ++i) {
    const ReignEra& r = ReignEraTable[i];
    if (year < r.first || year >= r.first + r.years) continue;
    if (!out.empty()) out += gbk::FromUtf8("；");
    out += Format("[%s] %s %s ", gbk::FromUtf8(r.dynasty).c_str(), gbk::FromUtf8(r.ruler).c_str(),
                  gbk::FromUtf8(r.name).c_str());
    out += gbk::FromUtf8(r.title) + IntToStr(year - r.first + r.offset + 1) + gbk::FromUtf8("年");
  }
  return out;
}
