#include "engine/Decname.h"

#include <algorithm>
#include <cstring>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "dictionary/Namelibrary.h"
#include "engine/Companynames.h"
#include "engine/NameTables.h"
#include "engine/Namecalc.h"

namespace {

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2100;

bool InRange(int year) { return year >= kFirstYear && year <= kLastYear; }

}  // namespace

MDecName::MDecName(MNameLibrary& lib) : library(lib) {}

bool MDecName::Fail(const char* utf8) {
  lastError = gbk::FromUtf8(utf8);
  return false;
}

void MDecName::LoadSettings() {
  // The dictionary knows the program folder once it has been opened; before that the
  // executable's folder is the same folder.
  settings = ReadAnalysisSettings(library.AppDir().empty() ? file::ProgramFolder() : library.AppDir());
}

uint8_t MDecName::StrokeMode() {
  LoadSettings();
  return settings.iwordlen;
}

bool MDecName::Analyse(const BirthRecord& in) {
  lastError.clear();
  if (!library.Open(0)) {
    lastError = library.LastError();
    return false;
  }
  LoadSettings();
  birth = in;
  birth.name[sizeof birth.name - 1] = '\0';
  if (!ConvertDates()) return false;
  chart = ChartResult{};
  CalcPillars();
  singleSurname = birth.singleSurname;
  charCount = static_cast<int16_t>(std::strlen(birth.name) / 2);
  std::fill(std::begin(strokes), std::end(strokes), int16_t(0));
  std::fill(std::begin(grids), std::end(grids), int16_t(0));
  std::fill(std::begin(charElements), std::end(charElements), int16_t(10));
  score = 0;
  uint16_t s[4];
  if (!CalcFiveGrids(singleSurname != 0, birth.name, grids, s)) return false;
  chart::FillPillarTables(chart);
  fresh = true;
  powersDone = false;
  BuildReport();
  return true;
}

bool MDecName::ConvertDates() {
  lastError.clear();
  if (!InRange(birth.year)) return Fail("年份在1900-2100之间");
  const DateRecord entered{birth.year, birth.month, birth.day, birth.hour, birth.minute};
  if (birth.lunar) {
    if (!calendar.LunarToSolar(entered, solarDate, birth.leapMonth != 0, lastError)) return false;
    if (!InRange(solarDate.year)) return Fail("时间越界，年份在1900-2100之间");
  } else {
    if (!calendar.IsValidDate(entered)) return Fail("不存在这个日期");
    solarDate = entered;
  }
  beijingDate = solarDate;
  if (!BirthPlaceValid(birth.longitude, birth.latitude)) return Fail(kBirthPlaceRangeText);
  if (settings.iDate != 0) calendar.LocalTimeCorrection(birth.longitude, solarDate, settings.iDate);
  DateRecord day = solarDate;
  if (day.hour == 23 && !settings.zishi) calendar.NextDay(day);
  if (!InRange(day.year)) return Fail("时间越界，年份在1900-2100之间");
  DateRecord lunar;
  birth.leapMonth = calendar.SolarToLunar(day, lunar) ? 1 : 0;
  lunarDate = lunar;
  return true;
}

void MDecName::CalcPillars() {
  // Year and month from one look-up of the solar month, so both see 立春 at the same
  // instant: a date of January or February in the 子 or 丑 month still belongs to the
  // previous year.
  DateRecord terms[3];
  const int m = calendar.SolarMonthIndex(beijingDate, terms);
  int y = beijingDate.year;
  if (beijingDate.month <= 2 && (m == 1 || m == 2)) --y;
  const int yearPillar = ((y + 6897) % 60 + 60) % 60;
  chart.pillars[0] = static_cast<int16_t>(yearPillar);

  int ys = yearPillar % 10;
  if (ys == 0) ys = 10;
  if (ys > 5) ys -= 5;
  const int s = (2 * ys + 1) % 10;
  int k = m - 3;
  if (k < 0) k += 12;
  chart.pillars[1] = calendar.GanZhiIndex(static_cast<int16_t>((k + s) % 10), static_cast<int16_t>((k + 3) % 12));

  const bool lateZi = solarDate.hour == 23;
  int day = calendar.DayGanZhi(solarDate);
  if (lateZi && !settings.zishi) day = (day + 1) % 60;
  chart.pillars[2] = static_cast<int16_t>(day);

  int ds = day % 10;
  if (ds == 0) ds = 5;
  int h = solarDate.hour;
  if (h % 2 == 1) h = (h + 1) % 24;
  int hour =
      calendar.GanZhiIndex(static_cast<int16_t>((2 * ds + h / 2 - 1) % 10), static_cast<int16_t>((h / 2 + 1) % 12));
  if (settings.zishi && lateZi) hour = (hour + 12) % 60;
  chart.pillars[3] = static_cast<int16_t>(hour);
}

void MDecName::BuildChart() {
  chart::CalcRelations(chart);
  // Powers add up from the pillars, so they are computed once per analysis.
  if (fresh && !powersDone) chart::ComputePowers(chart);
  powersDone = true;
  chart::ComputeElementBalance(chart, settings, {fresh, &favourableOverride});
  score = NameScore();
}

bool MDecName::LookUp(std::string_view ch, int& count, int& element) {
  CharRecord rec;
  if (!library.GetCharInfo(ch, rec)) return false;
  count = settings.iwordlen == 1 ? rec.gbLen : rec.kxLen;
  element = rec.wx;
  return count > 0;
}

int MDecName::CharStrokes(std::string_view ch) {
  int count = 0, element = 0;
  return LookUp(ch, count, element) ? count : 0;
}

int MDecName::TextStrokes(std::string_view text) {
  int sum = 0;
  for (size_t i = 0; i + 1 < text.size(); i += 2) sum += CharStrokes(text.substr(i, 2));
  return sum;
}

bool MDecName::CalcFiveGrids(bool single, std::string_view name, int16_t gridsOut[5], uint16_t strokesOut[4]) {
  const int n = static_cast<int>(std::min<size_t>(name.size() / 2, namecalc::kMaxChars));
  if (n < namecalc::MinChars(single))
    return Fail(single ? "姓名太短：单姓后面至少要有一个字" : "姓名太短：复姓后面至少要有一个字");
  int16_t s[4] = {};
  for (int i = 0; i < n; ++i) {
    int count = 0, element = 10;
    if (!LookUp(name.substr(2 * i, 2), count, element)) return Fail("找不到其中一个汉字的笔划");
    s[i] = static_cast<int16_t>(count);
    charElements[i] = static_cast<int16_t>(element);
  }
  for (int i = 0; i < 4; ++i) {
    strokes[i] = s[i];
    strokesOut[i] = static_cast<uint16_t>(s[i]);
  }
  return namecalc::FiveGrids(single, n, s, gridsOut);
}

int16_t MDecName::NameScore() const {
  return namecalc::NameScore(chart.favourableElements, settings.score != 0, charCount, charElements, grids);
}

void MDecName::GetDayMaster(FavourableRecord& out) const {
  std::copy(std::begin(chart.tenGodPower), std::end(chart.tenGodPower), out.tenGodScores);
  for (int r = 0; r < 5; ++r) out.roles[r] = chart.favourableGroups[r];
  out.dayMasterClass = chart.dayMasterClass;
  out.dayStem = static_cast<int16_t>(chart.pillars[2] % 10);
}

void MDecName::SetFavourable(const FavourableRecord& in) {
  favourableOverride = in;
  fresh = false;
  const int d = chart.pillars[2] % 10, e = NameTables::StemElement[d];
  for (int r = 0; r < 5; ++r) {
    const int group = std::clamp<int>(in.roles[r], 0, 4);
    chart.favourableGroups[r] = static_cast<uint8_t>(group);
    chart.favourableElements[r] = static_cast<uint8_t>((group + e) % 5);
  }
  for (int t = 0; t < 10; ++t) {
    chart.tenGodPower[t] = in.tenGodScores[t];
    chart.codePower[NameTables::StemCode[chart::TenGodStem(d, t)]] = in.tenGodScores[t];
  }
  BuildReport();
}

void MDecName::GetFiveGrids(int16_t out[5]) const { std::copy(grids, grids + 5, out); }

void MDecName::GetCharElements(int out[4]) const {
  for (int i = 0; i < 4; ++i) out[i] = i < charCount ? charElements[i] : 10;
}

uint16_t MDecName::FavourableMask() const {
  return static_cast<uint16_t>((1u << chart.favourableElements[0]) | (1u << chart.favourableElements[1]));
}

void MDecName::GetSnapshot(ChartResult& c, BirthRecord& b, AnalysisSettings& s) const {
  c = chart;
  b = birth;
  s = settings;
}

bool MDecName::ProposeCompanyNames(std::string& prefix, const std::string& suffix, int elementMask, int n) {
  LoadSettings();
  return company::ProposeCompanyNames(library, settings, prefix, suffix, elementMask, n, lastError);
}
