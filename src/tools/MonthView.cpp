#include "tools/MonthView.h"

#include <cmath>

#include "calendar/Lunar.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "engine/NameTables.h"

namespace {

constexpr int kTermSlots = 30;
constexpr int kTermsEnd = -5000;  // year of the closing entry of a term list

int Mod(int a, int m) { return ((a % m) + m) % m; }

using gbk::U;

}  // namespace

bool MMonthView::Fail(const std::string& utf8) {
  lastError = gbk::FromUtf8(utf8);
  return false;
}

bool MMonthView::CheckYear(int historical) {
  lastError.clear();
  if (historical == 0 || historical < kMinYear || historical > kMaxYear) return Fail("年份在-4713 到 9999之间");
  return true;
}

int MMonthView::CheckDate(const DateRecord& date) {
  if (date.year == 1582 && date.month == 10 && date.day >= 5 && date.day <= 14) return 0;
  if (date.month < 1 || date.month > 12 || date.day < 1) return 0;
  DateRecord first{date.year, date.month, 1, 12, 0};
  DateRecord next = first;
  if (++next.month > 12) {
    next.month = 1;
    ++next.year;
  }
  const int days = static_cast<int>(std::floor(calendar.DateToJd(next) - calendar.DateToJd(first)));
  const int day = (date.year == 1582 && date.month == 10 && date.day > 14) ? date.day - 10 : date.day;
  return day > days ? 0 : days;
}

void MMonthView::LoadYearTerms(int internalYear) {
  yearTerms.assign(kTermSlots, SolarTermEntry{});
  for (auto& t : yearTerms) t.date.year = kTermsEnd;
  calendar.SolarTermsOfYear(internalYear, yearTerms.data());
  termsYear = internalYear;
}

std::string MMonthView::LunarText(const DateRecord& day) {
  DateRecord lunar;
  const bool leap = calendar.SolarToLunar(day, lunar);
  std::string s = leap ? U("闰") : "";
  s += lunar.month == 1 ? U("正月") : calendar.ChineseNumeral(lunar.month) + U("月");
  if (lunar.day <= 10) s += U("初");
  return s + calendar.ChineseNumeral(lunar.day);
}

bool MMonthView::Build(const DateRecord& date) {
  lastError.clear();
  shown = date;
  daysInMonth = CheckDate(date);
  if (daysInMonth == 0) return Fail("不存在这个日期，请重新输入！");
  // The terms follow the shown year even when the caller forgot to reload them.
  if (termsYear != date.year) LoadYearTerms(date.year);

  const auto& text = NameTables::Text();
  std::vector<SolarTermEntry> monthTerms;
  termsText.clear();
  for (const auto& t : yearTerms) {
    if (t.date.year == kTermsEnd) break;
    if (t.date.year != date.year || t.date.month != date.month) continue;
    monthTerms.push_back(t);
    termsText += text.SolarTermNames[t.index] +
                 Format(U(":%d日%d时%d分\r\n\r\n").c_str(), t.date.day, t.date.hour, t.date.minute);
  }

  firstColumn = Mod(calendar.DayNumber(DateRecord{date.year, date.month, 1, 12, 0}) + 6, 7);
  cells.clear();
  for (int i = 1; i <= daysInMonth; ++i) {
    MonthCell c;
    c.day = (IsGapMonth() && i > 4) ? i + 10 : i;
    c.column = (firstColumn + i - 1) % 7;
    c.row = 1 + (firstColumn + i - 1) / 7;
    c.upper = c.day == 1 ? Format(U("%d月").c_str(), date.month) : IntToStr(c.day);
    for (const auto& t : monthTerms) {
      if (t.date.day != c.day) continue;
      c.termDay = true;
      c.upper += " " + text.SolarTermNames[t.index];
      break;
    }
    c.lower = LunarText(DateRecord{date.year, date.month, static_cast<int16_t>(c.day), 12, 0});
    cells.push_back(std::move(c));
  }
  BuildTexts();
  return true;
}

int MMonthView::DayAtCell(int cell) const {
  if (cell < firstColumn || cell >= firstColumn + daysInMonth) return 0;
  const int i = cell - firstColumn + 1;
  return (IsGapMonth() && i > 4) ? i + 10 : i;
}

int MMonthView::YearCountedFromSpring(const DateRecord& date) {
  DateRecord spring;
  calendar.SolarTermOfMonth(date.year, 2, true, spring);
  const auto key = [](const DateRecord& d) { return (((d.month * 32L + d.day) * 24 + d.hour) * 60) + d.minute; };
  return key(date) < key(spring) ? date.year - 1 : date.year;
}

void MMonthView::Pillars(const DateRecord& date, int out[4]) {
  const int y = YearCountedFromSpring(date);
  out[0] = Mod(y + 6897, 60);

  DateRecord terms[3];
  const int branch = calendar.SolarMonthIndex(date, terms);
  int ys = out[0] % 10;
  if (ys == 0) ys = 10;
  const int firstStem = Mod((ys - (ys < 6 ? 0 : 5)) * 2 + 1, 10);
  const int monthStem = Mod(Mod(branch - 3, 12) + firstStem, 10);
  out[1] = calendar.GanZhiIndex(static_cast<int16_t>(monthStem), static_cast<int16_t>(branch));

  // From 23 h the day is the next one and the hour is its 子 hour, as the analyser counts.
  out[2] = calendar.DayGanZhi(date);
  if (date.hour == 23) out[2] = (out[2] + 1) % 60;

  int h = date.hour;
  if (h % 2 == 1) h = (h + 1) % 24;
  const int k = h / 2;
  int ds = out[2] % 10;
  if (ds == 0) ds = 5;
  out[3] = calendar.GanZhiIndex(static_cast<int16_t>(Mod(ds * 2 + k - 1, 10)), static_cast<int16_t>((k + 1) % 12));
}

void MMonthView::BuildTexts() {
  static const char* const kAnimals[12] = {"猪", "鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗"};
  const auto& text = NameTables::Text();
  heading = Format(U("%d年%d月").c_str(), ToHistoricalYear(shown.year), shown.month);
  int p[4];
  Pillars(shown, p);
  titleText = EraNames(YearCountedFromSpring(shown)) + Format(U("  【%s年】").c_str(), U(kAnimals[p[0] % 12]).c_str());
  static const char* const kUnits[4] = {"年\r\n", "月\r\n", "日\r\n", "时"};
  ganZhiText.clear();
  for (int i = 0; i < 4; ++i) ganZhiText += text.StemNames[p[i] % 10] + text.BranchNames[p[i] % 12] + U(kUnits[i]);
}
