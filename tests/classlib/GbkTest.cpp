#include "classlib/Gbk.h"

#include <gtest/gtest.h>

namespace {

// "李" and "明" in GBK and UTF-8.
const std::string kLiGbk = "\xC0\xEE";
const std::string kLiUtf8 = "\xE6\x9D\x8E";
const std::string kMingGbk = "\xC3\xF7";

TEST(Gbk, ConvertsKnownCharacters) {
  EXPECT_EQ(gbk::ToUtf8(kLiGbk + "A" + kMingGbk), kLiUtf8 + "A\xE6\x98\x8E");
  EXPECT_EQ(gbk::FromUtf8(kLiUtf8), kLiGbk);
  EXPECT_EQ(gbk::ToUtf16(kLiGbk), std::u16string(1, u'\u674E'));
  EXPECT_EQ(gbk::FromUtf16(u"\u674E"), kLiGbk);
  EXPECT_EQ(gbk::ToUtf8("plain ascii"), "plain ascii");
}

// Every two-byte GBK character maps to one UTF-16 unit and back to the same bytes.
TEST(Gbk, EveryDoubleByteCharacterRoundTrips) {
  int mapped = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      std::string g{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string u = gbk::ToUtf16(g);
      ASSERT_EQ(u.size(), 1u) << std::hex << lead << " " << trail;
      if (u[0] == 0xFFFD) continue;  // an unassigned code point of the code page
      ++mapped;
      ASSERT_EQ(gbk::FromUtf16(u), g) << std::hex << lead << " " << trail;
      ASSERT_EQ(gbk::FromUtf8(gbk::ToUtf8(g)), g) << std::hex << lead << " " << trail;
    }
  }
  // GBK's 21886 code points less the 95 that only Windows maps, to the private use area.
  EXPECT_GE(mapped, 21791);
}

TEST(Gbk, BadBytesGiveReplacementsNotCrashes) {
  EXPECT_EQ(gbk::ToUtf16("\xC0"), std::u16string(1, 0xFFFD));  // lead byte at the end
  EXPECT_EQ(gbk::ToUtf16("\xFF"
                         "A"),
            (std::u16string{0xFFFD, u'A'}));  // never a GBK byte
  EXPECT_EQ(gbk::FromUtf8("\xE6\x9D"), "?");  // cut UTF-8 sequence
  EXPECT_EQ(gbk::ToUtf16("\x81"
                         "0"),
            (std::u16string{0xFFFD, u'0'}));                  // lead byte, then no trail byte
  EXPECT_EQ(gbk::FromUtf8("\xC0\x80"), "?");                  // overlong form
  EXPECT_EQ(gbk::FromUtf16(u"\U0001F600"), "?");              // outside GBK
  EXPECT_EQ(gbk::FromUtf16(std::u16string(1, 0xD800)), "?");  // lone surrogate
}

TEST(Gbk, CutsOnlyAtCharacterBoundaries) {
  std::string s = kLiGbk + "A" + kMingGbk;
  EXPECT_EQ(gbk::CutAtCharBoundary(s, 5), s);
  EXPECT_EQ(gbk::CutAtCharBoundary(s, 4), kLiGbk + "A");
  EXPECT_EQ(gbk::CutAtCharBoundary(s, 1), "");
  EXPECT_EQ(gbk::CutAtCharBoundary(s, 0), "");
}

}  // namespace
