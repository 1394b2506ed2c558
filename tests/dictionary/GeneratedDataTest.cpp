// The dictionary files the build generates: they open through the program's own object
// and hold the counts that name lore expects.
#include <algorithm>

#include "DictFixture.h"
#include "classlib/StrUtils.h"

namespace {

class GeneratedDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = IncludeTrailingBackslash(gbk::FromUtf8(TORVIK_PROGRAM_DIR));
    if (!file::Exists(folder + "dat\\ChiWord.db")) GTEST_SKIP() << "dictionary data not generated";
  }
  std::string folder;
};

TEST_F(GeneratedDataTest, BothFilesOpenWithTheirCharacterCounts) {
  MNameLibrary lib(folder);
  ASSERT_TRUE(lib.Open(0)) << gbk::ToUtf8(lib.LastError());
  EXPECT_EQ(lib.AllWord().size(), 2u * 20892);
  // Each character of U+4E00..U+9FA5 once; the order of the ids is the tiers' (GeneratedTiersTest).
  std::u16string all = gbk::ToUtf16(lib.AllWord());
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
  EXPECT_EQ(all.front(), u'\u4E00');
  EXPECT_LE(all.back(), u'\u9FA5');
  EXPECT_EQ(file::Size(folder + U("3.3.01版字库\\hanzi.dat")), 7064 * 210);

  ASSERT_TRUE(lib.Open(1)) << gbk::ToUtf8(lib.LastError());
  EXPECT_EQ(lib.AllWord().size(), 2u * 7064);
  CharRecord r;
  ASSERT_TRUE(lib.GetCharInfo(U("明"), r));
  EXPECT_EQ(r.pinYin, "");
  EXPECT_EQ(r.kxExp, "");
  EXPECT_FALSE(r.nameExp.empty());
}

TEST_F(GeneratedDataTest, StrokeCountsAgreeWithNameLore) {
  struct Case {
    const char* chars;
    int kx;
  };
  const Case cases[] = {{"矗灵艳鑫", 24}, {"观揽灏", 25}, {"骥", 26}, {"銮", 27}, {"李", 7},  {"王", 4},
                        {"张", 11},       {"明", 8},      {"浩", 11}, {"涛", 18}, {"陈", 16}, {"刘", 15},
                        {"一", 1},        {"五", 5},      {"十", 10}, {"琳", 13}, {"狗", 9},  {"运", 16}};
  MNameLibrary lib(folder);
  ASSERT_TRUE(lib.Open(0));
  for (const Case& c : cases) {
    std::string chars = U(c.chars);
    for (size_t i = 0; i < chars.size(); i += 2) {
      std::string ch = chars.substr(i, 2);
      SCOPED_TRACE(gbk::ToUtf8(ch));
      CharRecord r;
      ASSERT_TRUE(lib.GetCharInfo(ch, r)) << gbk::ToUtf8(lib.LastError());
      EXPECT_EQ(r.kxLen, c.kx);
      EXPECT_EQ(r.word, ch);
      EXPECT_GE(r.gbLen, 1);
    }
  }
  CharRecord r;
  ASSERT_TRUE(lib.GetCharInfo(U("浩"), r));
  EXPECT_EQ(r.buShou, U("氵"));
  EXPECT_EQ(r.bsLen, 3);
  EXPECT_EQ(r.gbLen, 10);
  EXPECT_EQ(r.wx, 0);
  EXPECT_EQ(r.truePy, U("hào"));
  ASSERT_TRUE(lib.GetCharInfo(U("陈"), r));
  EXPECT_TRUE(r.isFirst);
  EXPECT_LT(r.big5Len, r.kxLen);  // 阝 counts as 阜 only in the Kangxi count
}

TEST_F(GeneratedDataTest, GroupsAreWhatARebuildComputes) {
  TempFolder tmp;
  file::ForceDirectories(tmp.Path("dat"));
  ASSERT_TRUE(file::Copy(folder + "dat\\ChiWord.db", tmp.Path("dat\\ChiWord.db"), false));
  MNameLibrary shipped(folder);
  MNameLibrary rebuilt(tmp.Dir());
  ASSERT_TRUE(shipped.Open(0));
  ASSERT_TRUE(rebuilt.Open(0));
  ASSERT_TRUE(rebuilt.RebuildGroups()) << gbk::ToUtf8(rebuilt.LastError());
  int male = 0, female = 0;
  for (int kind = 1; kind <= 4; ++kind) {
    SCOPED_TRACE(kind);
    std::vector<int> s1, s2;
    TStringList g1, g2;
    ASSERT_TRUE(shipped.LoadStrokeGroups(kind, s1, g1));
    ASSERT_TRUE(rebuilt.LoadStrokeGroups(kind, s2, g2));
    EXPECT_EQ(s1, s2);
    EXPECT_EQ(g1.Text(), g2.Text());
    if (kind == 3) {
      // Naming by sex finds common characters of both kinds.
      ASSERT_TRUE(shipped.BeginBatch());
      for (int k = 0; k < g1.Count(); ++k) {
        for (size_t i = 0; i < g1[k].size(); i += 2) {
          CharRecord r;
          ASSERT_TRUE(shipped.GetCharInfoBatch(g1[k].substr(i, 2), r));
          male += r.useSex == 1;
          female += r.useSex == 2;
        }
      }
      shipped.EndBatch();
    }
  }
  EXPECT_GT(male, 100);
  EXPECT_GT(female, 100);
}

}  // namespace
