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

// Counts that name lore gives for common surnames and name characters, each by its source:
// the full radical plus the residual strokes of the form names use, the value of a
// numeral, or a reviewed exception.
TEST_F(GeneratedDataTest, StrokeCountsAgreeWithNameLore) {
  static const char* const kRule = "radical+residual";
  struct Case {
    const char* chars;
    int kx;
    const char* source;
  };
  const Case cases[] = {
      {"一", 1, "numeral"},
      {"二", 2, "numeral"},
      {"三", 3, "numeral"},
      {"四", 4, "numeral"},
      {"五", 5, "numeral"},
      {"六", 6, "numeral"},
      {"七", 7, "numeral"},
      {"八", 8, "numeral"},
      {"九", 9, "numeral"},
      {"十", 10, "numeral"},
      {"骥", 26, "exception"},
      {"丁力人入了又乃", 2, kRule},
      {"于千子也大山川", 3, kRule},
      {"王方毛尹孔文仁月日心水手天元之丹", 4, kRule},  // 王 is 玉 96.-1
      {"田史付石白平民冬玉示世", 5, kRule},
      {"朱任向百光安宇旭", 6, kRule},
      {"李吴何宋杜吕余江志成廷辰秀宏谷池", 7, kRule},
      {"周林孟金武沈汪明东松欣佳雨岳", 8, kRule},
      {"姚姜段侯肖韦建秋俊军思怡美星春河波信勇飞红狗", 9, kRule},
      {"高徐唐夏秦袁马家城庭芸轩书宸洋刚孙", 10, kRule},
      {"胡梁曹崔常张许范健朗祥浩海梓雪梅敏晨康英伟国彬斌", 11, kRule},
      {"黄彭曾程邵邱覃冯贺盛涵婷博智云发贵", 12, kRule},
      {"杨雷莫贾汤琳琪新钰诗祺义", 13, kRule},
      {"赵郝廖熊福嘉睿瑞华诚铭语祯荣宁凤", 14, kRule},
      {"郭董黎刘欧万瑶辉磊毅德慧乐萱", 15, kRule},
      {"陈陆潘卢陶钱龙运锦静", 16, kRule},
      {"谢韩蒋蔡邹钟阳泽鸿霞", 17, kRule},
      {"魏戴礼涛丰", 18, kRule},
      {"薛邓谭郑鹏丽", 19, kRule},
      {"罗严", 20, kRule},
      {"顾艺", 21, kRule},
      {"龚苏欢", 22, kRule},
      {"兰", 23, kRule},
      {"矗灵艳鑫", 24, kRule},
      {"观揽灏", 25, kRule},
      {"銮", 27, kRule},
  };
  for (int variant : {0, 1}) {
    MNameLibrary lib(folder);
    ASSERT_TRUE(lib.Open(variant));
    for (const Case& c : cases) {
      std::string chars = U(c.chars);
      for (size_t i = 0; i < chars.size(); i += 2) {
        std::string ch = chars.substr(i, 2);
        SCOPED_TRACE(gbk::ToUtf8(ch) + " by " + c.source + (variant ? " (quick)" : " (full)"));
        CharRecord r;
        ASSERT_TRUE(lib.GetCharInfo(ch, r)) << gbk::ToUtf8(lib.LastError());
        EXPECT_EQ(r.kxLen, c.kx);
        EXPECT_EQ(r.word, ch);
        EXPECT_GE(r.gbLen, 1);
      }
    }
  }
  MNameLibrary lib(folder);
  ASSERT_TRUE(lib.Open(0));
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
