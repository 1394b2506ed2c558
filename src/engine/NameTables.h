// The constant tables of name lore that every subsystem reads, and the small rules
// that go with them (the fold above 81, the element of a number, the report-text keys).
//
// Index conventions: a sexagenary index p (0-59) names stem p % 10 and branch p % 12;
// stems run 癸 甲 … 壬 (0-9, odd = yang), branches 亥 子 … 戌 (0-11); elements are
// 0 水 1 木 2 火 3 土 4 金, 5 none; a code byte is element * 2 + (1 if yang). The
// three-talent rules number the elements 1 木 2 火 3 土 4 金 5 水 instead.
//
// Numeric tables are constexpr; text tables are GBK, built once on first use.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace NameTables {

inline constexpr int kElementNone = 5;

// element * 2 + yang, by branch 亥 … 戌
inline constexpr std::array<uint8_t, 12> BranchCode = {0, 1, 6, 3, 2, 7, 4, 5, 6, 9, 8, 7};
inline constexpr std::array<uint8_t, 12> BranchElement = {0, 0, 3, 1, 1, 3, 2, 2, 3, 4, 4, 3};
inline constexpr std::array<uint8_t, 10> StemCode = {0, 3, 2, 5, 4, 7, 6, 9, 8, 1};
inline constexpr std::array<uint8_t, 10> StemElement = {0, 1, 1, 2, 2, 3, 3, 4, 4, 0};
// stem of each branch's main qi
inline constexpr std::array<uint8_t, 12> BranchMainStem = {9, 0, 6, 1, 2, 5, 3, 4, 6, 7, 8, 5};
// code byte of a number by its last digit
inline constexpr std::array<uint8_t, 10> DigitCode = {0, 3, 2, 5, 4, 7, 6, 9, 8, 1};

// Class of each of the 81 numbers (2 good, 1 half good, 0 bad), read at n % 81.
extern const std::array<uint8_t, 81> NumberClass81;
// The company page's table: 29 and 73 are good here.
extern const std::array<uint8_t, 81> NumberClass81Alt;
// Class of each three-talent combination at (t-1)*25 + (r-1)*5 + (d-1), elements 1 木 … 5 水.
extern const std::array<uint8_t, 125> ThreeTalentClass;

// The GBK text tables.
struct Texts {
  std::array<std::string, 24> SolarTermNames;  // from 小寒
  std::array<std::string, 7> WeekdayNames;     // Monday first
  std::array<std::string, 10> StemNames;
  std::array<std::string, 12> BranchNames;
  std::array<std::string, 15> TenGodNames;  // ten gods 0-9, then the groups 10-14
  std::array<std::string, 6> ElementNames;
  std::array<std::string, 10> DigitElement;  // element name by last digit
  std::array<std::string, 5> GridNames;
  std::array<std::string, 33> DayNumerals;
  std::array<std::string, 3> LuckWords;  // by a dictionary class: 0 good, 1 bad, 2 neutral
  std::array<std::string, 81> CompoundSurnames;
  std::string SurnameList;                        // "*"-separated, trailing "*"
  std::array<std::string, 27> KangxiStrokeChars;  // row k-1 holds the characters of k strokes
  std::array<std::string, 27> SimplifiedStrokeChars;
  std::array<std::string, 5> StrengthStates;
  std::array<std::string, 5> UsefulGodNames;
  std::array<std::string, 7> DayMasterClasses;
};
const Texts& Text();

// A number above 81 becomes (n - 81) % 80 + 1; 1 to 81 stay.
int Fold81(int n);
// Classes of a number after the fold.
int NumberClass(int n);
int NumberClassAlt(int n);
// Element (0 水 … 4 金) of a number by its last digit.
int DigitElementOf(int n);
// Three-talent element (1 木 … 5 水) of a grid number.
int TalentElement(int n);
// Class of the heaven, person and earth three-talent elements.
int TalentClass(int t, int r, int d);

// Keys of the numbered report texts.
int TalentTextId(int t, int r, int d);  // 100(2t-1) + 10(2r-1) + (2d-1)
inline int CompanyNumberTextId(int n) { return 1100 + n; }
inline int NumberTextId(int n) { return 1200 + n; }
int PersonalityTextId(int personGrid);  // last digit, 0 counted as 10
inline int ZodiacTextId(int yearBranch) { return 1310 + yearBranch; }
inline int SurnameSoundTextId(int position) { return 1401 + position; }
inline int RadicalTextId(int element) { return 1790 + element; }
enum class GridRelation { Base = 1800, Success = 1850, Social = 1900 };  // 基础运 成功运 社交运
inline int GridRelationTextId(GridRelation g, int a, int b) { return static_cast<int>(g) + 10 * a + b; }

}  // namespace NameTables
