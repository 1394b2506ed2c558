#include "tools/NumberPicker.h"

#include <gtest/gtest.h>

#include "classlib/Gbk.h"

namespace {

std::string U8(const std::string& gbkText) { return gbk::ToUtf8(gbkText); }

TEST(NumberPicker, DefaultsListTheGoodEndingsOfOneHundredAndElevenMillion) {
  MNumberPicker picker;
  std::vector<std::string> lines;
  std::string message;
  ASSERT_TRUE(picker.Generate(lines, message));
  EXPECT_EQ(message, "");
  ASSERT_EQ(lines.size(), 4001u);
  EXPECT_EQ(U8(lines.front()), "1：11111110000（00）");
  EXPECT_EQ(U8(lines.back()).rfind("4001：1111111", 0), 0u);
  for (const auto& l : lines) {
    const std::string u = U8(l);
    EXPECT_NE(u.find("1111111"), std::string::npos) << u;
  }
}

TEST(NumberPicker, EndingsFoldAboveEightyOne) {
  // 0162 folds to 2 (bad, not listed); 0081 stays 81 (good); 0083 folds to 3 (good).
  struct Row {
    std::vector<int> d8, d9, d10, d11;
    const char* line;  // "" when nothing is listed
  } rows[] = {
      {{0}, {1}, {6}, {2}, ""},
      {{0}, {0}, {8}, {1}, "1：11111110081（81）"},
      {{0}, {0}, {8}, {3}, "1：11111110083（03）"},
      {{9}, {9}, {9}, {9}, ""},  // 9999 folds to 79, bad
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.line);
    MNumberPicker picker;
    ASSERT_TRUE(picker.SetDigits(8, r.d8) && picker.SetDigits(9, r.d9) && picker.SetDigits(10, r.d10) &&
                picker.SetDigits(11, r.d11));
    std::vector<std::string> lines;
    std::string message;
    const bool any = picker.Generate(lines, message);
    if (*r.line == 0) {
      EXPECT_FALSE(any);
      EXPECT_TRUE(lines.empty());
      EXPECT_EQ(U8(message), "没有吉号！");
    } else {
      ASSERT_TRUE(any);
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_EQ(U8(lines[0]), r.line);
    }
  }
}

TEST(NumberPicker, NoGoodEndingAnswersAtOnceWhateverTheRest) {
  MNumberPicker picker;
  for (int p = 1; p <= 7; ++p) picker.SetAny(p);  // 10^7 prefixes
  for (int p = 8; p <= 11; ++p) picker.SetDigit(p, 9);
  std::vector<std::string> lines;
  std::string message;
  EXPECT_FALSE(picker.Generate(lines, message));
  EXPECT_EQ(U8(message), "没有吉号！");
}

TEST(NumberPicker, CappedAtThirtyThousandLines) {
  MNumberPicker picker;
  for (int p = 1; p <= 11; ++p) picker.SetAny(p);
  std::vector<std::string> lines;
  std::string message;
  ASSERT_TRUE(picker.Generate(lines, message));
  EXPECT_EQ(lines.size(), 30000u);
  EXPECT_EQ(U8(message), "最多只显示3万个号码！");
  EXPECT_EQ(U8(lines.back()).rfind("30000：", 0), 0u);
}

TEST(NumberPicker, DigitSetsAreOrderedAndNeverEmpty) {
  MNumberPicker picker;
  EXPECT_TRUE(picker.SetDigits(3, {7, 2, 7, 0}));
  EXPECT_EQ(picker.Digits(3), (std::vector<int>{0, 2, 7}));
  EXPECT_FALSE(picker.SetDigits(3, {}));
  EXPECT_FALSE(picker.SetDigits(3, {10}));
  EXPECT_EQ(picker.Digits(3), (std::vector<int>{0, 2, 7}));
}

TEST(NumberPicker, ExplainReadsTheNumberInBrackets) {
  EXPECT_EQ(MNumberPicker::Explain(gbk::FromUtf8("1：11111110000（00）")), "");
  EXPECT_EQ(MNumberPicker::Explain(gbk::FromUtf8("（81）")), "");  // must stand after the first character
  EXPECT_EQ(MNumberPicker::Explain("no bracket"), "");
  const std::string e = U8(MNumberPicker::Explain(gbk::FromUtf8("2：11111110081（81）")));
  EXPECT_EQ(e.rfind("[81数]", 0), 0u);
  EXPECT_GT(e.size(), std::string("[81数]").size());
}

}  // namespace
