// The string table as the program reads it: every key it computes has a text, the
// verdicts agree with the class tables, and no text could pass for a report heading.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "classlib/Gbk.h"
#include "engine/Decname.h"
#include "engine/NameTables.h"
#include "resources/StringTable.h"

namespace {

std::string U8(const std::string& g) { return gbk::ToUtf8(g); }

std::string FirstLine(const std::string& utf8) { return utf8.substr(0, utf8.find("\r\n")); }

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Every id the report, the naming pages and the company page look up.
std::vector<int> LookedUpIds() {
  std::vector<int> ids;
  for (int t = 1; t <= 5; ++t)
    for (int r = 1; r <= 5; ++r)
      for (int d = 1; d <= 5; ++d) ids.push_back(NameTables::TalentTextId(t, r, d));
  for (int n = 1; n <= 81; ++n) {
    ids.push_back(NameTables::CompanyNumberTextId(n));
    ids.push_back(NameTables::NumberTextId(n));
  }
  for (int p = 1; p <= 10; ++p) ids.push_back(NameTables::PersonalityTextId(p));
  for (int b = 0; b < 12; ++b) ids.push_back(NameTables::ZodiacTextId(b));
  const size_t surnames = LoadStr(1400).size() / 2;
  ids.push_back(1400);
  for (size_t i = 0; i < surnames; ++i) ids.push_back(NameTables::SurnameSoundTextId(static_cast<int>(i)));
  for (int e = 0; e < 5; ++e) ids.push_back(NameTables::RadicalTextId(e));
  using NameTables::GridRelation;
  for (GridRelation g : {GridRelation::Base, GridRelation::Success, GridRelation::Social})
    for (int a = 1; a <= 5; ++a)
      for (int b = 1; b <= 5; ++b) ids.push_back(NameTables::GridRelationTextId(g, a, b));
  for (int stem = 0; stem < 10; ++stem)
    for (int branch = 0; branch < 12; ++branch) ids.push_back(MDecName::ClimateTextId(stem, branch));
  return ids;
}

TEST(ReportTexts, EveryLookedUpIdHasAText) {
  const std::vector<int> ids = LookedUpIds();
  EXPECT_GE(ids.size(), 125u + 162 + 10 + 12 + 1 + 5 + 75 + 120);
  for (int id : ids) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(LoadStr(id).empty());
  }
  EXPECT_TRUE(LoadStr(1199).empty()) << "an unused id reads empty";
}

TEST(ReportTexts, NoTextHoldsAReportHeading) {
  const char* const kHeadings[] = {"造  ", "姓名评论：", "尊姓大名：", "姓名综合得分：", "三才配置[", "附加信息："};
  for (int id : LookedUpIds()) {
    const std::string text = U8(LoadStr(id));
    for (const char* h : kHeadings) {
      SCOPED_TRACE(std::to_string(id) + " " + h);
      EXPECT_EQ(text.find(h), std::string::npos);
    }
  }
}

TEST(ReportTexts, VerdictsAgreeWithTheClassTables) {
  for (int t = 1; t <= 5; ++t)
    for (int r = 1; r <= 5; ++r)
      for (int d = 1; d <= 5; ++d) {
        const int id = NameTables::TalentTextId(t, r, d);
        SCOPED_TRACE(id);
        const std::string verdict = FirstLine(U8(LoadStr(id)));
        switch (NameTables::TalentClass(t, r, d)) {
          case 2:
            EXPECT_EQ(verdict, "（吉）");
            break;
          case 1:
            EXPECT_TRUE(verdict == "（半吉）" || verdict == "（半凶）") << verdict;
            break;
          default:
            EXPECT_EQ(verdict, "（凶）");
            break;
        }
      }
  const char* const kPersonal[] = {"（凶）", "（半吉）", "（吉）"};
  const char* const kCompany[] = {"（凶）", "（平）", "（吉）"};
  for (int n = 1; n <= 81; ++n) {
    SCOPED_TRACE(n);
    const std::string personal = FirstLine(U8(LoadStr(NameTables::NumberTextId(n))));
    EXPECT_TRUE(EndsWith(personal, kPersonal[NameTables::NumberClass(n)])) << personal;
    const std::string company = U8(LoadStr(NameTables::CompanyNumberTextId(n)));
    EXPECT_TRUE(EndsWith(company, kCompany[NameTables::NumberClassAlt(n)])) << company;
  }
}

// A title that weighs good against bad belongs to a half-good number only.
TEST(ReportTexts, NumberTitlesAgreeWithTheirVerdicts) {
  for (int n = 1; n <= 81; ++n) {
    SCOPED_TRACE(n);
    const std::string title = FirstLine(U8(LoadStr(NameTables::NumberTextId(n))));
    const bool weighed = title.find("吉凶参半") != std::string::npos || title.find("吉凶难分") != std::string::npos;
    EXPECT_TRUE(!weighed || NameTables::NumberClass(n) == 1) << title;
  }
}

std::vector<std::string> Sentences(const std::string& utf8) {
  std::vector<std::string> out;
  for (size_t from = 0, end; (end = utf8.find("。", from)) != std::string::npos; from = end + 3) {
    size_t start = utf8.rfind("：", end);
    start = start == std::string::npos || start < from ? from : start + 3;
    out.push_back(utf8.substr(start, end - start));
  }
  return out;
}

// Each three-talent text reads as written for its combination: it names its three
// elements, a bad one without 克 between neighbours gives a reason of its own elements,
// and no sentence is shared by more than a few combinations.
TEST(ReportTexts, ThreeTalentTextsAreWrittenForTheirCombination) {
  const char* const kElements[] = {"", "木", "火", "土", "金", "水"};
  auto overcomes = [](int a, int b) { return (b - a + 5) % 5 == 2; };  // 1 木 … 5 水
  std::map<std::string, int> uses;
  std::set<std::string> reasons;
  for (int t = 1; t <= 5; ++t)
    for (int r = 1; r <= 5; ++r)
      for (int d = 1; d <= 5; ++d) {
        const int id = NameTables::TalentTextId(t, r, d);
        SCOPED_TRACE(id);
        const std::string text = U8(LoadStr(id));
        const std::string head =
            std::string("总论：天格") + kElements[t] + "、人格" + kElements[r] + "、地格" + kElements[d] + "。";
        EXPECT_NE(text.find(head), std::string::npos);
        for (const std::string& s : Sentences(text)) ++uses[s];
        const bool clash = overcomes(t, r) || overcomes(r, t) || overcomes(r, d) || overcomes(d, r);
        if (NameTables::TalentClass(t, r, d) != 0 || clash) continue;
        const std::vector<std::string> overview = Sentences(text.substr(0, text.find("\r\n", head.size())));
        ASSERT_GE(overview.size(), 4u);
        const std::string& reason = overview.back();
        EXPECT_EQ(reason.find("偏盛失调"), std::string::npos) << reason;
        EXPECT_TRUE(reason.find(kElements[t]) != std::string::npos || reason.find(kElements[r]) != std::string::npos)
            << reason;
        EXPECT_TRUE(reasons.insert(reason).second) << "shared reason: " << reason;
      }
  EXPECT_EQ(reasons.size(), 13u);
  for (const auto& [sentence, n] : uses) EXPECT_LE(n, 15) << sentence;
}

TEST(ReportTexts, TextsTheProgramQuotesBeginAsExpected) {
  struct Case {
    int id;
    const char* start;
  };
  const Case kCases[] = {{1310, "肖猪年生人"},
                         {1401, "盖-Gai -"},
                         {1790, "“氵”字旁的常用字："},
                         {1811, "木 木 基础安全"},
                         {8300, "丙火为主，癸水为佐。"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(U8(LoadStr(c.id)).rfind(c.start, 0), 0u);
  }
}

}  // namespace
