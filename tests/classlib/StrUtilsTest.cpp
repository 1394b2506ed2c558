#include "classlib/StrUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(StrUtils, PositionsAreOneBasedBytes) {
  EXPECT_EQ(Pos("c", "abc"), 3u);
  EXPECT_EQ(Pos("x", "abc"), 0u);
  EXPECT_EQ(Pos("", "abc"), 0u);
  EXPECT_EQ(Pos("b", "abcb", 3), 4u);
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abc", 3, 10), "c");
  EXPECT_EQ(Copy("abc", 4, 1), "");
  std::string s = "abcdef";
  Delete(s, 2, 2);
  EXPECT_EQ(s, "adef");
  Insert("XY", s, 2);
  EXPECT_EQ(s, "aXYdef");
  Insert("!", s, 100);
  EXPECT_EQ(s, "aXYdef!");
}

// "\xB1\xC8" is GBK 比; in 比比 the bytes "\xC8\xB1" straddle the two characters,
// and a match across that boundary must not count for PosChar.
TEST(StrUtils, PosCharRespectsCharacterBoundaries) {
  std::string text = "\xB1\xC8\xB1\xC8";  // 比比
  EXPECT_EQ(Pos("\xC8\xB1", text), 2u);
  EXPECT_EQ(PosChar("\xC8\xB1", text), 0u);
  EXPECT_EQ(PosChar("\xB1\xC8", text), 1u);
}

TEST(StrUtils, CaseAndTrimLeaveGbkAlone) {
  // 臸 is "\xC5\x61": its trail byte is ASCII 'a' and must not be upper-cased.
  EXPECT_EQ(UpperCase("ab\xC5"
                      "a"),
            "AB\xC5"
            "a");
  EXPECT_EQ(Trim("  x y \r\n"), "x y");
  EXPECT_TRUE(SameText("Set", "sET"));
  EXPECT_EQ(StringReplace("a'b'c", "'", "''"), "a''b''c");
}

TEST(StrUtils, NumbersParseStrictlyWithDefaults) {
  EXPECT_EQ(StrToIntDef(" 42 ", 0), 42);
  EXPECT_EQ(StrToIntDef("-7", 0), -7);
  EXPECT_EQ(StrToIntDef("0x1F", 0), 31);
  EXPECT_EQ(StrToIntDef("$1F", 0), 31);
  EXPECT_EQ(StrToIntDef("12a", 5), 5);
  EXPECT_EQ(StrToIntDef("", 5), 5);
  EXPECT_EQ(StrToIntDef("99999999999999999999", 5), 5);
  EXPECT_DOUBLE_EQ(StrToFloatDef("120.5", 0), 120.5);
  EXPECT_DOUBLE_EQ(StrToFloatDef("x", 1.5), 1.5);
  EXPECT_EQ(Format("%d画", 12), "12画");
  EXPECT_EQ(Format("%s", std::string(5000, 'x').c_str()).size(), 5000u);
}

TEST(StrUtils, FileNamePartsSplitOnCharacterBoundaries) {
  EXPECT_EQ(ExtractFilePath("C:\\prog\\Torvik.exe"), "C:\\prog\\");
  EXPECT_EQ(ExtractFileName("C:\\prog\\Torvik.exe"), "Torvik.exe");
  EXPECT_EQ(ExtractFileExt("skins\\a.b.skn"), ".skn");
  EXPECT_EQ(ChangeFileExt("a\\b.txt", ".rtf"), "a\\b.rtf");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\prog"), "C:\\prog\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\prog\\"), "C:\\prog\\");
  // 癨 ends in the byte '\' (0x5C); it is part of the name, not a separator.
  std::string name = "\xB0\x5C.txt";
  EXPECT_EQ(ExtractFileName("d\\" + name), name);
}

}  // namespace
