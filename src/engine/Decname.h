// MDecName, the analyser: from a birth record and a name, the four pillars of the birth
// time (with Beijing, local mean or true solar time and the late-子 rule), the chart's
// strength and favourable elements, the strokes, five grids and three talents of the
// name, and its score. Writing the report is kept apart from the analysis.
//
// Year and month pillars follow the entered (Beijing) time, day and hour pillars the
// corrected time. Operations return false with LastError() set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/Vodateex.h"
#include "engine/Chart.h"
#include "engine/Records.h"
#include "engine/ReportView.h"

class MNameLibrary;

class MDecName {
 public:
  // The dictionary is the program-wide one; its folder is the program folder whose
  // "dat\set.ini" holds the settings.
  explicit MDecName(MNameLibrary& library);

  bool Analyse(const BirthRecord& birth);
  uint8_t StrokeMode();
  void LoadSettings();

  // Ten gods and twelve stages, as the chart computes them.
  static int LifeStage(int stem, int branch) { return chart::LifeStage(stem, branch); }
  static int TenGod(int dayStem, int stem) { return chart::TenGod(dayStem, stem); }
  static int16_t TenGodStem(int16_t dayStem, int16_t tenGod) {
    return static_cast<int16_t>(chart::TenGodStem(dayStem, tenGod));
  }

  // Stroke count of one character by the stroke setting, 0 when the dictionary lacks it.
  int CharStrokes(std::string_view ch);
  int TextStrokes(std::string_view text);
  bool CalcFiveGrids(bool singleSurname, std::string_view name, int16_t gridsOut[5], uint16_t strokesOut[4]);
  int16_t NameScore() const;

  void GetDayMaster(FavourableRecord& out) const;
  // Applies the user's roles and powers; they hold until the next Analyse.
  void SetFavourable(const FavourableRecord& in);

  void GetFiveGrids(int16_t out[5]) const;
  void GetCharElements(int out[4]) const;
  uint16_t FavourableMask() const;
  int YearBranch() const { return chart.pillars[0] % 12; }
  int16_t GetScore() const { return score; }
  bool SaveEnabled() const { return settings.save != 0; }
  void GetSnapshot(ChartResult& c, BirthRecord& b, AnalysisSettings& s) const;

  // The report of the last analysis; written to the view when writeToView is set.
  void BuildReport();
  // Key of the climate-adjustment text of a day stem (0 癸 … 9 壬) in a month branch.
  static int ClimateTextId(int dayStem, int monthBranch);
  void WriteReport();
  void SetView(ReportView* v) { view = v; }
  bool writeToView = false;
  const std::string& ReportText() const { return reportText; }
  const std::string& ChartSummary() const { return chartText; }
  const std::vector<ReportSpan>& Headings() const { return headings; }

  // Company names whose whole stroke count is good: prefix, n middle characters of the
  // elements in elementMask, suffix. The proposals replace prefix; false keeps it.
  bool ProposeCompanyNames(std::string& prefix, const std::string& suffix, int elementMask, int n);

  const ChartResult& Chart() const { return chart; }
  const DateRecord& SolarDate() const { return solarDate; }
  const DateRecord& LunarDate() const { return lunarDate; }
  const DateRecord& BeijingDate() const { return beijingDate; }
  const std::string& LastError() const { return lastError; }

 private:
  bool Fail(const char* utf8);
  bool ConvertDates();
  void CalcPillars();
  void BuildChart();
  bool LookUp(std::string_view ch, int& strokes, int& element);
  void ChartText();
  void FiveGridText();
  void AppendEndInfo();
  std::string LunarLine();
  std::string SolarLine();
  void Heading(size_t start, size_t length, uint32_t rgb, bool bold);

  MNameLibrary& library;
  MVoDateEx calendar;
  bool fresh = true;
  bool powersDone = false;
  DateRecord solarDate;
  DateRecord lunarDate;
  DateRecord beijingDate;
  BirthRecord birth;
  ChartResult chart;
  int16_t singleSurname = 1;
  int16_t charCount = 0;
  int16_t strokes[4] = {};
  int16_t grids[5] = {};
  int16_t score = 0;
  int16_t charElements[4] = {10, 10, 10, 10};
  AnalysisSettings settings;
  FavourableRecord favourableOverride;
  std::string lastError;
  std::string reportText;
  std::string chartText;
  std::vector<ReportSpan> headings;
  ReportView* view = nullptr;
};
