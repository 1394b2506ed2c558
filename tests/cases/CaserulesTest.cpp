#include "cases/Caserules.h"

#include <gtest/gtest.h>

#include <limits>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "support/TempFolder.h"

namespace {

using gbk::U;

CaseRecord Case(const char* name, int year, bool lunar, bool leap, int id) {
  CaseRecord r{};
  SetText(r.name, U(name));
  r.year = static_cast<int16_t>(year);
  r.month = 3;
  r.day = 1;
  r.lunar = lunar;
  r.leapMonth = leap;
  r.id = id;
  return r;
}

TEST(CaseNode, TextAndIdRoundTrip) {
  struct Row {
    const char* name;
    int year;
    bool lunar, leap;
    int id;
    const char* text;
  } rows[] = {
      {"李四", 1999, false, false, 42, "李四  公1999-3-1|42"},
      {"王五", -119, false, false, 7, "王五  公-120-3-1|7"},
      {"赵", 0, true, true, 0, "赵  农闰-1-3-1|0"},
      {"钱", 2000, false, true, 123456, "钱  公2000-3-1|123456"},  // leap counts only for lunar
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    std::string text = CaseNodeText(Case(r.name, r.year, r.lunar, r.leap, r.id));
    EXPECT_EQ(text, U(r.text));
    EXPECT_EQ(CaseIdOfText(text), r.id);
  }
  for (const char* bad : {"命例", "", "a|", "a|12x", "a|-3"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(CaseIdOfText(U(bad)), -1);
  }
}

TEST(CaseYears, TypedAgainstStored) {
  struct Row {
    const char* text;
    int lowest;
    bool valid;
    int stored;
  } rows[] = {{"-850", -850, true, -849}, {"-850", -849, false, 0}, {"-849", -849, true, -848},
              {"-1", -850, true, 0},      {"0", -850, false, 0},    {"2100", -850, true, 2100},
              {"2101", -850, false, 0},   {"abc", -850, false, 0},  {"", -850, false, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.text) + " from " + std::to_string(r.lowest));
    int typed = TypedYearOf(r.text);
    EXPECT_EQ(TypedYearValid(typed, r.lowest), r.valid);
    if (r.valid) {
      EXPECT_EQ(StoredYear(typed), r.stored);
      EXPECT_EQ(ShownYear(StoredYear(typed)), typed);
    }
  }
}

TEST(CaseHours, BranchOfEachDoubleHour) {
  struct Row {
    int hour;
    const char* text;
  } rows[] = {{0, "0时子"},   {1, "1时丑"},   {2, "2时丑"},   {3, "3时寅"},  {11, "11时午"},
              {12, "12时午"}, {21, "21时亥"}, {22, "22时亥"}, {23, "23时子"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.hour);
    EXPECT_EQ(HourItemText(r.hour), U(r.text));
  }
}

TEST(CaseCategories, NamesAndLines) {
  EXPECT_TRUE(CategoryNameValid(U("六个汉字类别")));
  EXPECT_FALSE(CategoryNameValid(U("七个汉字的类别")));
  EXPECT_FALSE(CategoryNameValid(U("六个汉字类别x")));
  EXPECT_FALSE(CategoryNameValid(""));
  EXPECT_EQ(FirstBadCategoryLine({U("家人"), U(" 朋友 "), U("同事")}), 0);
  EXPECT_EQ(FirstBadCategoryLine({U("家人"), "  ", U("同事")}), 2);
  EXPECT_EQ(FirstBadCategoryLine({U("家人"), U("朋友"), U("七个汉字的类别")}), 3);
}

TEST(CaseSearchCriteria, FieldsFillAndShowAgain) {
  CaseCriteria c;
  SearchFields f;
  f.provinceItem = 2;
  f.sexItem = 2;
  f.yearFrom = "-120";
  f.yearTo = "1990";
  f.name = U("王");
  f.nameWhole = true;
  ASSERT_EQ(FillCriteria(f, c), CriteriaError::None);
  EXPECT_EQ(c.province, 1);
  EXPECT_EQ(c.sexOn, 1);
  EXPECT_EQ(c.sex, 0);
  EXPECT_EQ(c.yearOn, 1);
  EXPECT_EQ(c.yearFrom, -119);
  EXPECT_EQ(c.yearTo, 1990);
  EXPECT_EQ(c.nameMode, 2);
  EXPECT_EQ(c.categoryMode, 0);
  SearchFields back = FieldsOf(c);
  EXPECT_EQ(back.provinceItem, 2);
  EXPECT_EQ(back.sexItem, 2);
  EXPECT_EQ(back.yearFrom, "-120");
  EXPECT_EQ(back.yearTo, "1990");
  EXPECT_EQ(back.name, U("王"));
  EXPECT_TRUE(back.nameWhole);

  // An emptied name switches its mode off and is not shown again, though the text stays.
  f.name.clear();
  ASSERT_EQ(FillCriteria(f, c), CriteriaError::None);
  EXPECT_EQ(c.nameMode, 0);
  EXPECT_EQ(FieldText(c.name), U("王"));
  EXPECT_EQ(FieldsOf(c).name, "");
}

TEST(CaseSearchCriteria, RefusalsLeaveTheBlock) {
  struct Row {
    const char* from;
    const char* to;
    CriteriaError error;
  } rows[] = {{"1990", "", CriteriaError::YearRange},
              {"0", "1990", CriteriaError::YearRange},
              {"1990", "2101", CriteriaError::YearRange},
              {"2000", "1990", CriteriaError::YearOrder}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.from) + ".." + r.to);
    CaseCriteria c;
    SearchFields f;
    f.sexItem = 1;
    f.yearFrom = r.from;
    f.yearTo = r.to;
    EXPECT_EQ(FillCriteria(f, c), r.error);
    EXPECT_EQ(c.sexOn, 0);
    EXPECT_EQ(c.yearOn, 0);
  }
}

TEST(CaseSearchCriteria, LongTextsCutAtCharacterBoundary) {
  CaseCriteria c;
  SearchFields f;
  f.name = U("一二三四五六七八九十");    // 20 bytes into 11
  f.category = U("一二三四五六七八九");  // 18 bytes into 13
  ASSERT_EQ(FillCriteria(f, c), CriteriaError::None);
  EXPECT_EQ(FieldText(c.name), U("一二三四五"));
  EXPECT_EQ(FieldText(c.category), U("一二三四五六"));
}

TEST(CaseCopies, BoundedAndCutAtCharacterBoundary) {
  CaseRecord c = Case("欧阳一二三四", 1980, true, true, 5);  // 12 bytes: cut to 11 -> 10
  c.singleSurname = 0;
  c.provinceIndex = 11;
  BirthRecord b;
  CaseToBirth(c, b);
  EXPECT_EQ(FieldText(b.name), U("欧阳一二"));
  EXPECT_EQ(b.year, 1980);
  EXPECT_EQ(b.leapMonth, 1);
  EXPECT_EQ(b.singleSurname, 0);
  EXPECT_EQ(b.provinceIndex, 11);

  SetText(b.place, U("浙江省-杭州"));
  CaseRecord back{};
  BirthToCase(b, back);
  EXPECT_EQ(FieldText(back.name), U("欧阳一二"));
  EXPECT_EQ(FieldText(back.place), U("浙江省-杭州"));

  SetPlace(back, 34, U("未知地"));
  EXPECT_EQ(FieldText(back.place), U("未知"));
  SetPlace(back, 0, std::string(70, 'x'));
  EXPECT_EQ(FieldText(back.place).size(), 59u);

  SetNote(back, U("备注:好\r\n"));
  EXPECT_EQ(FieldText(back.note), U("备注:好"));
  std::string longNote;
  for (int i = 0; i < 600; ++i) longNote += U("字");
  SetNote(back, "x" + longNote);
  EXPECT_EQ(FieldText(back.note).size(), 1001u);  // 1 + 500 characters
}

class CaseImportCheck : public ::testing::Test {
 protected:
  TempFolder temp;
  std::string program = temp.Dir();
  std::string error;

  std::string Store(const std::string& sub, int cases) {
    std::string dir = temp.Path(sub) + "\\";
    EXPECT_TRUE(file::ForceDirectories(dir + "dat"));
    MDataBase db;
    EXPECT_TRUE(db.Open(dir, 0)) << db.LastError();
    for (int i = 0; i < cases; ++i) {
      CaseRecord r = Case("张三", 1990, false, false, 0);
      EXPECT_GE(db.Add(r), 0);
    }
    return dir + "dat\\bazi0.dat";
  }
};

TEST_F(CaseImportCheck, AcceptsAnExportedStore) {
  EXPECT_TRUE(CheckImportSource(Store("elsewhere", 3), program, error)) << error;
}

TEST_F(CaseImportCheck, RefusesWhatIsNotAWholeStore) {
  std::string good = Store("elsewhere", 2);
  std::string folder = ExtractFilePath(good);
  struct Row {
    const char* what;
    std::string path;
    std::string bytes;  // written first when not empty
  } rows[] = {
      {"missing", folder + "bazi0.dat.none", ""},
      {"not named as a store", folder + "notes.dat", "hello, world, this is text"},
      {"too short", folder + "bazi0.dat", "short"},
      {"wrong kind", folder + "bazi0.dat", std::string("\x05", 1) + std::string(19, '\0')},
      {"count past the file", folder + "bazi0.dat",
       std::string(4, '\0') + std::string("\x09\0\0\0", 4) + std::string(6, '\0') + "\x01" + std::string(5, '\0')},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    if (!r.bytes.empty()) {
      ASSERT_TRUE(file::WriteAtomic(r.path, r.bytes));
    }
    error.clear();
    EXPECT_FALSE(CheckImportSource(r.path, program, error));
    EXPECT_FALSE(error.empty());
  }
}

// An export cut short while it replaced an older one, and a store holding a case born
// off the globe, are refused with their own words.
TEST_F(CaseImportCheck, RefusesAnUnfinishedExportAndPlacesOffTheGlobe) {
  std::string good = Store("elsewhere", 3);
  std::string folder = ExtractFilePath(good);
  ASSERT_TRUE(file::CreateDir(folder + "bazi.new"));
  ASSERT_TRUE(file::WriteAtomic(folder + "bazi.new\\ready", ""));
  EXPECT_FALSE(CheckImportSource(good, program, error));
  EXPECT_EQ(error, U("这份历史记录没有导出完，请重新导出后再导入。"));
  ASSERT_TRUE(file::Delete(folder + "bazi.new\\ready"));
  ASSERT_TRUE(file::RemoveDir(folder + "bazi.new"));
  ASSERT_TRUE(CheckImportSource(good, program, error)) << error;

  for (float longitude : {1e9f, std::numeric_limits<float>::quiet_NaN(), -181.0f}) {
    SCOPED_TRACE(longitude);
    MDataBase db;
    ASSERT_TRUE(db.Open(ExtractFilePath(folder.substr(0, folder.size() - 1)), 0));
    CaseRecord r;
    ASSERT_TRUE(db.Read(1, r));
    float kept = r.longitude;
    r.longitude = longitude;
    ASSERT_TRUE(db.Write(1, r, db.Generation()));
    error.clear();
    EXPECT_FALSE(CheckImportSource(good, program, error));
    EXPECT_EQ(error, U("所选历史记录中有出生地经纬度错误的命例，已经损坏，不能导入。"));
    r.longitude = kept;
    ASSERT_TRUE(db.Write(1, r, db.Generation()));
  }
}

TEST_F(CaseImportCheck, RefusesTheProgramsOwnStore) {
  std::string own = Store("prog", 1);
  EXPECT_FALSE(CheckImportSource(own, temp.Path("prog\\"), error));
  EXPECT_FALSE(error.empty());
}

}  // namespace

namespace {

// A damaged settings file's "count" is read within what the program keeps.
TEST(CaseCategories, CountIsBounded) {
  const long long kStored[] = {-5, 0, 3, 1000, 1001, 2147483647LL, 9223372036854775807LL};
  const int kRead[] = {0, 0, 3, 1000, 1000, 1000, 1000};
  for (size_t i = 0; i < std::size(kStored); ++i) {
    SCOPED_TRACE(kStored[i]);
    EXPECT_EQ(CategoryCount(kStored[i]), kRead[i]);
  }
}

TEST(CasePlaces, CoordinatesOfAPlaceValue) {
  struct Row {
    const char* value;
    bool ok;
    float longitude, latitude;
  } rows[] = {{"120:0*30:0", true, 120.0f, 30.0f},
              {"116:24*39:54", true, 116.4f, 39.9f},
              {" 87:36 * 43:48 ", true, 87.6f, 43.8f},
              {"120:0", false, 0, 0},
              {"120*30", false, 0, 0},
              {"abc:1*2:3", false, 0, 0},
              {"1000000000:0*30:0", false, 0, 0},
              {"120:0*95:0", false, 0, 0},
              {"-180:0*-90:0", true, -180.0f, -90.0f}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    float lon = -1, lat = -1;
    EXPECT_EQ(PlaceCoordinates(r.value, lon, lat), r.ok);
    if (r.ok) {
      EXPECT_NEAR(lon, r.longitude, 1e-4);
      EXPECT_NEAR(lat, r.latitude, 1e-4);
    } else {
      EXPECT_EQ(lon, -1);  // left as they were
    }
  }
}

}  // namespace
