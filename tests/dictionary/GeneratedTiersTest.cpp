// What the generated files take from the reviewed data beyond single characters: the
// common characters (常用字), the order of the quick file's stroke groups by the tier of use
// in names, and Chinese texts for the traditional forms and for the full file's own
// name characters; and the surname marks the reviewed lines' own explanations call for.
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "CharData.h"
#include "DictFixture.h"
#include "UnihanFields.h"
#include "classlib/StrUtils.h"
#include "engine/NameTables.h"

namespace {

std::vector<std::string> Chars(const std::string& gbkText) {
  std::vector<std::string> out;
  for (size_t i = 0; i + 1 < gbkText.size(); i += 2) out.push_back(gbkText.substr(i, 2));
  return out;
}

bool HasLatin(const std::string& gbkText) {
  for (char16_t c : gbk::ToUtf16(gbkText)) {
    if (c < 0x80 || (c >= 0xC0 && c <= 0x24F) || (c >= 0xFF21 && c <= 0xFF5A)) return true;
  }
  return false;
}

class GeneratedTiers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!file::Exists(gbk::FromUtf8(TORVIK_PROGRAM_DIR) + "/dat/ChiWordMini.db")) GTEST_SKIP() << "no dictionary data";
    std::vector<std::string> faults;
    ASSERT_TRUE(chardata::ReadFolder(TORVIK_SOURCE_DIR "/gen/dictionary/chars", quickData, faults));
    ASSERT_TRUE(chardata::ReadFolder(TORVIK_SOURCE_DIR "/gen/dictionary/chars/full", fullData, faults));
    ASSERT_TRUE(faults.empty()) << faults.front();
    ASSERT_TRUE(quick.Open(1)) << gbk::ToUtf8(quick.LastError());
    ASSERT_TRUE(full.Open(0)) << gbk::ToUtf8(full.LastError());
  }
  const chardata::Entry* Reviewed(const std::string& ch) const {
    for (const chardata::Table* t : {&quickData, &fullData}) {
      if (auto e = t->find(ch); e != t->end()) return &e->second;
    }
    return nullptr;
  }
  // A character's place along the ids: its tier when reviewed; a quick-file character
  // without reviewed data counts as 罕, any other comes after all tiers.
  uint8_t Rank(const std::string& ch) {
    if (const chardata::Entry* e = Reviewed(ch)) return e->tier;
    return quick.IdOfChar(ch) > 0 ? chardata::kRare : chardata::kRare + 1;
  }
  chardata::Table quickData, fullData;
  MNameLibrary quick{TORVIK_PROGRAM_DIR "/"};
  MNameLibrary full{TORVIK_PROGRAM_DIR "/"};
};

TEST_F(GeneratedTiers, CommonCharactersAreLevelOneAndTheCommonTier) {
  std::set<std::string> expected;
  for (const auto& [cp, value] : UnihanField("OtherMappings", "kTGH")) {
    const int level = StrToIntDef(value.substr(value.find(':') + 1), 0);
    const std::string ch = gbk::FromUtf8(Utf8Of(cp));
    if (level >= 1 && level <= 3500 && quick.IdOfChar(ch) > 0) expected.insert(ch);
  }
  ASSERT_GT(expected.size(), 3400u) << "level 1 of the standard table lies in the quick file";
  std::map<int, int> tiers;
  for (const chardata::Table* t : {&quickData, &fullData}) {
    for (const auto& [ch, e] : *t) {
      if (e.tier == chardata::kCommon) expected.insert(ch);
      if (t == &quickData) ++tiers[e.tier];
    }
  }
  std::printf("tiers of the quick file: 常 %d, 次 %d, 罕 %d; 常用字 %zu\n", tiers[0], tiers[1], tiers[2],
              expected.size());
  const std::vector<std::string> fullCommon = Chars(full.GetCommonWords());
  EXPECT_EQ(std::set<std::string>(fullCommon.begin(), fullCommon.end()), expected);
  EXPECT_EQ(fullCommon.size(), expected.size()) << "each character once";
  std::set<std::string> quickExpected;
  for (const std::string& ch : expected) {
    if (quick.IdOfChar(ch) > 0) quickExpected.insert(ch);
  }
  const std::vector<std::string> quickCommon = Chars(quick.GetCommonWords());
  EXPECT_EQ(std::set<std::string>(quickCommon.begin(), quickCommon.end()), quickExpected);
  for (const char* rare : {"杲", "芾", "肱", "皋"}) {
    EXPECT_EQ(dictsql::FindChar(quick.GetCommonWords(), U(rare)), 0u) << rare << " is not 常用字";
  }
}

// Every group of both files, by either stroke count, of all or of the common characters,
// lists 常 before 次 before 罕 before the characters without reviewed data; the ids follow
// the same order. The full file gives the quick file's characters its ids' order, each tier
// before its own reviewed characters, and the rest in code-point order.
TEST_F(GeneratedTiers, BothFilesListTheCommonTierFirstInEveryStrokeGroup) {
  const std::vector<std::string> quickAll = Chars(quick.AllWord());
  const std::vector<std::string> fullAll = Chars(full.AllWord());
  ASSERT_EQ(quickAll.size(), 7064u);
  ASSERT_EQ(fullAll.size(), 20892u);
  for (MNameLibrary* lib : {&quick, &full}) {
    SCOPED_TRACE(lib == &quick ? "quick" : "full");
    const std::vector<std::string> all = Chars(lib->AllWord());
    for (size_t i = 1; i < all.size(); ++i) {
      ASSERT_LE(Rank(all[i - 1]), Rank(all[i])) << "ids " << i << " and " << i + 1;
    }
    int groups = 0;
    for (int kind = 1; kind <= 4; ++kind) {
      std::vector<int> strokes;
      TStringList lines;
      ASSERT_TRUE(lib->LoadStrokeGroups(kind, strokes, lines)) << gbk::ToUtf8(lib->LastError());
      for (int k = 0; k < lines.Count(); ++k) {
        const std::vector<std::string> group = Chars(lines[k]);
        groups += !group.empty();
        for (size_t i = 1; i < group.size(); ++i) {
          ASSERT_LE(Rank(group[i - 1]), Rank(group[i]))
              << "kind " << kind << ", " << k + 1 << " strokes: " << gbk::ToUtf8(group[i - 1]) << " before "
              << gbk::ToUtf8(group[i]);
        }
      }
    }
    EXPECT_GT(groups, 80);
  }
  std::vector<std::string> quickInFull;
  for (size_t i = 0; i < fullAll.size(); ++i) {
    const bool inQuick = quick.IdOfChar(fullAll[i]) > 0;
    if (inQuick) quickInFull.push_back(fullAll[i]);
    if (i == 0 || Rank(fullAll[i - 1]) != Rank(fullAll[i])) continue;
    const bool before = quick.IdOfChar(fullAll[i - 1]) > 0;
    ASSERT_FALSE(inQuick && !before) << gbk::ToUtf8(fullAll[i]) << " follows a character of the full file alone";
    if (!inQuick && !before) {
      ASSERT_LT(gbk::ToUtf16(fullAll[i - 1]), gbk::ToUtf16(fullAll[i])) << "id " << i + 1;
    }
  }
  EXPECT_TRUE(quickInFull == quickAll) << "the quick file's characters keep its order of ids";
}

// A traditional form the quick file lacks reads like its simplified form, marked as such;
// the full file's own name characters read as reviewed; neither changes the quick file.
TEST_F(GeneratedTiers, TraditionalFormsAndTheFullFilesNameCharactersReadInChinese) {
  ASSERT_TRUE(full.BeginBatch());
  int traditional = 0, faults = 0;
  for (const auto& [cp, value] : UnihanField("Variants", "kSimplifiedVariant")) {
    const uint32_t to = static_cast<uint32_t>(std::stoul(value.substr(2, value.find(' ') - 2), nullptr, 16));
    if (cp < 0x4E00 || cp > 0x9FA5 || to < 0x4E00 || to > 0x9FA5) continue;
    const std::string ch = gbk::FromUtf8(Utf8Of(cp));
    const std::string simple = gbk::FromUtf8(Utf8Of(to));
    CharRecord r, s;
    if (value.find(Format("U+%X", cp)) != std::string::npos || Reviewed(ch) || !Reviewed(simple) ||
        !full.GetCharInfoBatch(ch, r) || !full.GetCharInfoBatch(simple, s)) {
      continue;
    }
    ++traditional;
    const std::string mark = U("（繁体，同“") + simple + U("”）");
    if (r.nameExp != mark + s.nameExp || r.normalExp != mark + s.normalExp || r.useSex != s.useSex || r.jx != s.jx ||
        (s.isFirst && !r.isFirst)) {
      if (++faults <= 10) ADD_FAILURE() << gbk::ToUtf8(ch) << " " << gbk::ToUtf8(r.nameExp);
    }
  }
  EXPECT_EQ(faults, 0);
  EXPECT_GT(traditional, 2000);
  for (const char* name : {"陳", "偉", "傑", "張", "劉", "趙", "楊", "黃"}) {
    CharRecord r;
    ASSERT_TRUE(full.GetCharInfoBatch(U(name), r)) << name;
    EXPECT_FALSE(HasLatin(r.nameExp)) << name << " " << gbk::ToUtf8(r.nameExp);
  }
  for (const auto& [ch, e] : fullData) {
    CharRecord r;
    ASSERT_TRUE(full.GetCharInfoBatch(ch, r)) << gbk::ToUtf8(ch);
    EXPECT_EQ(r.nameExp, e.nameExp);
    EXPECT_EQ(r.normalExp, e.normalExp);
    EXPECT_EQ(r.useSex, e.useSex);
    EXPECT_EQ(r.jx, e.jx);
    EXPECT_EQ(quick.IdOfChar(ch), 0) << gbk::ToUtf8(ch) << " is not a quick-file character";
  }
  full.EndBatch();
  EXPECT_GE(fullData.size(), 90u);
  for (const char* ch : {"喆", "堃", "垚", "珺", "翀"}) EXPECT_TRUE(fullData.count(U(ch))) << ch;
}

// Every character of the 2013 general standard table that the full file holds reads in
// Chinese there: English is left only to characters outside the table.
TEST_F(GeneratedTiers, EveryStandardTableCharacterReadsInChinese) {
  ASSERT_TRUE(full.BeginBatch());
  int held = 0, faults = 0;
  for (const auto& [cp, value] : UnihanField("OtherMappings", "kTGH")) {
    CharRecord r;
    if (cp < 0x4E00 || cp > 0x9FA5 || !full.GetCharInfoBatch(gbk::FromUtf8(Utf8Of(cp)), r)) continue;
    ++held;
    const std::string english = U("（英）");
    const bool chinese = !r.nameExp.empty() && !r.normalExp.empty() && !HasLatin(r.nameExp) && !HasLatin(r.normalExp) &&
                         r.nameExp.rfind(english, 0) != 0 && r.normalExp.rfind(english, 0) != 0;
    if (!chinese && ++faults <= 20) ADD_FAILURE() << gbk::ToUtf8(r.word) << " " << gbk::ToUtf8(r.nameExp);
  }
  full.EndBatch();
  EXPECT_EQ(faults, 0) << "standard-table characters without a Chinese sense";
  EXPECT_EQ(held, 7829) << "the table's characters with a Mandarin reading";
}

// The surnames and the stroke rows of the naming tables read in Chinese in the full file.
TEST_F(GeneratedTiers, TheNamingTablesCharactersReadInChinese) {
  const NameTables::Texts& t = NameTables::Text();
  std::string text = t.SurnameList;
  for (const std::string& s : t.CompoundSurnames) text += s;
  for (const auto* rows : {&t.KangxiStrokeChars, &t.SimplifiedStrokeChars}) {
    for (const std::string& row : *rows) text += row;
  }
  ASSERT_TRUE(full.BeginBatch());
  std::set<std::string> seen;
  for (size_t i = 0; i + 1 < text.size(); i += gbk::CharLength(text, i)) {
    if (gbk::CharLength(text, i) != 2 || !seen.insert(text.substr(i, 2)).second) continue;
    CharRecord r;
    ASSERT_TRUE(full.GetCharInfoBatch(text.substr(i, 2), r)) << gbk::ToUtf8(text.substr(i, 2));
    EXPECT_FALSE(HasLatin(r.nameExp) || r.nameExp.empty()) << gbk::ToUtf8(r.word) << " " << gbk::ToUtf8(r.nameExp);
  }
  full.EndBatch();
  EXPECT_GT(seen.size(), 1000u);
}

// A line whose explanation gives "姓" as one of its senses marks the character as a
// surname, in the quick file's data and in the full file's own.
TEST(ReviewedData, ASurnameSenseIsMarkedAsSurname) {
  int lines = 0, faults = 0;
  for (const char* folder : {"", "/full"}) {
    chardata::Table table;
    std::vector<std::string> errors;
    ASSERT_TRUE(chardata::ReadFolder(std::string(TORVIK_SOURCE_DIR "/gen/dictionary/chars") + folder, table, errors));
    ASSERT_TRUE(errors.empty()) << errors.front();
    for (const auto& [word, e] : table) {
      ++lines;
      bool surname = false;
      for (const std::string* text : {&e.nameExp, &e.normalExp}) {
        const std::string utf8 = gbk::ToUtf8(*text);
        for (size_t from = 0; from <= utf8.size();) {
          size_t end = utf8.find("；", from);
          if (end == std::string::npos) end = utf8.size();
          surname = surname || utf8.substr(from, end - from) == "姓";
          from = end + std::string("；").size();
        }
      }
      if (surname && !e.isFirst && ++faults <= 40) ADD_FAILURE() << gbk::ToUtf8(word) << " gives 姓 but is not marked";
    }
  }
  EXPECT_EQ(faults, 0);
  EXPECT_GT(lines, 7064);
}

}  // namespace
