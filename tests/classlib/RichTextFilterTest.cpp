#include "classlib/RichTextFilter.h"

#include <gtest/gtest.h>

#include <string>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "support/TempFolder.h"

namespace {

std::string Filtered(std::string_view data, bool plainText = false) {
  ViewText out;
  std::string why;
  EXPECT_TRUE(FilterRichText(data, plainText, out, why)) << gbk::ToUtf8(why);
  return out.data;
}

std::string Refusal(std::string_view data) {
  ViewText out;
  std::string why;
  EXPECT_FALSE(FilterRichText(data, false, out, why));
  return gbk::ToUtf8(why);
}

bool Has(const std::string& s, std::string_view part) { return s.find(part) != std::string::npos; }

// The most bytes between two paragraph breaks.
size_t LongestParagraphBytes(const std::string& s, std::string_view breakMark) {
  size_t longest = 0, from = 0;
  for (size_t at = s.find(breakMark); at != std::string::npos; at = s.find(breakMark, from)) {
    longest = std::max(longest, at - from);
    from = at + breakMark.size();
  }
  return std::max(longest, s.size() - from);
}

// A report as the rich edit saves one: two fonts of one face, colours, a heading in bold
// colour, Chinese text as bytes of its code page and as \u, paragraph formats.
const char kReport[] =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
    "{\\f1\\froman\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
    "{\\*\\generator Riched20 10.0;}\\viewkind4\\uc1 \r\n"
    "\\pard\\fi420\\qc\\cf2\\b\\f0\\fs20 \\'c0\\'ee\\u22235?\\par\r\n"
    "\\pard\\li200\\sa100\\cf1\\b0\\f1 a\\{b\\}c\\\\d\\tab e\\line f\\par\r\n"
    "{\\i\\ul italic}\\ulnone  after\\par\r\n}";

TEST(RichTextFilter, ReportsComeThroughWithTheirLook) {
  const std::string out = Filtered(kReport);
  // Fonts keep their numbers, families, charsets and names; colours their values.
  for (const char* part : {"\\ansicpg936", "\\deff0", "{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}",
                           "{\\f1\\froman\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}",
                           "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}",
                           // The heading: centred, indented, bold, red, 10 points, its text as it was.
                           "\\plain\\f0\\fs20\\b\\cf2 \\pard\\qc\\fi420 \\'c0\\'ee\\u22235?\\par", "\\li200\\sa100 ",
                           "a\\{b\\}c\\\\d\\tab e\\line f\\par", "\\i\\ul", "italic", " after\\par"})
    EXPECT_TRUE(Has(out, part)) << part << "\n" << out;
  EXPECT_FALSE(Has(out, "generator")) << out;
  // What the filter writes, it reads back unchanged: nothing is lost on a second pass.
  EXPECT_EQ(Filtered(out), out);
}

TEST(RichTextFilter, DropsWhatItDoesNotKnow) {
  struct Row {
    const char* name;
    std::string rtf;
    const char* kept;
    const char* dropped;
  } rows[] = {
      {"a starred destination", "{\\rtf1 A{\\*\\unknown X}B}", "AB", "X"},
      {"an unknown destination", "{\\rtf1 A{\\info{\\title X}}{\\stylesheet{\\s0 X;}}B}", "AB", "X"},
      {"a picture", "{\\rtf1 A{\\pict\\wmetafile8 0123abcd}B}", "AB", "0123"},
      {"binary data with braces and a long word", "{\\rtf1 A{\\bin20 {{{{\\" + std::string(15, 'z') + "}B}", "AB",
       "zzz"},
      {"a field keeps its result", "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}", "link", "HYPERLINK"},
      {"a font size beyond reason", "{\\rtf1 \\fs2000000000 A}", "\\fs3276 ", "2000000000"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string out = Filtered(r.rtf);
    EXPECT_TRUE(Has(out, r.kept)) << out.substr(0, 400);
    EXPECT_FALSE(Has(out, r.dropped)) << out.substr(0, 400);
  }
}

TEST(RichTextFilter, RefusesWhatItCannotParse) {
  struct Row {
    const char* name;
    std::string rtf;
    const char* says;
  } rows[] = {
      {"a negative \\bin", "{\\rtf1 \\bin-5 x}", "二进制数据"},
      {"a word of 1,200 letters", "{\\rtf1 \\" + std::string(1200, 'a') + " x}", "控制字"},
      {"a number of 11 digits", "{\\rtf1 \\li12345678901 x}", "数值"},
      {"groups nested deeper than the bound", "{\\rtf1 " + std::string(200, '{') + "x}", "嵌套"},
      {"nothing to show", "{\\rtf1 {\\*\\x y}}", "没有可以显示的文字"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string why = Refusal(r.rtf);
    EXPECT_TRUE(Has(why, r.says)) << why;
  }
}

// Paragraphs are laid out in time that grows with the square of their length.
TEST(RichTextFilter, BreaksLongParagraphsNeverInsideACharacter) {
  const RichTextBounds bounds;
  const size_t bound = bounds.maxParagraphChars;
  std::string zhong;
  for (int i = 0; i < 131000; ++i) zhong += "\xD6\xD0";
  std::string u;
  for (int i = 0; i < 120000; ++i) u += "\\u20320?";
  struct Row {
    const char* name;
    std::string data;
    bool plain;
    size_t maxUnitBytes;  // bytes of one character in the output
  } rows[] = {
      {"131,000 中 as text", zhong, true, 2},
      {"131,000 中 as RTF", "{\\rtf1\\ansi\\ansicpg936 " + zhong + "}", false, 8},
      {"120,000 \\u", "{\\rtf1 " + u + "}", false, 8},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string out = Filtered(r.data, r.plain);
    EXPECT_LE(LongestParagraphBytes(out, r.plain ? "\r\n" : "\\par"), bound * r.maxUnitBytes + 64);
    if (r.plain) {
      // Only breaks were added, each between whole characters.
      std::string joined;
      for (size_t at = 0, next; at < out.size(); at = next + 2) {
        next = std::min(out.find("\r\n", at), out.size());
        const std::string line = out.substr(at, next - at);
        EXPECT_EQ(gbk::ToUtf8(line).find("\xEF\xBF\xBD"), std::string::npos) << "a character cut at " << at;
        joined += line;
      }
      EXPECT_EQ(joined, r.data);
    }
  }
  // Our reports' paragraphs stay whole, and plain text keeps its own breaks.
  EXPECT_EQ(Filtered("a\r\nb\nc", true), "a\r\nb\nc");
}

TEST(RichTextFilter, FilesAreNamedInEveryRefusalAndLeftAsTheyWere) {
  TempFolder dir;
  const std::string path = dir.Path("report.rtf");
  const std::string hostile = "{\\rtf1 \\bin2000000000 x}";
  ASSERT_TRUE(file::WriteAtomic(path, hostile));
  RichTextBounds small;
  small.maxFileBytes = 10;
  ViewText out;
  std::string why;
  EXPECT_FALSE(ReadRichTextFile(path, false, out, why));
  EXPECT_TRUE(Has(why, path)) << gbk::ToUtf8(why);
  EXPECT_FALSE(ReadRichTextFile(path, false, out, why, small));
  EXPECT_TRUE(Has(gbk::ToUtf8(why), "太大")) << gbk::ToUtf8(why);
  EXPECT_TRUE(Has(why, path));
  EXPECT_FALSE(ReadRichTextFile(dir.Path("missing.rtf"), false, out, why));
  EXPECT_TRUE(Has(gbk::ToUtf8(why), "无法读取文件")) << gbk::ToUtf8(why);
  std::string after;
  ASSERT_TRUE(file::ReadAll(path, after));
  EXPECT_EQ(after, hostile);
  // Read as plain text, the same file is text.
  EXPECT_TRUE(ReadRichTextFile(path, true, out, why));
  EXPECT_EQ(out.data, hostile);
  EXPECT_FALSE(out.rtf);
}

}  // namespace
