#include "engine/Decname.h"

#include <gtest/gtest.h>

#include <limits>

#include <cstring>
#include <string>

#include "dictionary/DictFixture.h"
#include "engine/NameTables.h"

namespace {

// Strokes (Kangxi, simplified) and element of the test characters.
CharRecord Char(const char* word, int kx, int gb, int wx) {
  CharRecord r = MakeRecord(word, kx, gb);
  r.wx = static_cast<uint8_t>(wx);
  return r;
}

std::string Pillar(int p) {
  const auto& t = NameTables::Text();
  return gbk::ToUtf8(t.StemNames[p % 10] + t.BranchNames[p % 12]);
}

class Decname : public DictFixture {
 protected:
  void SetUp() override {
    Build("ChiWord.db",
          {Char("李", 7, 7, 1), Char("明", 8, 8, 2), Char("强", 11, 12, 1), Char("欧", 15, 8, 3), Char("阳", 17, 6, 3),
           Char("林", 8, 8, 1)},
          U("李明"));
  }
  void Settings(const std::string& body) {
    ASSERT_TRUE(file::WriteAtomic(tmp.Path("dat\\set.ini"), "[set]\r\n" + body));
  }
  BirthRecord Birth(const char* name, int y, int mo, int d, int h, int mi) {
    BirthRecord b;
    std::string g = U(name);
    std::memcpy(b.name, g.c_str(), std::min<size_t>(g.size(), 9));
    b.year = static_cast<int16_t>(y), b.month = static_cast<int16_t>(mo), b.day = static_cast<int16_t>(d);
    b.hour = static_cast<int16_t>(h), b.minute = static_cast<int16_t>(mi);
    return b;
  }
  std::string Pillars(const MDecName& a) {
    std::string s;
    for (int p : a.Chart().pillars) s += Pillar(p) + " ";
    return s;
  }

  MNameLibrary lib{tmp.Dir()};
};

TEST_F(Decname, PillarsOfKnownBirths) {
  struct Case {
    const char* name;
    int y, mo, d, h, mi;
    const char* settings;
    const char* pillars;
  };
  const Case kCases[] = {
      {"2000-01-01 noon", 2000, 1, 1, 12, 0, "", "己卯 丙子 戊午 戊午 "},
      {"before 立春 1984", 1984, 2, 4, 10, 0, "", "癸亥 乙丑 戊辰 丁巳 "},
      {"after 立春 1984", 1984, 2, 5, 12, 0, "", "甲子 丙寅 己巳 庚午 "},
      {"late 子 takes the next day", 2000, 1, 1, 23, 30, "", "己卯 丙子 己未 甲子 "},
      {"late 子 kept on its day", 2000, 1, 1, 23, 30, "zishi=1\r\n", "己卯 丙子 戊午 甲子 "},
      // local mean time at 90°E is two hours behind: only day and hour move back
      {"local time across midnight", 2000, 1, 2, 0, 30, "iDate=2\r\n", "己卯 丙子 戊午 癸亥 "},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Settings(c.settings);
    MDecName a(lib);
    BirthRecord b = Birth("李明强", c.y, c.mo, c.d, c.h, c.mi);
    b.longitude = 90.0f;
    ASSERT_TRUE(a.Analyse(b)) << gbk::ToUtf8(a.LastError());
    EXPECT_EQ(Pillars(a), c.pillars);
  }
}

TEST_F(Decname, YearAndMonthTurnAtTheSameMinuteOf立春) {
  MVoDateEx cal;
  DateRecord t;
  cal.SolarTermOfMonth(1984, 2, true, t);
  for (int delta : {-2, -1, 0, 1, 2}) {
    SCOPED_TRACE(delta);
    DateRecord at = t;
    at.minute = static_cast<int16_t>(at.minute + delta);
    if (at.minute < 0 || at.minute > 59) continue;
    MDecName a(lib);
    ASSERT_TRUE(a.Analyse(Birth("李明强", at.year, at.month, at.day, at.hour, at.minute)));
    bool newYear = a.Chart().pillars[0] == 1;          // 甲子
    bool tigerMonth = a.Chart().pillars[1] % 12 == 3;  // 寅
    EXPECT_EQ(newYear, tigerMonth) << Pillars(a);
  }
}

TEST_F(Decname, RefusalsCarryTheirMessages) {
  struct Case {
    const char* name;
    BirthRecord birth;
    const char* settings;
    const char* message;
  };
  BirthRecord lunar = Birth("李明", 2002, 5, 10, 12, 0);  // 2002 has no leap month
  lunar.lunar = 1;
  lunar.leapMonth = 1;
  BirthRecord compound = Birth("欧阳", 2000, 5, 5, 12, 0);
  compound.singleSurname = 0;
  // A stored or imported case whose place lies off the globe: no local time to take.
  BirthRecord farEast = Birth("李明", 1990, 5, 5, 10, 30);
  farEast.longitude = 1e9f;
  BirthRecord noLongitude = farEast;
  noLongitude.longitude = std::numeric_limits<float>::quiet_NaN();
  BirthRecord pastThePole = Birth("李明", 1990, 5, 5, 10, 30);
  pastThePole.latitude = 91.0f;
  const Case kCases[] = {
      {"year before 1900", Birth("李明", 1899, 5, 5, 12, 0), "", "年份在1900-2100之间"},
      {"no such day", Birth("李明", 2001, 2, 29, 12, 0), "", "不存在这个日期"},
      {"impossible lunar date", lunar, "", "不存在这个农历日期，无法转换到公历！"},
      {"late 子 leaves 2100", Birth("李明", 2100, 12, 31, 23, 0), "", "时间越界，年份在1900-2100之间"},
      {"single surname alone", Birth("李", 2000, 5, 5, 12, 0), "", "姓名太短：单姓后面至少要有一个字"},
      {"compound surname alone", compound, "", "姓名太短：复姓后面至少要有一个字"},
      {"character not in the dictionary", Birth("李好", 2000, 5, 5, 12, 0), "", "找不到其中一个汉字的笔划"},
      {"longitude 1e9, true solar time", farEast, "iDate=1\r\n", kBirthPlaceRangeText},
      {"longitude NaN, true solar time", noLongitude, "iDate=1\r\n", kBirthPlaceRangeText},
      {"longitude 1e9, Beijing time", farEast, "", kBirthPlaceRangeText},
      {"latitude 91", pastThePole, "", kBirthPlaceRangeText},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Settings(c.settings);
    MDecName a(lib);
    EXPECT_FALSE(a.Analyse(c.birth));
    EXPECT_EQ(gbk::ToUtf8(a.LastError()), c.message);
  }
}

TEST_F(Decname, MissingDictionaryGivesItsOwnError) {
  TempFolder empty;
  MNameLibrary none(empty.Dir());
  MDecName a(none);
  EXPECT_FALSE(a.Analyse(Birth("李明", 2000, 5, 5, 12, 0)));
  EXPECT_FALSE(a.LastError().empty());
  EXPECT_EQ(a.LastError(), none.LastError());
  EXPECT_NE(gbk::ToUtf8(a.LastError()), "找不到其中一个汉字的笔划");
}

TEST_F(Decname, GridsAndStrokesByTheStrokeSetting) {
  struct Case {
    const char* name;
    const char* settings;
    bool single;
    const char* person;
    int16_t grids[5];
  };
  const Case kCases[] = {
      {"Kangxi", "", true, "李明强", {8, 15, 19, 26, 12}},
      {"simplified", "iwordlen=1\r\n", true, "李明强", {8, 15, 20, 27, 13}},
      {"compound surname", "", false, "欧阳林", {32, 25, 9, 40, 16}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Settings(c.settings);
    MDecName a(lib);
    BirthRecord b = Birth(c.person, 2000, 1, 1, 12, 0);
    b.singleSurname = c.single ? 1 : 0;
    ASSERT_TRUE(a.Analyse(b)) << gbk::ToUtf8(a.LastError());
    int16_t g[5];
    a.GetFiveGrids(g);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g[i], c.grids[i]) << i;
    int el[4];
    a.GetCharElements(el);
    EXPECT_EQ(el[3], 10);
    EXPECT_EQ(a.GetScore(), a.NameScore());
    EXPECT_GT(a.GetScore(), 0);
  }
}

TEST_F(Decname, ChosenRolesHoldUntilTheNextAnalysis) {
  MDecName a(lib);
  BirthRecord b = Birth("李明强", 2000, 1, 1, 12, 0);
  ASSERT_TRUE(a.Analyse(b));
  FavourableRecord f;
  a.GetDayMaster(f);
  EXPECT_EQ(f.dayStem, 5);  // 戊
  const ChartResult computed = a.Chart();
  // Choose the roles one place on, and double one power.
  for (int r = 0; r < 5; ++r) f.roles[r] = static_cast<int16_t>((computed.favourableGroups[r] + 1) % 5);
  f.tenGodScores[0] = static_cast<int16_t>(f.tenGodScores[0] * 2 + 10);
  a.SetFavourable(f);
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(a.Chart().favourableGroups[r], f.roles[r]);
    EXPECT_EQ(a.Chart().favourableElements[r], (f.roles[r] + 3) % 5);  // 戊 is earth
  }
  EXPECT_EQ(a.Chart().tenGodPower[0], f.tenGodScores[0]);
  EXPECT_EQ(a.GetScore(), a.NameScore());
  uint16_t mask = a.FavourableMask();
  EXPECT_EQ(mask, (1u << a.Chart().favourableElements[0]) | (1u << a.Chart().favourableElements[1]));

  ASSERT_TRUE(a.Analyse(b));
  for (int r = 0; r < 5; ++r) EXPECT_EQ(a.Chart().favourableGroups[r], computed.favourableGroups[r]);
  EXPECT_EQ(a.Chart().tenGodPower[0], computed.tenGodPower[0]);
}

TEST_F(Decname, LunarInputAndTheLunarDateOfTheShiftedTime) {
  MVoDateEx cal;
  DateRecord lunar;
  cal.SolarToLunar(DateRecord{2000, 1, 1, 12, 0}, lunar);
  BirthRecord b = Birth("李明", lunar.year, lunar.month, lunar.day, 12, 0);
  b.lunar = 1;
  MDecName a(lib);
  ASSERT_TRUE(a.Analyse(b)) << gbk::ToUtf8(a.LastError());
  EXPECT_EQ(Pillars(a), "己卯 丙子 戊午 戊午 ");

  // A birth at 23:30 (late 子 rule off) reads the lunar date of the next day.
  DateRecord next;
  cal.SolarToLunar(DateRecord{2000, 1, 2, 0, 0}, next);
  ASSERT_TRUE(a.Analyse(Birth("李明", 2000, 1, 1, 23, 30)));
  EXPECT_EQ(a.LunarDate().day, next.day);
  EXPECT_EQ(a.LunarDate().month, next.month);
  EXPECT_EQ(a.BeijingDate().day, 1);
}

}  // namespace
