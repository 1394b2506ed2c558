// The string table as the program reads it: every key it computes has a text, the
// verdicts agree with the class tables, and no text could pass for a report heading.
#include <gtest/gtest.h>

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
