// The 81-number readings: the number and plate rules, the numbered list output,
// the company test and its lucky stroke deltas.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "classlib/Gbk.h"
#include "dictionary/DictFixture.h"
#include "engine/NameTables.h"
#include "engine/Numberread.h"
#include "resources/StringTable.h"

namespace {

using numberread::Tool;

// A tiny stroke table in place of the dictionary.
numberread::StrokeLookup Strokes() {
  static const std::map<std::string, int> table = {{U("京"), 8}, {U("公"), 4}, {U("司"), 5},
                                                   {U("某"), 9}, {U("沪"), 7}, {U("测"), 9}};
  return [](std::string_view ch, int& n) {
    auto it = table.find(std::string(ch));
    if (it == table.end()) return false;
    n = it->second;
    return true;
  };
}

TStringList Lines(std::initializer_list<const char*> utf8) {
  TStringList l;
  for (const char* s : utf8) l.Add(U(s));
  return l;
}

TEST(NumberreadTest, NumberAndPlateRules) {
  struct Row {
    const char* text;
    bool plate;
    bool ok;
    int n;
  } rows[] = {
      {"13812345678", false, true, 5678},
      {"88", false, true, 88},
      {"0000", false, false, 0},        // reads 0, "0" is no character
      {"公司", false, true, 9},         // 4 bytes, not a number: strokes
      {"某公司0000", false, false, 0},  // ends in 0000: read by strokes, and digits have none
      {"某公司", false, true, 18},
      {"0x12", false, false, 0},    // not decimal, and no characters
      {"公司12", false, false, 0},  // last four bytes "司12" are no number; 1 is no character
      {"京A 12345", true, true, 8 + 10 + 15},
      {"京a12345", true, true, 8 + 10 + 15},
      {"沪Zz", true, true, 7 + 35 + 35},
      {"0", true, true, 0},
      {"京A-1", true, false, 0},   // a single byte that is neither digit nor letter
      {"京\xB1", true, false, 0},  // cut lead byte
      {"龘A1", true, false, 0},    // unknown character
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    int n = -1;
    std::string s = U(r.text);
    bool ok = r.plate ? numberread::PlateRule(s, Strokes(), n) : numberread::NumberRule(s, Strokes(), n);
    EXPECT_EQ(ok, r.ok);
    if (r.ok) {
      EXPECT_EQ(n, r.n);
    }
  }
}

TEST(NumberreadTest, PlateLetterInsideAHanziIsNotTakenOut) {
  // 吖 is 0xDF 0x41, whose trail byte is the letter A.
  std::string plate =
      "\xDF\x41"
      "1";
  auto strokes = [](std::string_view ch, int& n) {
    n = 6;
    return ch == "\xDF\x41";
  };
  int n = 0;
  ASSERT_TRUE(numberread::PlateRule(plate, strokes, n));
  EXPECT_EQ(n, 6 + 1);
}

TEST(NumberreadTest, PhoneListGivesNumberedEntries) {
  TStringList lines = Lines({"13812345678", "  ", "88", " 0000 "});
  std::string out = numberread::ReadLines(lines, Tool::Phone, Strokes());
  std::string expected = U("【1】13812345678：[78数]") + LoadStr(1278) + "\r\n\r\n" + U("【2】88：[8数]") +
                         LoadStr(1208) + "\r\n\r\n" + U("【3】0000：输入无效、无法测算！") + "\r\n\r\n";
  EXPECT_FALSE(LoadStr(1278).empty());
  EXPECT_EQ(out, expected);
}

TEST(NumberreadTest, ToolsReadTheirOwnTexts) {
  struct Row {
    Tool tool;
    const char* line;
    int key;
  } rows[] = {
      {Tool::Company, "某公司", 1118},
      {Tool::Phone, "某公司", 1218},
      {Tool::Plate, "京A12345", 1233},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    std::string out = numberread::ReadLines(Lines({r.line}), r.tool, Strokes());
    EXPECT_NE(out.find(LoadStr(r.key)), std::string::npos);
    EXPECT_NE(out.find(U("[") + std::to_string(r.key % 100) + U("数]")), std::string::npos);
  }
  // A zero plate prints [0数] and no reading.
  EXPECT_EQ(numberread::ReadLines(Lines({"0"}), Tool::Plate, Strokes()), U("【1】0：[0数]\r\n\r\n"));
}

TEST(NumberreadTest, EveryLuckyDeltaMakesTheTotalGood) {
  for (int total = 1; total <= 250; ++total) {
    SCOPED_TRACE(total);
    std::vector<int> deltas = numberread::LuckyStrokeDeltas(total);
    EXPECT_TRUE(std::is_sorted(deltas.begin(), deltas.end()));
    EXPECT_EQ(std::adjacent_find(deltas.begin(), deltas.end()), deltas.end());
    for (int d : deltas) {
      EXPECT_GT(d, 0);
      EXPECT_EQ(NameTables::NumberClassAlt(total + d), 2) << "delta " << d;
    }
  }
}

TEST(NumberreadTest, LuckyDeltasAtTheEdges) {
  // From 80: 81 is one stroke away, every smaller good number g is g strokes away.
  std::vector<int> from80 = numberread::LuckyStrokeDeltas(80);
  ASSERT_FALSE(from80.empty());
  EXPECT_EQ(from80.front(), 1);
  for (int j = 2; j < 81; ++j) {
    bool listed = std::find(from80.begin(), from80.end(), j) != from80.end();
    EXPECT_EQ(listed, NameTables::NumberClass81Alt[j] == 2) << j;
  }
  // From 81 no delta of 0 is listed.
  std::vector<int> from81 = numberread::LuckyStrokeDeltas(81);
  EXPECT_EQ(std::count(from81.begin(), from81.end(), 0), 0);
}

TEST(NumberreadTest, CompanyTest) {
  std::string text;
  ASSERT_TRUE(numberread::CompanyReading("10", Strokes(), text));
  std::string head = U("输入：10\r\n\r\n【10数】笔画总数10\r\n") + LoadStr(1110);
  EXPECT_EQ(text.substr(0, head.size()), head);
  std::string tail = text.substr(head.size());
  ASSERT_NE(tail.find(U("就变吉利了：")), std::string::npos);
  // Each number is followed by the list comma, the last one too.
  std::string listed;
  for (int d : numberread::LuckyStrokeDeltas(10)) listed += std::to_string(d) + U("、");
  EXPECT_FALSE(listed.empty());
  EXPECT_EQ(tail.substr(tail.size() - listed.size()), listed);

  ASSERT_TRUE(numberread::CompanyReading("29", Strokes(), text));
  EXPECT_EQ(text, U("输入：29\r\n\r\n【29数】笔画总数29\r\n") + LoadStr(1129));

  std::string kept = "unchanged";
  EXPECT_FALSE(numberread::CompanyReading(U("某龘公司"), Strokes(), kept));
  EXPECT_EQ(kept, "unchanged");
}

class NumberreadDictTest : public DictFixture {};

TEST_F(NumberreadDictTest, DictionaryStrokesFollowTheStrokeMode) {
  Build("ChiWord.db", {MakeRecord("京", 8, 8), MakeRecord("东", 8, 5)}, "");
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0)) << lib.LastError();
  struct Row {
    int mode;
    int plate;
  } rows[] = {{0, 8 + 10 + 1}, {1, 5 + 10 + 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode);
    numberread::StrokeLookup strokes = numberread::DictionaryStrokes(lib, r.mode);
    int n = 0;
    ASSERT_TRUE(numberread::PlateRule(U("东A1"), strokes, n));
    EXPECT_EQ(n, r.plate);
    EXPECT_FALSE(strokes("A", n));  // one byte is never looked up
    EXPECT_FALSE(strokes(U("龘"), n));
    EXPECT_EQ(numberread::ReadLines(Lines({"0000"}), Tool::Phone, strokes),
              U("【1】0000：输入无效、无法测算！\r\n\r\n"));
  }
}

}  // namespace
