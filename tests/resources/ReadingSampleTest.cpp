// Ten readings of the string table, drawn at random on every run and printed, so a
// person reading the test log sees finished prose; each is checked for the form every
// reading shares: present, whole GBK characters, and "\r\n" line ends only.
#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <vector>

#include "classlib/Gbk.h"
#include "resources/StringTable.h"

namespace {

std::vector<int> ReadingIds() {
  std::vector<int> ids;
  for (int t : {1, 3, 5, 7, 9})
    for (int r : {1, 3, 5, 7, 9})
      for (int d : {1, 3, 5, 7, 9}) ids.push_back(100 * t + 10 * r + d);
  for (int n = 1; n <= 81; ++n) {
    ids.push_back(1100 + n);
    ids.push_back(1200 + n);
  }
  for (int id = 1291; id <= 1300; ++id) ids.push_back(id);
  for (int id = 1310; id <= 1321; ++id) ids.push_back(id);
  return ids;
}

void ExpectWellFormed(const std::string& text) {
  for (size_t i = 0; i < text.size(); i += gbk::CharLength(text, i)) {
    unsigned char c = text[i];
    ASSERT_FALSE(gbk::IsLeadByte(c) && i + 1 == text.size()) << "cut character at the end";
    ASSERT_TRUE(c != '\n' || (i > 0 && text[i - 1] == '\r')) << "bare line feed at byte " << i;
  }
  EXPECT_EQ(gbk::FromUtf8(gbk::ToUtf8(text)), text);
}

TEST(ReportTexts, RandomSampleReadsAsFinishedText) {
  std::vector<int> ids = ReadingIds();
  std::mt19937 pick(std::random_device{}());
  std::shuffle(ids.begin(), ids.end(), pick);
  for (int k = 0; k < 10; ++k) {
    std::string text = LoadStr(ids[k]);
    SCOPED_TRACE(ids[k]);
    ASSERT_FALSE(text.empty());
    ExpectWellFormed(text);
    std::cout << "---- " << ids[k] << "\n" << gbk::ToUtf8(text) << "\n";
  }
}

}  // namespace
