// Company-name proposals: the kept totals, their stroke splits and the proposal text
// over a small quick dictionary built from the stroke tables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "classlib/StrUtils.h"
#include "dictionary/DictFixture.h"
#include "engine/Companynames.h"
#include "engine/NameTables.h"
#include "resources/StringTable.h"

namespace {

TEST(Companynames, TotalsThatMakeTheWholeNameGood) {
  const std::vector<int> all(company::GoodNumbers.begin(), company::GoodNumbers.end());
  struct Case {
    int base;
    std::vector<int> kept;
  };
  const Case cases[] = {
      {0, all},
      {1, {5, 6, 7, 15, 16, 17, 23, 24, 31, 32, 47, 67}},
      {80, all},  // 80 + 1 is 81; every larger total folds back to itself
      {81, {}},   // 81 + g folds to g + 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.base);
    std::vector<int> kept = company::GoodTotals(c.base);
    if (c.base == 81) {
      for (int g : kept) EXPECT_TRUE(company::IsGoodNumber(g + 1)) << g;
    } else {
      EXPECT_EQ(kept, c.kept);
    }
  }
}

TEST(Companynames, StrokeSplits) {
  using Splits = std::vector<std::vector<int>>;
  struct Case {
    int total, n;
    Splits splits;
  };
  const Case cases[] = {
      {12, 3, {{1, 2, 9}, {2, 3, 7}, {3, 4, 5}}},
      {3, 2, {{1, 2}}},
      {2, 2, {}},  // 1 + 1: the last count must be larger
      {27, 1, {{27}}},
      {28, 1, {}},
      {55, 2, {}},  // 27 + 28 would need a count above 27
      {54, 2, {}},  // 27 + 27: not larger
      {10, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(IntToStr(c.total) + "/" + IntToStr(c.n));
    EXPECT_EQ(company::StrokeSplits(c.total, c.n), c.splits);
  }
}

class CompanyNamesTest : public DictFixture {
 protected:
  // The quick file: the first two characters of each Kangxi stroke row, element s % 5.
  void SetUp() override {
    const auto& rows = NameTables::Text().KangxiStrokeChars;
    std::vector<CharRecord> recs;
    std::set<std::string> seen;
    auto add = [&](const std::string& ch, int kx, int wx) {
      if (!seen.insert(ch).second) return;
      CharRecord r = MakeRecord("一", kx, kx);
      r.word = ch;
      r.wx = static_cast<uint8_t>(wx);
      recs.push_back(r);
    };
    add(U("一"), 1, 3);
    for (int s = 1; s <= 27; ++s) {
      for (size_t i = 0; i < 4 && i < rows[s - 1].size(); i += 2) add(rows[s - 1].substr(i, 2), s, s % 5);
    }
    // A character listed under 6 strokes that the dictionary counts as 9.
    misplaced = rows[5].substr(4, 2);
    add(misplaced, 9, 1);
    BuildBatched("ChiWordMini.db", recs, "");
    BuildBatched("ChiWord.db", {MakeRecord("王", 4, 4)}, "");
  }
  // Characters of the 6-stroke line of a proposal.
  std::string Line(const std::string& text, int s) {
    std::string head = Format(U("%02d画：").c_str(), s);
    size_t at = text.find(head);
    if (at == std::string::npos) return "<none>";
    at += head.size();
    return text.substr(at, text.find("\r\n", at) - at);
  }

  MNameLibrary lib{tmp.Dir()};
  AnalysisSettings settings;
  std::string misplaced;
  std::string error;
};

TEST_F(CompanyNamesTest, OneMiddleCharacter) {
  std::string text = U("一");
  ASSERT_TRUE(company::ProposeCompanyNames(lib, settings, text, "", 0, 1, error)) << gbk::ToUtf8(error);
  const std::string head =
      U("公司基本名：一○，1画\r\n\r\n（可以任意选一小组里面不同笔画的1个字组合成公司中间名。"
        "公司名前缀 + 中间名 + 公司名后缀 = 完整公司名）：\r\n");
  EXPECT_EQ(text.substr(0, head.size()), head);

  // One group for each kept total a single character can carry (27 strokes at most).
  std::vector<int> groups;
  for (size_t at = text.find(U("【")); at != std::string::npos; at = text.find(U("【"), at + 1)) {
    groups.push_back(std::atoi(text.c_str() + at + 2));
  }
  EXPECT_EQ(groups, (std::vector<int>{5, 6, 7, 15, 16, 17, 23, 24}));

  const std::string group5 = std::string(89, '-') +
                             Format(U("\r\n【%d：%s】\r\n\r\n").c_str(), 5, LoadStr(1105).c_str()) + U("05画：") +
                             NameTables::Text().KangxiStrokeChars[4].substr(0, 4) + "\r\n\r\n" +
                             Format(U("5+1=6（6）%s\r\n").c_str(), LoadStr(1106).c_str());
  EXPECT_NE(text.find(group5), std::string::npos) << gbk::ToUtf8(text.substr(0, 600));
  const std::string tail = "\r\n" + std::string(91, '=') +
                           U("提示：只要1个字合起来的笔画数达到以上的任意一组，就可以做为公司的候选中间名。"
                             "字的排列是任意组合的，不用按顺序，每个字笔画数不一样即可。\r\n\r\n");
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

  // Under Kangxi strokes a character whose dictionary count differs is left out.
  EXPECT_EQ(Line(text, 6), NameTables::Text().KangxiStrokeChars[5].substr(0, 4));
}

TEST_F(CompanyNamesTest, SplitsAndElements) {
  // Two middle characters of water (s % 5 == 0): only counts 5, 10, 15, 20, 25 remain.
  std::string text = U("一");
  ASSERT_TRUE(company::ProposeCompanyNames(lib, settings, text, "", 1, 2, error)) << gbk::ToUtf8(error);
  EXPECT_NE(text.find(U("05画：") + NameTables::Text().KangxiStrokeChars[4].substr(0, 4) + "\r\n" + U("10画：")),
            std::string::npos);
  // 5 + 10 = 15 is the one water split of a kept total below 31; 47 = 20 + 27 fails on 27.
  EXPECT_NE(text.find(U("【15：")), std::string::npos);
  EXPECT_EQ(text.find(U("【5：")), std::string::npos);
  EXPECT_EQ(text.find(U("01画：")), std::string::npos);
  EXPECT_EQ(text.find(U("画：\r\n")), std::string::npos);  // a count without characters drops its split
}

TEST_F(CompanyNamesTest, Failures) {
  struct Case {
    const char* name;
    const char* prefix;
    const char* suffix;
    int n;
    const char* error;
  };
  const Case cases[] = {
      {"too many middle characters", "一", "", 28, "找不到适用的公司名字！"},
      {"no middle character", "一", "", 0, "找不到适用的公司名字！"},
      {"unknown character", "一王", "", 1, "字库里面没有“王”这个字！"},
      {"unknown in the suffix", "一", "王", 1, "字库里面没有“王”这个字！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = U(c.prefix);
    EXPECT_FALSE(company::ProposeCompanyNames(lib, settings, text, U(c.suffix), 0, c.n, error));
    EXPECT_EQ(error, U(c.error));
    EXPECT_EQ(text, U(c.prefix));  // the caller's text stays
  }
}

TEST_F(CompanyNamesTest, SingleByteCharactersCountNoStrokes) {
  std::string text = "AB" + U("一") + "-";
  ASSERT_TRUE(company::ProposeCompanyNames(lib, settings, text, "", 0, 1, error)) << gbk::ToUtf8(error);
  EXPECT_EQ(text.find(U("公司基本名：AB一-○，1画")), 0u);
}

}  // namespace
