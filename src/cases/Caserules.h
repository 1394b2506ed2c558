// The rules of the case history that do not need a window: the text of a case's tree
// node and its id, the years the user types against the stored numbering, the search
// criteria from the search dialog's fields, category names, the check of a store picked
// for import, and the copies between a case and the birth data.
//
// Texts are GBK. Every copy into a fixed field is cut at a character boundary so that
// its terminator always fits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cases/Database.h"
#include "engine/Records.h"

// The 35 birth provinces, "未知地" last; also the sections of "dat\dili.ini".
const std::vector<std::string>& ProvinceNames();
inline constexpr int kProvinceCount = 35;

// Category names: 1 to 12 bytes (6 Chinese characters) after trimming.
inline constexpr size_t kMaxCategoryBytes = 12;
bool CategoryNameValid(std::string_view trimmed);
// Section "classes" holds at most this many; a larger "count" (a damaged settings file)
// is read as this, so no list or loop runs on for billions of keys.
inline constexpr int kMaxCategories = 1000;
int CategoryCount(long long stored);
// The first line (from 1) that is empty or too long once trimmed; 0 when all pass.
int FirstBadCategoryLine(const std::vector<std::string>& lines);

// Years: stored astronomical numbering against the typed one (negative = BC, no 0).
int ShownYear(int stored);
int StoredYear(int typed);
// A typed year text; no number reads as -1000, which every range refuses.
int TypedYearOf(std::string_view text);
// The search accepts -850 to 2100, the details dialog -849 to 2100; never 0.
bool TypedYearValid(int typed, int lowest);

// "李四  公1999-12-31|42": name, calendar, leap mark, shown date, then the id.
std::string CaseNodeText(const CaseRecord& r);
// The decimal number after the last "|"; -1 when there is none.
int32_t CaseIdOfText(std::string_view text);

// Hour list item h: "%d时" and the earthly branch of its double hour (23 and 0 read 子).
std::string HourItemText(int hour);

// The search dialog's fields as the user left them.
struct SearchFields {
  int provinceItem = 0;  // 0: any; p + 1: province p
  int sexItem = 0;       // 0 any, 1 male, 2 female
  std::string yearFrom, yearTo;
  std::string name;
  bool nameWhole = false;
  std::string category;
  bool categoryWhole = false;
};

enum class CriteriaError { None, YearRange, YearOrder };

// Fills the criteria from the fields; on an error the criteria are left as they were.
// An empty text switches its mode off and keeps the stored text for the next showing.
CriteriaError FillCriteria(const SearchFields& f, CaseCriteria& c);
// The fields that show the criteria again; a text shows only while its mode is on.
SearchFields FieldsOf(const CaseCriteria& c);

// "省-地" for a province and its place, "未知" for the last province; cut to the field.
void SetPlace(CaseRecord& r, int provinceIndex, std::string_view placeName);
// The note as the record holds it: a final line break dropped, then cut to fit.
void SetNote(CaseRecord& r, std::string_view memoText);

// Copies between the stored case and the birth data; names are cut to the smaller field.
void CaseToBirth(const CaseRecord& c, BirthRecord& b);
void BirthToCase(const BirthRecord& b, CaseRecord& c);

// "<folder>bazi_f\<id>.rtf" in the program folder.
std::string CaseReportPath(std::string_view programFolder, int32_t id);

// Whether path names data file 0 of a whole case store of kind 0 that is not the
// program's own store: header, kind, file count and every data file are checked.
// false with a message for the user (GBK) in error.
bool CheckImportSource(std::string_view path, std::string_view programFolder, std::string& error);

// A value of the place table, "120:30*30:15": degrees and minutes of longitude, then of
// latitude, each read as degrees + minutes / 60. false when a part is no number or the
// place lies off the globe.
bool PlaceCoordinates(std::string_view value, float& longitude, float& latitude);
