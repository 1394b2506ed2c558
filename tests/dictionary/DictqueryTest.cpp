// The dictionary page's queries on small files: which records each condition lets
// through, the text of a look-up, and the two layouts of a scan at their breaks.
#include "dictionary/Dictquery.h"

#include "DictFixture.h"
#include "classlib/StrUtils.h"

namespace {

class DictQueryTest : public DictFixture {
 protected:
  // Opens dat\ChiWord.db as built from `recs`.
  MNameLibrary& Open(const std::vector<CharRecord>& recs) {
    BuildBatched("ChiWord.db", recs, {});
    EXPECT_TRUE(lib.Open(0)) << lib.LastError();
    return lib;
  }
  // `count` distinct characters of one kind, from the first GB2312 row on.
  static std::vector<CharRecord> Many(int count) {
    std::vector<CharRecord> recs;
    const CharRecord base = MakeRecord("李", 7, 7);
    for (int i = 0; i < count; ++i) {
      CharRecord r = base;
      r.word = {static_cast<char>(0xB0 + i / 94), static_cast<char>(0xA1 + i % 94)};
      recs.push_back(r);
    }
    return recs;
  }
  MNameLibrary lib{tmp.Dir()};
};

CharRecord With(const char* word, const char* py, int sex, int wx, int kx, int gb, const char* radical) {
  CharRecord r = MakeRecord(word, kx, gb);
  r.truePy = U(py);
  r.useSex = static_cast<uint8_t>(sex);
  r.wx = static_cast<uint8_t>(wx);
  r.buShou = U(radical);
  return r;
}

std::string Scan(MNameLibrary& lib, const dictquery::Conditions& c, dictquery::Style style = dictquery::Style::Brief) {
  return dictquery::JoinBlocks(dictquery::SearchByConditions(lib, c, style, false));
}

TEST(DictQuery, EachConditionLetsThroughOnlyItsRecords) {
  const CharRecord recs[] = {With("李", "lǐ", 1, 1, 7, 7, "木"), With("王", "wáng", 2, 3, 4, 4, "王"),
                             With("张", "zhāng", 0, 2, 11, 7, "弓"), With("林", "lín", 1, 1, 8, 8, "木")};
  struct Row {
    const char* name;
    dictquery::Conditions c;
    const char* expected;  // the characters let through, in order
  };
  const Row rows[] = {
      {"all any", {}, "李王张林"},
      {"pinyin exact", {U("wáng"), 0, {}, 0, 0, 0}, "王"},
      {"pinyin without its tone", {"wang", 0, {}, 0, 0, 0}, ""},
      {"male", {{}, 1, {}, 0, 0, 0}, "李林"},
      {"female", {{}, 2, {}, 0, 0, 0}, "王"},
      {"wood or fire", {{}, 0, {}, 0, 0, 0b110}, "李张林"},
      {"earth", {{}, 0, {}, 0, 0, 0b1000}, "王"},
      {"Kangxi 7", {{}, 0, {}, 7, 0, 0}, "李"},
      {"simplified 7", {{}, 0, {}, 7, 1, 0}, "李张"},
      {"radicals 弓 and 王", {{}, 0, U("弓王"), 0, 0, 0}, "王张"},
      {"male wood of 8", {{}, 1, U("木"), 8, 0, 0b10}, "林"},
  };
  // "啊木" is B0A1 C4BE: the bytes A1 C4 between them are a character of their own.
  CharRecord straddler = With("国", "guó", 0, 3, 11, 8, "木");
  straddler.buShou = "\xA1\xC4";
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string got;
    for (const CharRecord& rec : recs)
      if (dictquery::Matches(rec, r.c)) got += rec.word;
    EXPECT_EQ(got, U(r.expected));
  }
  dictquery::Conditions chosen;
  chosen.radical = U("啊木");
  EXPECT_FALSE(dictquery::Matches(straddler, chosen));
  chosen.radical = U("啊") + straddler.buShou;
  EXPECT_TRUE(dictquery::Matches(straddler, chosen));
}

TEST_F(DictQueryTest, ScanListsTheMatchesWithTheirCountOrSaysNone) {
  MNameLibrary& l = Open({With("李", "lǐ", 1, 1, 7, 7, "木"), With("王", "wáng", 2, 3, 4, 4, "王")});
  EXPECT_EQ(Scan(l, {}), U("李　王　") + "\r\n" + U("【共找到 2 个汉字】\r\n") + "\r\n");
  EXPECT_EQ(Scan(l, {"zzz", 0, {}, 0, 0, 0}), U("找不到符合条件的汉字。") + "\r\n");
}

TEST_F(DictQueryTest, BriefLayoutBreaksAfterEvery25) {
  MNameLibrary& l = Open(Many(26));
  int pumps = 0;
  std::string got =
      dictquery::JoinBlocks(dictquery::SearchByConditions(l, {}, dictquery::Style::Brief, false, [&] { ++pumps; }));
  EXPECT_GT(pumps, 10);  // the window is let run now and then
  std::vector<CharRecord> recs = Many(26);
  std::string expected;
  for (int i = 0; i < 26; ++i) {
    expected += recs[static_cast<size_t>(i)].word + U("　");
    if (i == 24) expected += "\r\n\r\n";
  }
  expected += "\r\n" + U("【共找到 26 个汉字】\r\n") + "\r\n";
  EXPECT_EQ(got, expected);
}

TEST_F(DictQueryTest, FullLayoutComesInBlocksOf1000WithTheCountLast) {
  MNameLibrary& l = Open(Many(1000));
  std::vector<std::string> blocks = dictquery::SearchByConditions(l, {}, dictquery::Style::Full, false);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[1], U("【共找到 1000 个汉字】\r\n"));
  CharRecord first;
  ASSERT_TRUE(l.GetRecordById(1, first));
  EXPECT_EQ(blocks[0].substr(0, dictquery::FullLine(first, false).size()), dictquery::FullLine(first, false));
  EXPECT_EQ(blocks[0].size(), 1000 * dictquery::FullLine(first, false).size());
}

TEST_F(DictQueryTest, LookUpTextsPerCharacter) {
  CharRecord li = With("李", "lǐ", 1, 1, 7, 7, "木");
  li.nameExp = U("姓氏");
  li.normalExp = U("果树");
  li.words = U("桃李满天下");  // long enough to be listed
  li.poemExp = "abcd";         // four bytes: left out
  li.kxExp = U("康熙字典");
  MNameLibrary& l = Open({li, With("王", "wáng", 2, 3, 4, 4, "王")});
  const std::string line = U("李：lǐ,7画(繁),7画(简),木,吉,字意：姓氏\r\n\r\n");
  const std::string missing = U("字库中没有这个字。\r\n");
  struct Row {
    const char* name;
    std::string text;
    bool explain;
    std::string expected;
  };
  const Row rows[] = {
      {"one character", U("李"), false, line},
      {"with its explanations", U("李"), true,
       line + U("【基本解释】果树\r\n\r\n桃李满天下\r\n\r\n康熙字典\r\n\r\n") + std::string(93, '-') + "\r\n"},
      {"one the file lacks", U("李赵"), false, line + missing},
      {"a letter between keeps the next in step", U("李a李"), false, line + missing + line},
      {"nothing", "", false, U("找不到符合条件的汉字。")},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(dictquery::SearchByChars(l, r.text, r.explain), r.expected);
  }
}

}  // namespace
