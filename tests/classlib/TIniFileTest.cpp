#include "classlib/TIniFile.h"

#include <gtest/gtest.h>

#include "classlib/Files.h"
#include "classlib/TStringList.h"
#include "support/TempFolder.h"

namespace {

TEST(TIniFile, MissingFileGivesDefaults) {
  TempFolder dir;
  TIniFile ini(dir.Path("nothing.ini"));
  EXPECT_EQ(ini.ReadString("set", "key", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("set", "n", 7), 7);
  EXPECT_FALSE(ini.SectionExists("set"));
  EXPECT_FALSE(file::Exists(dir.Path("nothing.ini")));
}

TEST(TIniFile, ReadsSectionsKeysAndValues) {
  TempFolder dir;
  std::string path = dir.Path("a.ini");
  ASSERT_TRUE(file::WriteAtomic(path, "; comment\r\n[Set]\r\n Size = 12 \r\nname=\xC0\xEE\n[other]\nx=0x10\nbad=1z\n"));
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("set", "SIZE", 0), 12);
  EXPECT_EQ(ini.ReadString("SET", "name", ""), "\xC0\xEE");
  EXPECT_EQ(ini.ReadInteger("other", "x", 0), 16);
  EXPECT_EQ(ini.ReadInteger("other", "bad", -1), -1);
  TStringList sections, keys;
  ini.ReadSections(sections);
  ASSERT_EQ(sections.Count(), 2);
  EXPECT_EQ(sections[1], "other");
  ini.ReadSection("set", keys);
  EXPECT_EQ(keys.Text(), "Size\r\nname\r\n");
}

TEST(TIniFile, WritesAtOnceAndKeepsOtherLines) {
  TempFolder dir;
  std::string path = dir.Path("b.ini");
  ASSERT_TRUE(file::WriteAtomic(path, "; keep me\r\n[a]\r\nk=1\r\n"));
  {
    TIniFile ini(path);
    ASSERT_TRUE(ini.WriteInteger("a", "k", 2));
    ASSERT_TRUE(ini.WriteString("new", "t", "\xC3\xF7"));
  }
  std::string text;
  ASSERT_TRUE(file::ReadAll(path, text));
  EXPECT_EQ(text, "; keep me\r\n[a]\r\nk=2\r\n[new]\r\nt=\xC3\xF7\r\n");
  EXPECT_FALSE(file::Exists(path + ".tmp"));

  TIniFile again(path);
  EXPECT_TRUE(again.EraseSection("A"));
  EXPECT_TRUE(again.DeleteKey("new", "t"));
  EXPECT_FALSE(again.ValueExists("new", "t"));
  EXPECT_FALSE(again.SectionExists("a"));
}

TEST(TIniFile, SeesChangesOfAnotherWriter) {
  TempFolder dir;
  std::string path = dir.Path("c.ini");
  TIniFile reader(path), writer(path);
  EXPECT_EQ(reader.ReadInteger("s", "k", 0), 0);
  ASSERT_TRUE(writer.WriteInteger("s", "k", 5));
  EXPECT_EQ(reader.ReadInteger("s", "k", 0), 5);
}

TEST(TIniFile, FailedWriteChangesNothing) {
  TempFolder dir;
  TIniFile ini(dir.Path("no-such-folder\\x.ini"));
  EXPECT_FALSE(ini.WriteString("s", "k", "v"));
  EXPECT_FALSE(ini.ValueExists("s", "k"));
  EXPECT_NE(file::LastErrorText(), "");
}

}  // namespace
