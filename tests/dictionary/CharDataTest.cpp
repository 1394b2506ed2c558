// The checks of the reviewed character data that the dictionary build relies on: each
// bad line is named by file and line, and a sound line reads into the stored values.
#include "CharData.h"

#include <gtest/gtest.h>

#include "classlib/Gbk.h"

namespace {

TEST(CharData, ASoundLineReadsIntoTheStoredValues) {
  std::string word;
  chardata::Entry e;
  EXPECT_EQ(chardata::CheckLine("浩\t男\t吉\t是\t水势盛大；引申为广大、豪迈\t水大的样子；盛大，众多\t常", word, e), "");
  EXPECT_EQ(word, gbk::FromUtf8("浩"));
  EXPECT_EQ(e.useSex, 1);
  EXPECT_EQ(e.jx, 0);
  EXPECT_TRUE(e.isFirst);
  EXPECT_EQ(e.tier, 0);
  EXPECT_EQ(e.nameExp, gbk::FromUtf8("水势盛大；引申为广大、豪迈"));
  EXPECT_EQ(e.normalExp, gbk::FromUtf8("水大的样子；盛大，众多"));
  ASSERT_EQ(chardata::CheckLine("死\t无\t凶\t否\t死亡；生命终止\t失去生命\t罕", word, e), "");
  EXPECT_EQ(e.useSex, 0);
  EXPECT_EQ(e.jx, 1);
  EXPECT_FALSE(e.isFirst);
  EXPECT_EQ(e.tier, 2);
  ASSERT_EQ(chardata::CheckLine("丽\t女\t平\t否\t美好，好看\t好看，漂亮\t次", word, e), "");
  EXPECT_EQ(e.useSex, 2);
  EXPECT_EQ(e.jx, 2);
  EXPECT_EQ(e.tier, 1);
}

TEST(CharData, BadLinesAreRefused) {
  const std::string forty(40, 'x');
  std::string fortyChars, fortyOneChars;
  for (int i = 0; i < 40; ++i) fortyChars += "美";
  fortyOneChars = fortyChars + "美";
  struct Case {
    const char* what;
    std::string line;
    const char* fault;  // start of the expected fault
  };
  const Case cases[] = {
      {"five fields", "浩\t男\t吉\t是\t水势盛大", "needs 7"},
      {"eight fields", "浩\t男\t吉\t是\t水势盛大\t水大的样子\t常\t多", "needs 7"},
      {"two characters", "浩大\t男\t吉\t是\t水势盛大\t水大的样子\t常", "the first field"},
      {"a Latin letter as character", "a\t男\t吉\t是\t水势盛大\t水大的样子\t常", "the first field"},
      {"sex", "浩\t公\t吉\t是\t水势盛大\t水大的样子\t常", "性别"},
      {"class", "浩\t男\t好\t是\t水势盛大\t水大的样子\t常", "吉凶"},
      {"tier", "浩\t男\t吉\t是\t水势盛大\t水大的样子\t多", "通用"},
      {"surname", "浩\t男\t吉\t对\t水势盛大\t水大的样子\t常", "姓"},
      {"ASCII in 字意", "浩\t男\t吉\t是\t水势盛大,广大\t水大的样子\t常", "字意 holds ASCII"},
      {"English in 字意", "浩\t男\t吉\t是\tvast water\t水大的样子\t常", "字意 holds ASCII"},
      {"pinyin in 字意", "浩\t男\t吉\t是\t读作hào，水大\t水大的样子\t常", "字意 holds ASCII"},
      {"accented pinyin in 字意", "浩\t男\t吉\t是\t读作ào，水大\t水大的样子\t常", "字意 holds ASCII"},
      {"full-width letter", "浩\t男\t吉\t是\t水势盛大Ａ\t水大的样子\t常", "字意 holds ASCII"},
      {"a space in 基本解释", "浩\t男\t吉\t是\t水势盛大\t水大的 样子\t常", "基本解释 holds ASCII"},
      {"short 字意", "浩\t男\t吉\t是\t水大\t水大的样子\t常", "字意 has 2 characters"},
      {"long 字意", "浩\t男\t吉\t是\t" + fortyOneChars + "\t水大的样子\t常", "字意 has 41 characters"},
      {"empty 基本解释", "浩\t男\t吉\t是\t水势盛大\t\t常", "基本解释 has 0"},
      {"outside GBK", "浩\t男\t吉\t是\t水势盛大\U0002A6A5\t水大的样子\t常", "字意 holds a character outside GBK"},
      {"not UTF-8", "浩\t男\t吉\t是\t水势\xE7\x9B\t水大的样子\t常", "字意 is not UTF-8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string word;
    chardata::Entry e;
    std::string fault = chardata::CheckLine(c.line, word, e);
    EXPECT_EQ(fault.substr(0, std::string(c.fault).size()), c.fault) << fault;
  }
  std::string word;
  chardata::Entry e;
  EXPECT_EQ(chardata::CheckLine("浩\t男\t吉\t是\t" + fortyChars + "\t水大的样子\t常", word, e), "");
}

TEST(CharData, FaultsNameTheFileAndLineAndACharacterGivenTwice) {
  chardata::Table table;
  std::vector<std::string> errors;
  chardata::ReadText("01.tsv", "浩\t男\t吉\t是\t水势盛大\t水大的样子\t常\r\n\n丽\t女\t吉\t否\t美好\t好看\t常\n", table,
                     errors);
  chardata::ReadText("02.tsv", "涛\t男\t吉\t是\t大的波浪\t大的波浪\t常\n浩\t男\t吉\t是\t水势盛大\t水大的样子\t常\n",
                     table, errors);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "01.tsv:3: 字意 has 2 characters, not 4 to 40");
  EXPECT_EQ(errors[1], "02.tsv:2: the character is given twice");
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ(table.count(gbk::FromUtf8("涛")), 1u);
}

// The stroke data: a reviewed form and an exception read with their reason; a line
// without one, or malformed, is named by file and line and read no further.
TEST(CharData, FormsAndStrokeFixesNeedTheirReasons) {
  chardata::Forms forms;
  std::vector<std::string> errors;
  chardata::ReadFormsText(
      "forms.tsv", "# 字\t形\t理由\n朱\t朱\t姓本字\r\n云\t雲\t云彩之雲\n万\t萬\n于\t于於\t姓本字\n朱\t硃\t朱砂\n",
      forms, errors);
  EXPECT_EQ(forms, (chardata::Forms{{0x6731, 0x6731}, {0x4E91, 0x96F2}}));
  chardata::StrokeFixes fixes;
  chardata::ReadStrokeFixesText(
      "kangxi-fix.txt",
      "# 字 count  # reason\n骥 26  # 冀 counts 16\n了 2\n了 x  # why\n了 2 3  # why\n观 100  # "
      "too many\n骥 27  # again\n",
      fixes, errors);
  EXPECT_EQ(fixes, (chardata::StrokeFixes{{0x9AA5, 26}}));
  const std::vector<std::string> expected = {"forms.tsv:4: needs 3 TAB-separated fields, has 2",
                                             "forms.tsv:5: the second field is not one Chinese character",
                                             "forms.tsv:6: the character is given twice",
                                             "kangxi-fix.txt:3: the reason is missing",
                                             "kangxi-fix.txt:4: needs a character and a count before the reason",
                                             "kangxi-fix.txt:5: needs a character and a count before the reason",
                                             "kangxi-fix.txt:6: the count is not 1 to 99",
                                             "kangxi-fix.txt:7: the character is given twice"};
  EXPECT_EQ(errors, expected);
}

// The common readings: a character, its reading in pinyin and a reason; a bad line or a
// character given twice is named by line, and the sound lines are kept.
TEST(CharData, TheReadingsFileRefusesBadLines) {
  chardata::Readings readings;
  std::vector<std::string> errors;
  chardata::ReadReadingsText("readings.tsv",
                             "漂\tpiāo\t漂浮是本义\r\n\n茸\tRong\t鹿茸\n长\tcháng\n石\tdàn\t\n漂\tpiào\t漂亮\n"
                             "绿\tlǜ\t绿色\n",
                             readings, errors);
  const std::vector<std::string> expected = {
      "readings.tsv:3: the reading is not pinyin", "readings.tsv:4: needs 3 TAB-separated fields, has 2",
      "readings.tsv:5: the reason is missing", "readings.tsv:6: the character is given twice"};
  EXPECT_EQ(errors, expected);
  const chardata::Readings kept = {{"漂", "piāo"}, {"绿", "lǜ"}};
  EXPECT_EQ(readings, kept);
}

}  // namespace
