// The name generator on small dictionaries built here: stroke sets, filters, the
// order of the kept names, pages, Stop, the cap and the ceiling.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "dictionary/DictFixture.h"
#include "engine/NameTables.h"
#include "engine/Searchname.h"

namespace {

// The i-th GBK hanzi from 啊 on, skipping the characters the tests name themselves.
std::string Hanzi(int i) {
  static const std::string reserved = U("李欧阳吉凶");
  std::string s;
  for (int k = 0;; ++k) {
    s = {static_cast<char>(0xB0 + k / 94), static_cast<char>(0xA1 + k % 94)};
    if (dictsql::FindChar(reserved, s) == 0 && i-- == 0) return s;
  }
}

CharRecord Rec(const std::string& word, int strokes, int wx = 1, int jx = 0, int sex = 1,
               const std::string& radical = U("木")) {
  CharRecord r = MakeRecord("一", strokes, strokes);
  r.word = word;
  r.wx = static_cast<uint8_t>(wx);
  r.jx = static_cast<uint8_t>(jx);
  r.useSex = static_cast<uint8_t>(sex);
  r.buShou = radical;
  return r;
}

NamingConditions Conditions(int formula, int givenLength = 2) {
  NamingConditions c;
  std::strcpy(c.surname, U("李").c_str());
  c.givenLength = static_cast<uint8_t>(givenLength);
  c.sex = 3;
  c.elementMask = 31;
  c.allowBadChars = 1;
  c.talentsGood = 0;
  c.formula = static_cast<uint8_t>(formula);
  c.charset = 1;
  return c;
}

class CountingPump : public MessagePump {
 public:
  void Pump() override {
    ++calls;
    if (onPump) onPump(calls);
  }
  int calls = 0;
  std::function<void(int)> onPump;
};

class RecordingView : public ResultView {
 public:
  void Clear() override { rows.clear(); }
  void AddRow(const ResultRow& row) override { rows.push_back(row); }
  std::vector<ResultRow> rows;
};

class SearchNameTest : public DictFixture {
 protected:
  // The full dictionary file, its groups rebuilt; every character counts as common.
  void Dictionary(std::vector<CharRecord> recs) {
    recs.insert(recs.begin(), Rec(U("李"), 7, 1, 0, 1));
    recs.push_back(Rec(U("欧"), 8));
    recs.push_back(Rec(U("阳"), 17));
    std::string all;
    for (const CharRecord& r : recs) all += r.word;
    BuildBatched("ChiWord.db", recs, all);
    ASSERT_TRUE(lib.Open(0));
    ASSERT_TRUE(lib.RebuildGroups()) << lib.LastError();
  }
  // `count` characters of each stroke count, all passing every filter.
  void Uniform(const std::vector<int>& strokes, int count) {
    std::vector<CharRecord> recs;
    int k = 0;
    for (int s : strokes) {
      for (int i = 0; i < count; ++i) recs.push_back(Rec(Hanzi(k++), s));
    }
    Dictionary(recs);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (size_t i = 0; i < gen.Count(); ++i) out.push_back(gen.Candidate(i).name);
    return out;
  }

  MNameLibrary lib{tmp.Dir()};
  CountingPump pump;
  MSearchName gen{lib, &pump};
};

CandidateRecord Named(const std::string& name, int score) {
  CandidateRecord r;
  name.copy(r.name, sizeof r.name - 1);  // the field stays NUL-terminated
  r.score = static_cast<int16_t>(score);
  return r;
}

TEST_F(SearchNameTest, GoodStrokeSetsOfASevenStrokeSurname) {
  Dictionary({});
  gen.SetConditions(Conditions(0, 2));
  std::string text;
  ASSERT_TRUE(gen.ListGoodStrokeSets(text)) << gen.LastError();
  TStringList lines;
  lines.SetText(text);
  std::vector<std::string> sets;
  for (const std::string& l : lines) {
    if (!l.empty() && l[0] >= '1' && l[0] <= '9') sets.push_back(l);
  }
  ASSERT_EQ(sets.size(), 14u) << gbk::ToUtf8(text);
  EXPECT_EQ(sets[0], U("1：李(7)　名(1)　名(5)"));
  EXPECT_EQ(text.substr(0, U("贵姓：李，二字名，").size()), U("贵姓：李，二字名，"));

  gen.SetConditions(Conditions(0, 1));
  ASSERT_TRUE(gen.ListGoodStrokeSets(text));
  EXPECT_EQ(text, U("贵姓：李，一字名，有以下姓名笔画组合可以构成五格、三才配置全吉。\r\n\r\n"
                    "【找不到数理全吉的姓名笔画组合！】\r\n\r\n"));

  // A compound surname writes each character with its strokes.
  NamingConditions c = Conditions(0, 2);
  std::strcpy(c.surname, U("欧阳").c_str());
  gen.SetConditions(c);
  ASSERT_TRUE(gen.ListGoodStrokeSets(text));
  EXPECT_NE(text.find(U("：欧(8)　阳(17)　名(")), std::string::npos) << gbk::ToUtf8(text);
}

TEST_F(SearchNameTest, ASurnameMissingFromTheDictionaryFails) {
  Dictionary({Rec(Hanzi(0), 5)});
  const char* surnames[] = {"张", "李张", "", "李李李"};
  for (const char* s : surnames) {
    SCOPED_TRACE(s);
    NamingConditions c = Conditions(2);
    std::strcpy(c.surname, U(s).c_str());
    gen.SetConditions(c);
    std::string text = "kept";
    EXPECT_FALSE(gen.ListGoodStrokeSets(text));
    EXPECT_EQ(gen.LastError(), U("没有这个姓的汉字数据！"));
    EXPECT_FALSE(gen.Generate(nullptr));
    EXPECT_EQ(gen.LastError(), U("没有这个姓的汉字数据！"));
  }
}

TEST_F(SearchNameTest, EqualScoresKeepTheirGeneratedOrder) {
  const int scores[] = {80, 90, 80, 85};
  for (int i = 0; i < 4; ++i) gen.InsertSorted(Named("n" + IntToStr(i), scores[i]));
  EXPECT_EQ(Names(), (std::vector<std::string>{"n1", "n3", "n0", "n2"}));
  // Names inserted after the list was read go after the earlier ones of their score.
  const int later[] = {85, 95, 80, -3};
  for (int i = 0; i < 4; ++i) gen.InsertSorted(Named("m" + IntToStr(i), later[i]));
  EXPECT_EQ(Names(), (std::vector<std::string>{"m1", "n1", "n3", "m0", "n0", "n2", "m2", "m3"}));
}

TEST_F(SearchNameTest, PagesOfFiveHundredRows) {
  for (int i = 0; i < 1234; ++i) gen.InsertSorted(Named("n" + IntToStr(i), 100 - i / 100));
  struct Case {
    int page, shown;
    size_t rows;
    const char* first;
  };
  const Case cases[] = {{1, 1, 500, "1"},    {2, 2, 500, "501"},   {3, 3, 234, "1001"},
                        {0, 3, 234, "1001"}, {-2, 3, 234, "1001"}, {4, 1, 500, "1"}};
  RecordingView view;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(gen.FillResultList(view, c.page), c.shown);
    ASSERT_EQ(view.rows.size(), c.rows);
    EXPECT_EQ(view.rows.front().caption, c.first);
    // The row numbered k holds the k-th name of the whole list.
    for (const ResultRow& row : view.rows) EXPECT_EQ(row.columns[0], "n" + IntToStr(StrToIntDef(row.caption, 0) - 1));
  }
}

TEST_F(SearchNameTest, RowColumnsOfOneName) {
  CandidateRecord r = Named(U("李啊"), 93);
  r.elements[0] = 1;
  r.elements[1] = 5;
  r.talentsClass = 2;
  const uint8_t classes[5] = {2, 0, 1, 2, 2};
  std::memcpy(r.gridClasses, classes, 5);
  r.strokes[0] = 7;
  r.strokes[1] = 10;
  gen.InsertSorted(r);
  NamingConditions c = Conditions(2);
  const int images[][2] = {{1, 1}, {2, 0}, {3, 2}};
  RecordingView view;
  for (const auto& [sex, image] : images) {
    c.sex = static_cast<uint8_t>(sex);
    gen.SetConditions(c);
    ASSERT_EQ(gen.FillResultList(view, 1), 1);
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(view.rows[0].stateImage, image);
  }
  const ResultRow& row = view.rows[0];
  EXPECT_EQ(row.caption, "1");
  EXPECT_EQ(row.columns[0], U("李啊"));
  EXPECT_EQ(row.columns[1], NameTables::Text().ElementNames[1] + NameTables::Text().ElementNames[5]);
  EXPECT_EQ(row.columns[2], U("吉"));
  EXPECT_EQ(row.columns[3], U("吉凶平吉吉"));
  EXPECT_EQ(row.columns[4], "07 10 ");
  EXPECT_EQ(row.columns[5], U("93分"));

  MSearchName empty(lib, nullptr);
  view.rows.resize(3);
  EXPECT_EQ(empty.FillResultList(view, 1), 0);
  EXPECT_TRUE(view.rows.empty());
}

TEST_F(SearchNameTest, CharacterFilters) {
  // "啊啊" holds the bytes of another character across its boundary.
  const std::string aa = Hanzi(0) + Hanzi(0);
  const std::string across = aa.substr(1, 2);
  struct Case {
    const char* name;
    std::function<void(NamingConditions&, CharRecord&)> edit;
    bool accepted;
  };
  const Case cases[] = {
      {"plain", [](NamingConditions&, CharRecord&) {}, true},
      {"bad char, only good", [](NamingConditions& c, CharRecord& r) { c.allowBadChars = 0, r.jx = 1; }, false},
      {"good char, only good", [](NamingConditions& c, CharRecord&) { c.allowBadChars = 0; }, true},
      {"male wants male", [](NamingConditions& c, CharRecord& r) { c.sex = 1, r.useSex = 1; }, true},
      {"male rejects female", [](NamingConditions& c, CharRecord& r) { c.sex = 1, r.useSex = 2; }, false},
      {"male rejects either", [](NamingConditions& c, CharRecord& r) { c.sex = 1, r.useSex = 0; }, false},
      {"any sex", [](NamingConditions& c, CharRecord& r) { c.sex = 3, r.useSex = 2; }, true},
      {"element not in mask", [](NamingConditions& c, CharRecord& r) { c.elementMask = 0b1011, r.wx = 2; }, false},
      {"no element", [](NamingConditions& c, CharRecord& r) { c.elementMask = 31, r.wx = 5; }, false},
      {"second radical listed",
       [](NamingConditions& c, CharRecord& r) { std::strcpy(c.radicals, U("水木").c_str()), r.buShou = U("木"); },
       true},
      {"radical not listed",
       [](NamingConditions& c, CharRecord& r) { std::strcpy(c.radicals, U("水").c_str()), r.buShou = U("木"); }, false},
      {"radical across a boundary",
       [&](NamingConditions& c, CharRecord& r) { std::strcpy(c.radicals, aa.c_str()), r.buShou = across; }, false},
      {"empty radical",
       [](NamingConditions& c, CharRecord& r) { std::strcpy(c.radicals, U("水").c_str()), r.buShou = ""; }, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    NamingConditions c = Conditions(2);
    CharRecord r = Rec(Hanzi(1), 5);
    k.edit(c, r);
    gen.SetConditions(c);
    EXPECT_EQ(gen.CharAccepted(r), k.accepted);
  }
}

TEST_F(SearchNameTest, ExcludedCharactersAreWholeCharacters) {
  const std::string aa = Hanzi(0) + Hanzi(0);
  const std::string across = aa.substr(1, 2);
  ASSERT_EQ(gbk::CharLength(across, 0), 2u);
  Dictionary({Rec(Hanzi(0), 4), Rec(across, 4), Rec(Hanzi(2), 4)});
  NamingConditions c = Conditions(2, 1);
  std::strcpy(c.excluded, (aa + Hanzi(2) + U("李欧阳")).c_str());
  gen.SetConditions(c);
  ASSERT_TRUE(gen.Generate(nullptr)) << gen.LastError();
  EXPECT_EQ(Names(), std::vector<std::string>{U("李") + across});
}

TEST_F(SearchNameTest, ARunListsScoresAndHeadings) {
  Dictionary({Rec(Hanzi(0), 1, 0), Rec(Hanzi(1), 1, 1), Rec(Hanzi(2), 5, 2), Rec(Hanzi(3), 5, 3, 1)});
  NamingConditions c = Conditions(2);
  gen.SetConditions(c);
  ASSERT_TRUE(gen.Generate(nullptr)) << gen.LastError();
  // Stroke counts 1, 5, 7 (李), 8, 17: every pair of the five, each pair of characters.
  const int perCount[] = {2, 2, 1, 1, 1};  // 1, 5, 7, 8, 17
  int total = 0;
  for (int a : perCount) {
    for (int b : perCount) total += a * b;
  }
  ASSERT_EQ(gen.Count(), static_cast<size_t>(total));
  for (size_t i = 1; i < gen.Count(); ++i) EXPECT_GE(gen.Candidate(i - 1).score, gen.Candidate(i).score);

  const std::string& text = gen.Listing();
  EXPECT_EQ(
      text.rfind(
          U("贵姓：李，经过分析可以取以下名：\r\n第 1 组：笔画7、1、1，天格8、人格8、地格2、总格9、外格2。\r\n  "), 0),
      0u)
      << gbk::ToUtf8(text.substr(0, 200));
  EXPECT_NE(text.find(U("\r\n第 2 组：笔画7、1、5，")), std::string::npos);
  EXPECT_NE(text.find(Hanzi(0) + Hanzi(0) + " " + Hanzi(0) + Hanzi(1) + " " + Hanzi(1) + Hanzi(0) + " "),
            std::string::npos);

  // The record carries what the scorer made of the name.
  CandidateRecord want;
  for (size_t i = 0; i < gen.Count(); ++i) {
    if (gen.Candidate(i).name == U("李") + Hanzi(2) + Hanzi(3)) want = gen.Candidate(i);
  }
  EXPECT_EQ(want.strokes[0], 7);
  EXPECT_EQ(want.strokes[1], 5);
  EXPECT_EQ(want.strokes[2], 5);
  EXPECT_EQ(want.elements[0], 1);
  EXPECT_EQ(want.elements[1], 2);
  EXPECT_EQ(want.elements[2], 3);
  EXPECT_EQ(want.elements[3], 10);
}

TEST_F(SearchNameTest, OrdinaryFormulaKeepsTheGridConditions) {
  Uniform({1, 2, 3, 4, 5, 6, 8, 9, 10}, 1);
  for (int given : {1, 2}) {
    SCOPED_TRACE(given);
    NamingConditions c = Conditions(2, given);
    c.gridGood[1] = 1;  // person grid: 7 + first character
    c.gridGood[3] = given == 2;
    gen.SetConditions(c);
    ASSERT_TRUE(gen.Generate(nullptr));
    ASSERT_GT(gen.Count(), 0u);
    for (size_t i = 0; i < gen.Count(); ++i) {
      const CandidateRecord& r = gen.Candidate(i);
      EXPECT_EQ(r.gridClasses[1], 2) << gbk::ToUtf8(r.name);
      EXPECT_TRUE(given == 1 || r.gridClasses[3] == 2) << gbk::ToUtf8(r.name);
    }
  }
}

TEST_F(SearchNameTest, AFixedFirstCharacter) {
  // 吉 is a bad character of element fire that would fail every filter below.
  Dictionary({Rec(U("吉"), 6, 2, 1, 2), Rec(Hanzi(0), 3, 4), Rec(Hanzi(1), 6, 4), Rec(Hanzi(2), 6, 2, 1)});
  NamingConditions c = Conditions(2);
  c.allowBadChars = 0;
  c.sex = 1;
  c.elementMask = 1 << 4;
  std::strcpy(c.firstChar, U("吉").c_str());
  gen.SetConditions(c);
  ASSERT_TRUE(gen.Generate(nullptr)) << gen.LastError();
  std::vector<std::string> names = Names();
  std::sort(names.begin(), names.end());
  std::vector<std::string> want = {U("李吉") + Hanzi(0), U("李吉") + Hanzi(1)};
  std::sort(want.begin(), want.end());
  EXPECT_EQ(names, want);
  for (size_t i = 0; i < gen.Count(); ++i) {
    EXPECT_EQ(gen.Candidate(i).strokes[1], 6);
    EXPECT_EQ(gen.Candidate(i).elements[1], 2);  // its own element, looked up
  }

  // Outside the ordinary formula the character is not fixed and meets the filters.
  c.formula = 1;
  gen.SetConditions(c);
  ASSERT_TRUE(gen.Generate(nullptr));
  for (size_t i = 0; i < gen.Count(); ++i) {
    EXPECT_EQ(std::string(gen.Candidate(i).name).find(U("吉")), std::string::npos);
  }

  // A fixed character the dictionary lacks ends the run.
  c.formula = 2;
  std::strcpy(c.firstChar, U("凶").c_str());
  gen.SetConditions(c);
  EXPECT_FALSE(gen.Generate(nullptr));
  EXPECT_FALSE(gen.LastError().empty());
}

TEST_F(SearchNameTest, ProgressAndStop) {
  Uniform({1, 2, 3}, 3);
  struct Bar : ProgressSink {
    void SetRange(int m) override { max = m; }
    void SetPosition(int p) override { positions.push_back(p); }
    int max = -1;
    std::vector<int> positions;
  } bar;
  gen.SetConditions(Conditions(2));
  ASSERT_TRUE(gen.Generate(&bar));
  EXPECT_EQ(bar.max, 36);  // stroke counts 1, 2, 3, 7, 8 and 17, every pair
  EXPECT_EQ(bar.positions.front(), 0);
  EXPECT_EQ(bar.positions.back(), 36);
  EXPECT_GE(pump.calls, 36);

  // Stop pressed during the first pump: nothing is generated, the last names go.
  pump.calls = 0;
  pump.onPump = [this](int) { gen.Stop(); };
  ASSERT_TRUE(gen.Generate(nullptr));
  EXPECT_EQ(pump.calls, 1);
  EXPECT_EQ(gen.Count(), 0u);

  // Stop pressed after the third set: three sets' names are kept.
  pump.calls = 0;
  pump.onPump = [this](int call) {
    if (call == 4) gen.Stop();
  };
  ASSERT_TRUE(gen.Generate(nullptr));
  EXPECT_EQ(pump.calls, 4);
  EXPECT_EQ(gen.Count(), 3u * 3 + 3 * 3 + 3 * 3);
}

TEST_F(SearchNameTest, TheCapFinishesItsSet) {
  // 120 characters of each of three stroke counts: 14,400 names a set of two of them,
  // 120 with one of the single characters 李 (7), 欧 (8) and 阳 (17). Sets 1-1, 1-2,
  // 1-3, 1-7, 1-8, 1-17 hold 43,560; set 2-1 passes 50,000 and is finished.
  Uniform({1, 2, 3}, 120);
  gen.SetConditions(Conditions(2));
  ASSERT_TRUE(gen.Generate(nullptr));
  EXPECT_EQ(gen.Count(), 3u * 14400 + 3 * 120 + 14400);
}

TEST_F(SearchNameTest, TheCeilingAndStopInsideOneSet) {
  // 500 characters of one stroke count: 250,000 names in the first set alone.
  Uniform({1}, 500);
  gen.SetConditions(Conditions(2));
  ASSERT_TRUE(gen.Generate(nullptr));
  EXPECT_EQ(gen.Count(), MSearchName::kCeiling);

  // The pump runs inside the set too, and Stop ends the run there.
  pump.calls = 0;
  pump.onPump = [this](int call) {
    if (call == 2) gen.Stop();
  };
  ASSERT_TRUE(gen.Generate(nullptr));
  EXPECT_EQ(pump.calls, 2);
  EXPECT_LT(gen.Count(), MSearchName::kCeiling);
}

}  // namespace
