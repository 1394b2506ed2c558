// The records that the analyser, the scorer and the generator exchange with each other
// and with the main window. All are plain fixed-size values copied whole; none is
// stored in a file here. "None" fields hold 255 (unsigned) or -1 (signed).
#pragma once

#include <cstdint>
#include <string_view>

// The person being analysed, owned by the main window and copied whole into the analyser.
struct BirthRecord {
  char name[10] = {};  // surname and given name, GBK, NUL-terminated
  int16_t year = 0;
  int16_t month = 0;
  int16_t day = 0;
  int16_t hour = 0;
  int16_t minute = 0;
  uint8_t lunar = 0;      // the date is a lunar date
  uint8_t leapMonth = 0;  // the lunar month is the leap month
  uint8_t male = 1;
  int16_t provinceIndex = 34;
  int16_t cityIndex = 0;
  float longitude = 120.0f;   // degrees east
  float latitude = 30.0f;     // degrees north
  char place[51] = {};        // GBK
  uint8_t singleSurname = 1;  // 0: a two-character surname
};

// A birth place on the globe: east longitude -180 to 180, north latitude -90 to 90. Read
// from files (a stored or imported case, the place table), anything else is damage.
inline bool BirthPlaceValid(float longitude, float latitude) {
  return longitude >= -180.0f && longitude <= 180.0f && latitude >= -90.0f && latitude <= 90.0f;  // NaN fails
}
inline constexpr const char* kBirthPlaceRangeText = "出生地经纬度有误：经度在-180到180之间，纬度在-90到90之间";

// Settings of one run, from "dat\set.ini" section "set".
struct AnalysisSettings {
  uint8_t iDate = 0;        // 0 Beijing time, 1 true solar time, 2 local mean time
  uint8_t congGe = false;   // allow the follow classes 从旺 and 从弱
  int32_t ileft = 0;        // left indent of the report
  uint8_t save = false;     // store each analysed case
  uint8_t zishi = false;    // late-子: hour 23 keeps its day
  uint8_t score = false;    // lenient weight set of the score
  uint8_t biange = true;    // a special structure decides the favourable elements
  uint8_t endinfo = false;  // append "dat\EndInfo.txt"
  uint8_t iwordlen = 0;     // 0 Kangxi strokes, 1 simplified strokes
};

// Reads the settings of "<programFolder>dat\set.ini"; a missing file, section or key,
// or a value out of its range, gives the default.
AnalysisSettings ReadAnalysisSettings(std::string_view programFolder);

inline constexpr uint8_t kNoneByte = 255;

struct StemInfo {
  uint8_t tenGod = kNoneByte;  // none for the day pillar
  uint8_t group = kNoneByte;
  uint8_t lifeStage = 0;  // twelve-stage index of the stem on its own branch
  uint8_t status = 0;     // 旺相休囚死 index of the stem's element in the birth month
  int16_t combination = -1;
};

struct BranchInfo {
  uint8_t mainTenGod = kNoneByte;
  uint8_t mainGroup = kNoneByte;
  uint8_t hiddenTenGod[3] = {kNoneByte, kNoneByte, kNoneByte};
  uint8_t hiddenGroup[3] = {kNoneByte, kNoneByte, kNoneByte};
  uint8_t status = 0;
  int16_t clash = -1;
  int16_t punishment = -1;
  int16_t harm = -1;
  int16_t combination = -1;
  int16_t triple = -1;
  int16_t halfTriple = -1;
  int16_t meeting = -1;
  int16_t triplePunishment = -1;
};

// The result of one analysis of birth data. A default-constructed value is the
// cleared state each analysis starts from.
struct ChartResult {
  int16_t pillars[4] = {};  // sexagenary index of year, month, day, hour
  uint8_t codeCount[10] = {};
  uint8_t codeCountHidden[10] = {};
  uint8_t elementCount[5] = {};
  uint8_t elementCountHidden[5] = {};
  uint8_t tenGodCount[10] = {};
  uint8_t tenGodCountHidden[10] = {};
  uint8_t groupCount[5] = {};
  uint8_t groupCountHidden[5] = {};
  uint8_t stemTenGodCount[10] = {};
  uint8_t stemGroupCount[5] = {};
  uint8_t branchTenGodCount[10] = {};
  uint8_t hiddenTenGodCount[10] = {};
  uint8_t branchGroupCount[5] = {};
  uint8_t hiddenGroupCount[5] = {};
  int16_t balance = 0;
  int16_t codePower[10] = {};
  int16_t tenGodPower[10] = {};
  int16_t elementPower[5] = {};
  int16_t groupPower[5] = {};
  uint8_t elementRank[5] = {};  // weakest first
  uint8_t groupRank[5] = {};
  uint8_t codeRank[10] = {};
  uint8_t tenGodRank[10] = {};
  int16_t yinPower = 0;
  int16_t yangPower = 0;
  int16_t monthAdjust = 0;
  uint8_t strengthScale = 0;                      // 0 extremely weak … 6 extremely strong
  uint8_t dayMasterClass = 0;                     // index into DayMasterClasses
  int16_t monthStructures[4] = {-1, -1, -1, -1};  // ended by -1
  int16_t specialStructure = -1;
  uint8_t favourableElements[5] = {};  // 用神 喜神 忌神 仇神 闲神
  uint8_t favourableGroups[5] = {};
  StemInfo stemInfo[4];
  BranchInfo branchInfo[4];
};

// The favourable-element choice of a chart, edited by the user and applied back.
struct FavourableRecord {
  int16_t tenGodScores[10] = {};  // 0 to 999
  int16_t roles[5] = {};          // ten-god group of 用神 喜神 忌神 仇神 闲神
  int16_t dayMasterClass = 0;
  int16_t dayStem = 0;
};

// One generated name.
struct CandidateRecord {
  char name[9] = {};  // GBK, NUL-terminated
  uint8_t talentsClass = 0;
  uint8_t elements[4] = {10, 10, 10, 10};  // 10 where the name is shorter
  uint8_t gridClasses[5] = {};             // heaven, person, earth, total, outer
  uint8_t strokes[4] = {};                 // 0 where the name is shorter
  int16_t score = 0;
};
