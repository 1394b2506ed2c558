#include "classlib/RichTextCheck.h"

#include <gtest/gtest.h>

#include <string>

#include "classlib/Gbk.h"

namespace {

using V = RichTextVerdict;

std::string Nested(int depth) {
  return "{\\rtf1\\ansi " + std::string(static_cast<size_t>(depth - 1), '{') + "x" +
         std::string(static_cast<size_t>(depth), '}');
}

std::string Word(size_t letters) { return "{\\rtf1\\ansi \\" + std::string(letters, 'a') + " x}"; }

TEST(RichTextCheck, BoundsTheNestingOfGroups) {
  const RichTextLimits limits;
  EXPECT_EQ(CheckRichText(Nested(limits.maxDepth), true), V::Fits);
  EXPECT_EQ(CheckRichText(Nested(limits.maxDepth + 1), true), V::TooDeep);
  EXPECT_EQ(CheckRichText(Nested(40), true), V::TooDeep);
  // Groups closed before others open do not add up; stray closing braces do not let
  // later groups go deeper.
  std::string siblings = "{\\rtf1";
  for (int i = 0; i < 100; ++i) siblings += "{\\b x}";
  EXPECT_EQ(CheckRichText(siblings + "}", true), V::Fits);
  EXPECT_EQ(CheckRichText("}}}}}}}}}}" + Nested(limits.maxDepth + 1), true), V::TooDeep);
}

TEST(RichTextCheck, EscapedBracesAndBinaryDataAreNoGroups) {
  const std::string escaped = "{\\rtf1 " + std::string(100, ' ') + [] {
    std::string s;
    for (int i = 0; i < 50; ++i) s += "\\{";
    return s;
  }() + "}";
  EXPECT_EQ(CheckRichText(escaped, true), V::Fits);
  // 60 opening braces inside \bin data, and a long run of letters after it.
  const std::string data = std::string(60, '{') + "\\" + std::string(2000, 'z');
  const std::string bin = "{\\rtf1 {\\pict\\bin" + std::to_string(data.size()) + " " + data + "}}";
  EXPECT_EQ(CheckRichText(bin, true), V::Fits);
  // A \bin count beyond the end takes the rest as data.
  EXPECT_EQ(CheckRichText("{\\rtf1 \\bin999999 {{{{{{{{{{{{{{{{{{{{{{{{{{{{{{", true), V::Fits);
}

TEST(RichTextCheck, BoundsControlWordsAndTheirNumbers) {
  const RichTextLimits limits;
  EXPECT_EQ(CheckRichText(Word(limits.maxWordLetters), true), V::Fits);
  EXPECT_EQ(CheckRichText(Word(limits.maxWordLetters + 1), true), V::WordTooLong);
  EXPECT_EQ(CheckRichText(Word(1100), true), V::WordTooLong);
  // A word at the very end of the text, cut short.
  EXPECT_EQ(CheckRichText("{\\rtf1 \\" + std::string(1100, 'q'), true), V::WordTooLong);
  EXPECT_EQ(CheckRichText("{\\rtf1 \\", true), V::Fits);
  struct Row {
    const char* rtf;
    V verdict;
  } rows[] = {
      {"{\\rtf1 \\fs24 x}", V::Fits},
      {"{\\rtf1 \\fs3276 x}", V::Fits},
      {"{\\rtf1 \\fs3277 x}", V::BadNumber},
      {"{\\rtf1 \\fs2000000000 x}", V::BadNumber},
      {"{\\rtf1 \\fs-20 x}", V::Fits},
      {"{\\rtf1 \\li-2147483647 x}", V::Fits},
      {"{\\rtf1 \\rsid12345678 x}", V::Fits},
      {"{\\rtf1 \\sa99999999999 x}", V::BadNumber},
      {"{\\rtf1 \\'b0\\'a1\\u-30000? x}", V::Fits},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.rtf);
    EXPECT_EQ(CheckRichText(r.rtf, true), r.verdict);
  }
}

TEST(RichTextCheck, PlainTextIsBoundedByItsSizeOnly) {
  RichTextLimits small;
  small.maxBytes = 100;
  EXPECT_EQ(CheckRichText(std::string(100, '{'), false, small), V::Fits);
  EXPECT_EQ(CheckRichText(std::string(101, 'x'), false, small), V::TooLarge);
  EXPECT_EQ(CheckRichText("{\\rtf1 " + std::string(200, 'x') + "}", true, small), V::TooLarge);
  EXPECT_EQ(CheckRichTextSize(RichTextLimits{}.maxBytes), V::Fits);
  EXPECT_EQ(CheckRichTextSize(RichTextLimits{}.maxBytes + 1), V::TooLarge);
  EXPECT_EQ(CheckRichTextSize(57LL * 1024 * 1024), V::TooLarge);
}

TEST(RichTextCheck, EveryRefusalIsSaidInChinese) {
  EXPECT_TRUE(RichTextRefusal(V::Fits).empty());
  EXPECT_EQ(RichTextRefusal(V::TooLarge), gbk::U("文件太大（超过1MB），不能载入。"));
  EXPECT_EQ(RichTextRefusal(V::TooDeep), gbk::U("文件的格式嵌套超过24层，可能已损坏，不能载入。"));
  for (V v : {V::WordTooLong, V::BadNumber}) EXPECT_NE(RichTextRefusal(v).find(gbk::U("不能载入")), std::string::npos);
}

}  // namespace
