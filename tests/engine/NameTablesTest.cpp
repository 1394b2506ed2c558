#include "engine/NameTables.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <set>
#include <string>
#include <vector>

#include "classlib/Gbk.h"

namespace {

using namespace NameTables;

using gbk::U;

// Two-byte characters of a GBK run.
std::vector<std::string> Chars(const std::string& s) {
  std::vector<std::string> out;
  for (size_t i = 0; i < s.size(); i += 2) out.push_back(s.substr(i, 2));
  return out;
}

TEST(NameTables, ClassTablesHoldTheirCounts) {
  int count[3] = {};
  for (uint8_t c : NumberClass81) ++count[c];
  EXPECT_EQ(count[2], 33);
  EXPECT_EQ(count[1], 10);
  EXPECT_EQ(count[0], 38);
  for (int n = 1; n <= 81; ++n) {
    SCOPED_TRACE(n);
    bool differs = NumberClass81[n % 81] != NumberClass81Alt[n % 81];
    EXPECT_EQ(differs, n == 29 || n == 73);
  }
  EXPECT_EQ(NumberClass81Alt[29], 2);
  EXPECT_EQ(NumberClass81Alt[73], 2);

  int talents[3] = {};
  for (uint8_t c : ThreeTalentClass) ++talents[c];
  EXPECT_EQ(talents[2], 25);
  EXPECT_EQ(talents[1], 18);
  EXPECT_EQ(talents[0], 82);
}

TEST(NameTables, FoldAndClassOfNumbers) {
  struct Case {
    int n, folded, cls;
  };
  constexpr Case kCases[] = {{1, 1, 2},   {2, 2, 0},  {29, 29, 1}, {80, 80, 0},
                             {81, 81, 2}, {82, 2, 0}, {161, 1, 2}, {162, 2, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(Fold81(c.n), c.folded);
    EXPECT_EQ(NumberClass(c.n), c.cls);
  }
  EXPECT_EQ(NumberClass(29), 1);
  EXPECT_EQ(NumberClassAlt(29), 2);
}

TEST(NameTables, ElementsOfANumberInBothNumberings) {
  // last digit -> element 0 水 … 4 金, three-talent element 1 木 … 5 水
  constexpr int kDigit[10] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 0};
  constexpr int kTalent[10] = {5, 1, 1, 2, 2, 3, 3, 4, 4, 5};
  for (int n = 10; n < 20; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(DigitElementOf(n), kDigit[n % 10]);
    EXPECT_EQ(TalentElement(n), kTalent[n % 10]);
    EXPECT_EQ(Text().DigitElement[n % 10], Text().ElementNames[kDigit[n % 10]]);
  }
  EXPECT_EQ(TalentClass(1, 1, 1), 2);  // 木木木
  EXPECT_EQ(TalentClass(5, 4, 3), 2);  // 水金土
  EXPECT_EQ(TalentClass(5, 4, 4), 1);  // 水金金
  EXPECT_EQ(TalentClass(4, 3, 5), 0);  // 金土水
  EXPECT_EQ(TalentClass(4, 5, 4), 2);  // 金水金
}

TEST(NameTables, ReportTextKeys) {
  EXPECT_EQ(TalentTextId(1, 1, 1), 111);
  EXPECT_EQ(TalentTextId(5, 5, 5), 999);
  EXPECT_EQ(TalentTextId(2, 3, 4), 357);
  EXPECT_EQ(PersonalityTextId(15), 1295);
  EXPECT_EQ(PersonalityTextId(20), 1300);
  EXPECT_EQ(GridRelationTextId(GridRelation::Base, 1, 1), 1811);
  EXPECT_EQ(GridRelationTextId(GridRelation::Social, 5, 5), 1955);
}

TEST(NameTables, NameListsAreWholeAndOneCharacterWide) {
  const Texts& t = Text();
  struct ListCase {
    const char* name;
    const std::string* first;
    size_t count;
    size_t bytes;
  };
  const ListCase kLists[] = {
      {"solar terms", t.SolarTermNames.data(), 24, 4}, {"stems", t.StemNames.data(), 10, 2},
      {"branches", t.BranchNames.data(), 12, 2},       {"ten gods", t.TenGodNames.data(), 15, 4},
      {"elements", t.ElementNames.data(), 6, 2},       {"compound", t.CompoundSurnames.data(), 81, 4},
      {"roles", t.UsefulGodNames.data(), 5, 4},        {"classes", t.DayMasterClasses.data(), 7, 4},
  };
  for (const ListCase& l : kLists) {
    SCOPED_TRACE(l.name);
    std::set<std::string> seen;
    for (size_t i = 0; i < l.count; ++i) {
      EXPECT_EQ(l.first[i].size(), l.bytes) << i;
      seen.insert(l.first[i]);
    }
    EXPECT_EQ(seen.size(), l.count);
  }
  EXPECT_EQ(t.SolarTermNames[2], U("立春"));
  EXPECT_EQ(t.StemNames[1] + t.BranchNames[1], U("甲子"));
  EXPECT_EQ(t.TenGodNames[14], U("印枭"));
  EXPECT_EQ(t.CompoundSurnames[80], U("褚师"));
  EXPECT_EQ(t.DayNumerals[21], U("廿一"));
  EXPECT_EQ(t.DayNumerals[32], U("三二"));
}

TEST(NameTables, SurnameListKeepsItsHeadAndTail) {
  const std::string& s = Text().SurnameList;
  ASSERT_FALSE(s.empty());
  EXPECT_EQ(s.back(), '*');
  std::vector<std::string> names;
  for (size_t i = 0, j; (j = s.find('*', i)) != std::string::npos; i = j + 1) names.push_back(s.substr(i, j - i));
  EXPECT_EQ(names.size(), 491u);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  EXPECT_EQ(s.rfind(U("赵*钱*孙*李*周*吴*郑*王*"), 0), 0u);
  EXPECT_TRUE(s.ends_with(U("*公西*漆雕*壤驷*公良*夹谷*宰父*微生*羊舌*")));
  // single surnames come first, the compound ones after them
  size_t firstCompound = 0;
  while (firstCompound < names.size() && names[firstCompound].size() == 2) ++firstCompound;
  for (size_t i = firstCompound; i < names.size(); ++i) EXPECT_EQ(names[i].size(), 4u) << i;
}

constexpr int kKangxiLen[27] = {1,  5,  11, 24, 41, 50, 42, 60, 83, 90, 75, 77, 87, 81,
                                84, 73, 31, 20, 14, 17, 10, 13, 8,  4,  3,  1,  1};
constexpr int kSimplifiedLen[27] = {1,  5,  22, 42, 68, 107, 78, 114, 131, 106, 77, 87, 57, 37,
                                    29, 20, 6,  4,  6,  1,   4,  1,   1,   2,   0,  0,  0};

TEST(NameTables, StrokeRowsHaveTheirShape) {
  const Texts& t = Text();
  EXPECT_EQ(t.KangxiStrokeChars[1], U("力了人入又"));
  EXPECT_EQ(t.SimplifiedStrokeChars[1], U("力了人入又"));
  EXPECT_EQ(t.KangxiStrokeChars[23], U("矗灵艳鑫"));
  EXPECT_EQ(t.KangxiStrokeChars[24], U("观揽灏"));
  EXPECT_EQ(t.KangxiStrokeChars[26], U("銮"));
  for (int k = 25; k <= 27; ++k) EXPECT_TRUE(t.SimplifiedStrokeChars[k - 1].empty()) << k;
  // A row is whole or, before the dictionary has been generated, still empty.
  for (int k = 1; k <= 27; ++k) {
    SCOPED_TRACE(k);
    for (const auto& [rows, lens] :
         {std::pair{&t.KangxiStrokeChars, kKangxiLen}, std::pair{&t.SimplifiedStrokeChars, kSimplifiedLen}}) {
      const std::string& row = (*rows)[k - 1];
      std::vector<std::string> chars = Chars(row);
      EXPECT_TRUE(row.empty() || static_cast<int>(chars.size()) == lens[k - 1]) << chars.size();
      EXPECT_EQ(std::set<std::string>(chars.begin(), chars.end()).size(), chars.size());
      for (const std::string& c : chars) EXPECT_TRUE(gbk::IsLeadByte(static_cast<unsigned char>(c[0])));
    }
  }
}

// Stroke count of a character in the dictionary, -1 when absent.
int DictStrokes(sqlite3* db, const char* column, const std::string& ch) {
  std::string sql = std::string("SELECT ") + column + " FROM word_dict WHERE word = ?1";
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return -1;
  std::string u = gbk::ToUtf8(ch);
  sqlite3_bind_text(st, 1, u.c_str(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
  int v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
  sqlite3_finalize(st);
  return v;
}

TEST(NameTables, StrokeRowsAgreeWithTheDictionary) {
  std::string path = std::string(TORVIK_PROGRAM_DIR) + "/dat/ChiWord.db";
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    GTEST_SKIP() << "no dictionary database at " << path;
  }
  const Texts& t = Text();
  for (int k = 1; k <= 27; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(static_cast<int>(Chars(t.KangxiStrokeChars[k - 1]).size()), kKangxiLen[k - 1]);
    EXPECT_EQ(static_cast<int>(Chars(t.SimplifiedStrokeChars[k - 1]).size()), kSimplifiedLen[k - 1]);
    // Rows 1 and 2, and the last four Kangxi rows, are fixed texts, not chosen from the data.
    if (k > 2 && k < 24) {
      for (const std::string& c : Chars(t.KangxiStrokeChars[k - 1]))
        EXPECT_EQ(DictStrokes(db, "kxLen", c), k) << gbk::ToUtf8(c);
    }
    if (k > 2) {
      for (const std::string& c : Chars(t.SimplifiedStrokeChars[k - 1]))
        EXPECT_EQ(DictStrokes(db, "gbLen", c), k) << gbk::ToUtf8(c);
    }
  }
  sqlite3_close(db);
}

}  // namespace
