// The character texts and attributes of the generated dictionary files: every character
// of the quick dictionary explained in Chinese in both files, its sex of use and class as
// a Chinese reader knows them, the surnames marked. The 凶 characters are printed for review.
#include <algorithm>
#include <cstdio>
#include <map>

#include "DictFixture.h"
#include "classlib/StrUtils.h"
#include "dictionary/Dictquery.h"
#include "engine/NameTables.h"

namespace {

constexpr int kQuickCount = 7064;

size_t CharCount(const std::string& gbkText) { return gbk::ToUtf16(gbkText).size(); }

// ASCII or a Latin letter of any form GBK holds (pinyin vowels, full-width letters).
bool HasLatin(const std::string& gbkText) {
  for (char16_t c : gbk::ToUtf16(gbkText)) {
    if (c < 0x80 || (c >= 0xC0 && c <= 0x24F) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A))
      return true;
  }
  return false;
}

std::vector<std::string> Chars(const std::string& gbkText) {
  std::vector<std::string> out;
  for (size_t i = 0; i + 1 < gbkText.size(); i += 2) out.push_back(gbkText.substr(i, 2));
  return out;
}

class GeneratedTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = IncludeTrailingBackslash(gbk::FromUtf8(TORVIK_PROGRAM_DIR));
    if (!file::Exists(folder + "dat\\ChiWordMini.db")) GTEST_SKIP() << "dictionary data not generated";
    ASSERT_TRUE(quick.Open(1)) << gbk::ToUtf8(quick.LastError());
    ASSERT_TRUE(full.Open(0)) << gbk::ToUtf8(full.LastError());
  }
  // The record of `ch` in the quick file (`inFull` false) or the full one.
  CharRecord Get(const std::string& ch, bool inFull) {
    CharRecord r;
    MNameLibrary& lib = inFull ? full : quick;
    EXPECT_TRUE(lib.GetCharInfo(ch, r)) << gbk::ToUtf8(ch) << ": " << gbk::ToUtf8(lib.LastError());
    return r;
  }
  std::string folder;
  MNameLibrary quick{TORVIK_PROGRAM_DIR "/"};
  MNameLibrary full{TORVIK_PROGRAM_DIR "/"};
};

TEST_F(GeneratedTexts, EveryQuickCharacterIsExplainedInChineseInBothFiles) {
  ASSERT_EQ(quick.AllWord().size(), 2u * kQuickCount);
  std::map<int, int> bySex, byClass;
  std::string bad;
  int faults = 0;
  for (bool inFull : {false, true}) {
    MNameLibrary& lib = inFull ? full : quick;
    ASSERT_TRUE(lib.BeginBatch());
    for (const std::string& ch : Chars(quick.AllWord())) {
      CharRecord r;
      ASSERT_TRUE(lib.GetCharInfoBatch(ch, r)) << gbk::ToUtf8(ch);
      size_t n = CharCount(r.nameExp);
      bool sound = !HasLatin(r.nameExp) && n >= 4 && n <= 40 && !HasLatin(r.normalExp) && CharCount(r.normalExp) >= 4;
      if (!sound && ++faults <= 20) {
        ADD_FAILURE() << (inFull ? "ChiWord.db " : "ChiWordMini.db ") << gbk::ToUtf8(ch) << " 字意 "
                      << gbk::ToUtf8(r.nameExp) << " 基本解释 " << gbk::ToUtf8(r.normalExp);
      }
      if (inFull) continue;
      ++bySex[r.useSex];
      ++byClass[r.jx];
      if (r.jx == 1) bad += r.word;
    }
    lib.EndBatch();
  }
  EXPECT_EQ(faults, 0) << "characters without a sound Chinese 字意 and 基本解释";
  // About 1,300 of the quick dictionary's characters have a clear lean in given names;
  // the rest are used by both sexes or not in names at all.
  EXPECT_GE(bySex[1] + bySex[2], 1300) << "characters of one sex";
  EXPECT_GT(bySex[1], 400);
  EXPECT_GT(bySex[2], 400);
  std::printf("useSex: 男 %d, 女 %d, 无 %d; jx: 吉 %d, 平 %d, 凶 %d\n", bySex[1], bySex[2], bySex[0], byClass[0],
              byClass[2], byClass[1]);
  std::printf("凶 (%zu): %s\n", bad.size() / 2, gbk::ToUtf8(bad).c_str());
}

TEST_F(GeneratedTexts, WellKnownNameCharactersKeepTheirClass) {
  struct Case {
    const char* kind;
    const char* chars;
    int sex;  // useSex, -1 any
    int jx;   // 0 吉, 1 凶, 2 平; -1 anything but 凶
  };
  const Case cases[] = {
      {"male", "强刚伟杰峰豪龙彪勇斌涛浩鹏军兵武毅磊岩虎雄俊辉超栋坤锋钢鑫昊博宏志建国德忠凯彬健亮帅", 1, -1},
      {"female", "丽娟婷芳燕玲娜媛倩琳雪霞美艳梅兰莲秀珍凤萍娇妍婉淑琴瑶薇蓉莉颖妮娥姗菲茜蕾媚婵", 2, -1},
      {"both", "明文华晨安一子思乐平宁", 0, -1},
      // 吉 is a character good in a name: not a title, a body part, a boudoir word, half of
      // a two-character word, or a common character no parent gives; today's favourites are.
      {"not good in a name", "王侯爵首膺闺嫱冁卺苍筑营豁恢耕耿管巩纲", -1, 2},
      {"favoured in names", "屿牧序翎默兮", -1, 0},
      {"avoid",
       "死病灾贼屎尸亡丧毒奸癌疯殇祸盗骗杀恶鬼魔坟墓葬棺哭悲穷贫残废瘤疮淫娼妓尿粪屁蛆腐烂惨败恨衰寡囚狱瘟疫瞎聋"
       "哑傻蠢",
       -1, 1},
  };
  for (const Case& c : cases) {
    for (bool inFull : {false, true}) {
      for (const std::string& ch : Chars(U(c.chars))) {
        SCOPED_TRACE(std::string(c.kind) + " " + gbk::ToUtf8(ch) + (inFull ? " ChiWord.db" : " ChiWordMini.db"));
        CharRecord r = Get(ch, inFull);
        if (c.sex >= 0) {
          EXPECT_EQ(r.useSex, c.sex);
        }
        if (c.jx >= 0) {
          EXPECT_EQ(r.jx, c.jx);
        } else {
          EXPECT_NE(r.jx, 1) << "a name character is not 凶";
        }
      }
    }
  }
}

TEST_F(GeneratedTexts, TheNamingTablesSurnamesAreMarkedInBothFiles) {
  const NameTables::Texts& t = NameTables::Text();
  std::vector<std::string> names = {"陈", "欧", "阳", "诸", "葛", "司", "马", "赵", "钱", "孙"};
  for (std::string& n : names) n = U(n.c_str());
  for (const std::string& s : t.CompoundSurnames) names.push_back(s);
  std::string list = t.SurnameList;
  for (size_t star; (star = list.find('*')) != std::string::npos; list.erase(0, star + 1))
    names.push_back(list.substr(0, star));
  for (const std::string& name : names) {
    for (const std::string& ch : Chars(name)) {
      for (bool inFull : {false, true}) {
        SCOPED_TRACE(gbk::ToUtf8(ch) + (inFull ? " ChiWord.db" : " ChiWordMini.db"));
        if (!inFull && quick.IdOfChar(ch) <= 0) continue;  // a rare surname outside the quick file
        EXPECT_TRUE(Get(ch, inFull).isFirst);
      }
    }
  }
}

// The rest of the full file - rare characters outside the general standard table, neither
// reviewed nor traditional forms of reviewed ones - keeps its English definitions, marked
// as such, with their quotes as quotes.
TEST_F(GeneratedTexts, OtherCharactersShowTheirEnglishMarked) {
  ASSERT_TRUE(full.BeginBatch());
  int english = 0, faults = 0;
  for (int id = 1; id <= dictsql::kFullCount; ++id) {
    CharRecord r;
    if (!full.GetRecordByIdBatch(id, r) || quick.IdOfChar(r.word) > 0 || r.nameExp.empty()) continue;
    bool marked = r.nameExp.rfind(U("（英）"), 0) == 0 && r.normalExp.rfind(U("（英）"), 0) == 0;
    english += marked;
    if ((!marked && HasLatin(r.nameExp)) || r.nameExp.find(U("‘ ")) != std::string::npos) {
      if (++faults <= 10) ADD_FAILURE() << gbk::ToUtf8(r.word) << " " << gbk::ToUtf8(r.nameExp);
    }
  }
  full.EndBatch();
  EXPECT_EQ(faults, 0);
  EXPECT_GT(english, 4000);
}

// The dictionary page's 男用名 and 女用名 read the same values, and its explanation
// block shows the 基本解释 in the quick file too.
TEST_F(GeneratedTexts, TheDictionaryPageFindsNameCharactersBySex) {
  struct Case {
    int sex;
    const char* found;
    const char* notFound;
  };
  const Case cases[] = {{1, "刚伟强杰峰豪", "丽娟婷明文一死"}, {2, "丽娟婷芳燕玲", "刚伟强明文一死"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sex);
    dictquery::Conditions cond;
    cond.sex = c.sex;
    std::string text =
        dictquery::JoinBlocks(dictquery::SearchByConditions(quick, cond, dictquery::Style::Brief, false));
    for (const std::string& ch : Chars(U(c.found))) EXPECT_NE(dictsql::FindChar(text, ch), 0u) << gbk::ToUtf8(ch);
    for (const std::string& ch : Chars(U(c.notFound))) EXPECT_EQ(dictsql::FindChar(text, ch), 0u) << gbk::ToUtf8(ch);
  }
  const std::string line = dictquery::SearchByChars(quick, U("浩"), true);
  const std::string head = U("【基本解释】");
  const size_t at = line.find(head);
  ASSERT_NE(at, std::string::npos) << gbk::ToUtf8(line);
  const std::string explained = line.substr(at + head.size(), line.find('\r', at) - at - head.size());
  EXPECT_GE(CharCount(explained), 4u);
  EXPECT_FALSE(HasLatin(explained)) << gbk::ToUtf8(explained);
}

}  // namespace
