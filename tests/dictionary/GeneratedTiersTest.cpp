// What the generated files take from the reviewed data beyond single characters: the
// common characters (常用字), the order of the quick file's stroke groups by the tier of use
// in names, and Chinese texts for the traditional forms and for the full file's own
// name characters; and the surname marks the reviewed lines' own explanations call for.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
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

// The "；"-separated senses of an explanation, in UTF-8.
std::vector<std::string> Senses(const std::string& gbkText) {
  const std::string utf8 = gbk::ToUtf8(gbkText);
  const std::string sep = "；";
  std::vector<std::string> out;
  for (size_t from = 0; from <= utf8.size();) {
    size_t end = utf8.find(sep, from);
    if (end == std::string::npos) end = utf8.size();
    out.push_back(utf8.substr(from, end - from));
    from = end + sep.size();
  }
  return out;
}

// True when an explanation gives a surname among its senses ("姓", "姓，读善", "复姓司马"):
// a sense that speaks of 姓 other than in 姓名 or 百姓.
bool GivesSurname(const std::string& gbkText) {
  for (const std::string& sense : Senses(gbkText)) {
    if (sense.find("姓") != std::string::npos && sense.find("姓名") == std::string::npos &&
        sense.find("百姓") == std::string::npos) {
      return true;
    }
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

// A traditional form the quick file lacks, the one traditional form of a reviewed
// character, reads like it, marked as such, and takes its reviewed surname mark; the full
// file's own name characters read as reviewed; neither changes the quick file.
TEST_F(GeneratedTiers, TraditionalFormsAndTheFullFilesNameCharactersReadInChinese) {
  const std::map<uint32_t, std::string> traditionalOf = UnihanField("Variants", "kTraditionalVariant");
  ASSERT_TRUE(full.BeginBatch());
  int traditional = 0, faults = 0;
  for (const auto& [cp, value] : UnihanField("Variants", "kSimplifiedVariant")) {
    const uint32_t to = static_cast<uint32_t>(std::stoul(value.substr(2, value.find(' ') - 2), nullptr, 16));
    if (cp < 0x4E00 || cp > 0x9FA5 || to < 0x4E00 || to > 0x9FA5) continue;
    const std::string ch = gbk::FromUtf8(Utf8Of(cp));
    const std::string simple = gbk::FromUtf8(Utf8Of(to));
    const auto forms = traditionalOf.find(to);
    CharRecord r, s;
    if (value.find(Format("U+%X", cp)) != std::string::npos || Reviewed(ch) || !Reviewed(simple) ||
        forms == traditionalOf.end() || forms->second != Format("U+%X", cp) || !full.GetCharInfoBatch(ch, r) ||
        !full.GetCharInfoBatch(simple, s)) {
      continue;
    }
    ++traditional;
    const std::string mark = U("（繁体，同“") + simple + U("”）");
    if (r.nameExp != mark + s.nameExp || r.normalExp != mark + s.normalExp || r.useSex != s.useSex || r.jx != s.jx ||
        r.isFirst != Reviewed(simple)->isFirst) {
      if (++faults <= 10) ADD_FAILURE() << gbk::ToUtf8(ch) << " " << gbk::ToUtf8(r.nameExp);
    }
  }
  EXPECT_EQ(faults, 0);
  EXPECT_GT(traditional, 1800);
  // Traditional names read in Chinese, and a surname stays a surname written so.
  for (const char* name : {"陳", "偉", "傑", "張", "劉", "趙", "楊", "黃", "愛", "懷", "樂"}) {
    CharRecord r;
    ASSERT_TRUE(full.GetCharInfoBatch(U(name), r)) << name;
    EXPECT_FALSE(HasLatin(r.nameExp)) << name << " " << gbk::ToUtf8(r.nameExp);
    const bool surname = std::string(name) != "偉" && std::string(name) != "傑";
    EXPECT_EQ(r.isFirst, surname) << name;
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

// A traditional form that a simplification merged with another character reads its own
// sense, not the other's; and no traditional form in either file is marked a surname its
// own texts do not give.
TEST_F(GeneratedTiers, MergedTraditionalFormsReadTheirOwnSenses) {
  const struct {
    const char* ch;
    const char* notRead;  // the sense of the character it was merged with
  } merged[] = {{"隻", "仅仅"}, {"禦", "驾驭"}, {"鬆", "松树"}, {"纔", "才能"}, {"髮", "发财"}};
  for (const auto& m : merged) {
    SCOPED_TRACE(m.ch);
    const chardata::Entry* e = Reviewed(U(m.ch));
    ASSERT_NE(e, nullptr) << "a merged form has its own reviewed line";
    CharRecord r;
    ASSERT_TRUE(full.GetCharInfo(U(m.ch), r));
    EXPECT_EQ(r.nameExp, e->nameExp);
    EXPECT_EQ(gbk::ToUtf8(r.nameExp + r.normalExp).find(m.notRead), std::string::npos) << gbk::ToUtf8(r.nameExp);
    EXPECT_FALSE(r.isFirst);
    EXPECT_NE(r.useSex, 1);
  }
  int forms = 0, faults = 0;
  for (MNameLibrary* lib : {&quick, &full}) {
    ASSERT_TRUE(lib->BeginBatch());
    for (const auto& [cp, value] : UnihanField("Variants", "kSimplifiedVariant")) {
      CharRecord r;
      if (cp < 0x4E00 || cp > 0x9FA5 || value.find(Format("U+%X", cp)) != std::string::npos ||
          !lib->GetCharInfoBatch(gbk::FromUtf8(Utf8Of(cp)), r)) {
        continue;
      }
      ++forms;
      if (r.isFirst && !GivesSurname(r.nameExp) && !GivesSurname(r.normalExp) && ++faults <= 20) {
        ADD_FAILURE() << gbk::ToUtf8(r.word) << " is marked a surname: " << gbk::ToUtf8(r.normalExp);
      }
    }
    lib->EndBatch();
  }
  EXPECT_EQ(faults, 0);
  EXPECT_GT(forms, 2500);
  for (const char* ch : {"穀", "醜", "餘", "範", "瀋", "硃", "鬍", "薑"}) {
    CharRecord r;
    ASSERT_TRUE(full.GetCharInfo(U(ch), r));
    EXPECT_FALSE(r.isFirst) << ch;
  }
}

// A reviewed common reading is one of Unihan's readings of its character; both files show
// it as the reading, and the full file keeps Unihan's first reading among the others.
TEST_F(GeneratedTiers, TheReviewedCommonReadingComesFirst) {
  chardata::Readings readings;
  std::vector<std::string> faults;
  ASSERT_TRUE(chardata::ReadReadings(TORVIK_SOURCE_DIR "/gen/dictionary/readings.tsv", readings, faults));
  ASSERT_TRUE(faults.empty()) << faults.front();
  EXPECT_GE(readings.size(), 20u);
  EXPECT_EQ(readings["漂"], "piāo");
  EXPECT_EQ(readings["茸"], "róng");
  std::map<uint32_t, std::string> unihan = UnihanField("Readings", "kMandarin");
  for (const char* key : {"kHanyuPinyin", "kXHC1983"}) {
    for (const auto& [cp, value] : UnihanField("Readings", key)) unihan[cp] += " " + value;
  }
  for (const auto& [word, reading] : readings) {
    SCOPED_TRACE(word);
    const uint32_t cp = gbk::ToUtf16(gbk::FromUtf8(word)).at(0);
    const std::string& all = unihan[cp];
    const std::string first = all.substr(0, all.find(' '));
    std::istringstream words(std::regex_replace(all, std::regex("[0-9.]+:|,"), " "));
    bool known = false;
    for (std::string w; words >> w;) known = known || w == reading;
    EXPECT_TRUE(known) << reading << " is not among " << all;
    CharRecord r;
    ASSERT_TRUE(full.GetCharInfo(gbk::FromUtf8(word), r));
    EXPECT_EQ(gbk::ToUtf8(r.truePy), reading);
    EXPECT_NE((" " + gbk::ToUtf8(r.pinYin) + " ").find(" " + first + " "), std::string::npos) << gbk::ToUtf8(r.pinYin);
    if (quick.IdOfChar(r.word) > 0) {
      ASSERT_TRUE(quick.GetCharInfo(r.word, r));
      EXPECT_EQ(gbk::ToUtf8(r.truePy), reading);
    }
  }
}

// The reviewed lines of the quick file's data, and with `full` also the full file's own.
chardata::Table ReviewedLines(bool full) {
  chardata::Table table;
  std::vector<std::string> errors;
  for (const char* folder : {"", "/full"}) {
    if (*folder && !full) break;
    EXPECT_TRUE(chardata::ReadFolder(std::string(TORVIK_SOURCE_DIR "/gen/dictionary/chars") + folder, table, errors));
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
  EXPECT_GE(table.size(), 7064u);
  return table;
}

// A reviewed line is marked a surname exactly when its explanations give a surname sense.
TEST(ReviewedData, ALineIsMarkedASurnameExactlyWhenItsTextsGiveOne) {
  int faults = 0;
  for (const auto& [word, e] : ReviewedLines(true)) {
    const bool surname = GivesSurname(e.nameExp) || GivesSurname(e.normalExp);
    if (surname != e.isFirst && ++faults <= 40) {
      ADD_FAILURE() << gbk::ToUtf8(word) << (e.isFirst ? " is marked but gives no surname" : " gives 姓 unmarked");
    }
  }
  EXPECT_EQ(faults, 0);
}

// No explanation of the quick file's data is a placeholder: a note that the character is
// rare or unexplained, or nothing but the kind of word it is written in ("地名用字" without
// the place).
TEST(ReviewedData, NoLineKeepsAPlaceholderForItsSense) {
  const std::vector<std::string> vague = {"罕用字", "未详", "待考", "古书用字，与", "古书用字，义与"};
  const std::set<std::string> bare = {"地名用字", "古地名用字",   "人名用字",        "多用于人名",
                                      "化学用字", "化学名词用字", "多见于古书的用字"};
  int faults = 0;
  for (const auto& [word, e] : ReviewedLines(false)) {
    for (const std::string* text : {&e.nameExp, &e.normalExp}) {
      const std::string utf8 = gbk::ToUtf8(*text);
      const std::vector<std::string> senses = Senses(*text);
      const bool onlyBare =
          std::all_of(senses.begin(), senses.end(), [&](const std::string& sense) { return bare.count(sense) > 0; });
      const bool isVague = std::any_of(vague.begin(), vague.end(),
                                       [&](const std::string& v) { return utf8.find(v) != std::string::npos; });
      if ((onlyBare || isVague) && ++faults <= 40) ADD_FAILURE() << gbk::ToUtf8(word) << " " << utf8;
    }
  }
  EXPECT_EQ(faults, 0);
}

}  // namespace
