#include "skin/WinSkinIni.h"

#include <gtest/gtest.h>

#include "classlib/Files.h"
#include "support/TempFolder.h"

namespace {

TQuickIni Loaded(std::string_view text) {
  TQuickIni ini;
  ini.LoadFromStream(text);
  return ini;
}

TEST(TQuickIni, ReadsKeysTrimmedWithCaseKept) {
  TQuickIni ini = Loaded(
      "; a comment\r\n\r\n  [Border]  \r\n   Image  =  Frame.BMP  \r\nEmpty=\r\nempty=late\n"
      "[Colours]\rWindowText=1 2 3\r\n[colours]\r\nWindowText=9 9 9\r\n");
  EXPECT_EQ(ini.ReadString("border", "IMAGE", "none"), "Frame.BMP");
  EXPECT_EQ(ini.ReadString("Border", "empty", "def"), "def") << "the later line is not consulted";
  EXPECT_EQ(ini.ReadString("Border", "missing", "def"), "def");
  EXPECT_EQ(ini.ReadString("nowhere", "image", "def"), "def");
  for (const char* name : {"Colours", "colours", "COLOURS"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ini.ReadString(name, "windowtext", ""), "1 2 3") << "only the first of equal sections";
  }
  EXPECT_EQ(ini.Lines().Count(), 8) << "comments and blank lines are not kept";
  EXPECT_EQ(ini.Lines()[0], "[Border]");
}

TEST(TQuickIni, ReadsIntegersInEveryNotation) {
  struct Case {
    const char* value;
    int32_t expected;
  };
  const Case cases[] = {
      {"0x1F", 31},
      {"0X1f", 31},
      {"$1F", 31},
      {"12", 12},
      {"-7", -7},
      {"abc", -1},
      {"12abc", -1},
      {"0x", -1},
      {"$", -1},
      {"", -1},
      {"0xZZ", -1},
      {"99999999999", -1},
      {"$80000008", static_cast<int32_t>(0x80000008u)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    TQuickIni ini = Loaded(std::string("[s]\r\nk=") + c.value + "\r\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", -1), c.expected);
  }
  TQuickIni ini = Loaded("[s]\r\nyes=1\r\nno=0\r\nodd=x\r\n");
  EXPECT_TRUE(ini.ReadBool("s", "yes", false));
  EXPECT_FALSE(ini.ReadBool("s", "no", true));
  EXPECT_TRUE(ini.ReadBool("s", "odd", true));
  EXPECT_FALSE(ini.ReadBool("s", "absent", false));
}

TEST(TQuickIni, ListsSectionsKeysAndValues) {
  TQuickIni ini = Loaded("[ A ]\r\nOne=1\r\nno equals\r\nTwo = 2\r\n[B]\r\nx=\r\n");
  ASSERT_TRUE(ini.Lines().Count() > 0);
  TStringList list;
  ini.ReadSections(list);
  EXPECT_EQ(list.Text(), "A\r\nB\r\n");
  ini.ReadSection("a", list);
  EXPECT_EQ(list.Count(), 0) << "the header is matched with its inner spaces";
  ini.ReadSection(" a ", list);
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\n");
  ini.ReadSectionValues(" A ", list);
  EXPECT_EQ(list.Text(), "One=1\r\nno equals\r\nTwo = 2\r\n");
  EXPECT_EQ(TQuickIni::GetName("  Key Name = v"), "key name");
  EXPECT_EQ(TQuickIni::GetValue("Key= v ", "key"), "v");
  EXPECT_EQ(TQuickIni::GetValue("Key= v ", "other"), "");
}

TEST(TQuickIni, StopsAtNul) {
  TQuickIni ini = Loaded(std::string("[a]\r\nk=1\r\n\0[b]\r\nk=2\r\n", 21));
  EXPECT_EQ(ini.GetSectionIndex("b"), -1);
  EXPECT_EQ(ini.ReadInteger("a", "k", 0), 1);
}

// After every edit each header must still be found at its own line.
void ExpectSectionsRight(const TQuickIni& ini) {
  for (const TQuickIni::SectionEntry& e : ini.Sections()) {
    SCOPED_TRACE(e.header);
    ASSERT_LT(e.line, ini.Lines().Count());
    EXPECT_EQ(ini.Lines()[e.line], e.header);
  }
}

TEST(TQuickIni, EditsKeepSectionIndexes) {
  TQuickIni ini = Loaded("[a]\r\nk=1\r\n[b]\r\nm=2\r\n[c]\r\nn=3\r\n");
  ini.WriteString("a", "New", "x");
  ini.WriteInteger("A", "K", 5);
  ini.WriteBool("c", "flag", true);
  ini.WriteString("d", "key", "v");
  ini.WriteString("e", "", "ignored");
  ExpectSectionsRight(ini);
  std::string text;
  ini.SaveToStream(text);
  EXPECT_EQ(text, "[a]\r\nK=5\r\nNew=x\r\n[b]\r\nm=2\r\n[c]\r\nn=3\r\nflag=1\r\n[d]\r\nkey=v\r\n[e]\r\n");
  EXPECT_EQ(ini.ReadString("b", "m", ""), "2");

  ini.DeleteKey("a", "K");
  EXPECT_EQ(ini.ReadInteger("a", "k", 0), 5) << "only a lower-case key is found";
  ini.DeleteKey("a", "k");
  EXPECT_EQ(ini.ReadInteger("a", "k", 0), 0);
  ini.EraseSection("B");
  ExpectSectionsRight(ini);
  EXPECT_EQ(ini.GetSectionIndex("b"), -1);
  EXPECT_EQ(ini.ReadString("c", "n", ""), "3");
  text.clear();
  ini.SaveToStream(text);
  EXPECT_EQ(text, "[a]\r\nNew=x\r\n\r\n[c]\r\nn=3\r\nflag=1\r\n[d]\r\nkey=v\r\n[e]\r\n");
  ini.EraseSection("a");
  ExpectSectionsRight(ini);
  EXPECT_EQ(ini.Lines()[0], "[c]") << "the blank line went with the section before it";

  TStringList lines;
  lines.SetText("[x]\r\nq=1\r\n[y]\r\n");
  ini.SetIniFile(lines);
  ExpectSectionsRight(ini);
  EXPECT_EQ(ini.ReadInteger("x", "q", 0), 1);
}

TEST(TQuickIni, SavesAndLoadsPlainAndCompressed) {
  TempFolder dir;
  TQuickIni ini = Loaded("[Title]\r\nName=\xC0\xEE Mx1\r\n");
  ASSERT_TRUE(ini.SaveToFile(dir.Path("a.ini")));
  ASSERT_TRUE(ini.SavetoZip(dir.Path("a.zip")));
  for (bool zipped : {false, true}) {
    SCOPED_TRACE(zipped);
    TQuickIni back;
    ASSERT_TRUE(zipped ? back.LoadFromZip(dir.Path("a.zip")) : back.LoadFromFile(dir.Path("a.ini")));
    EXPECT_EQ(back.ReadString("title", "name", ""), "\xC0\xEE Mx1");
  }
  TQuickIni none;
  EXPECT_FALSE(none.LoadFromZip(dir.Path("a.ini"))) << "plain text is no compressed stream";
  EXPECT_FALSE(none.LoadFromFile(dir.Path("missing.ini")));
  EXPECT_FALSE(none.LastError().empty());
}

}  // namespace
