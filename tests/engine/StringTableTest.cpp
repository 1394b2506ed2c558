#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "resources/StringTable.h"
#include "support/TempFolder.h"

namespace {

struct TextCase {
  const char* name;
  int id;
  const char* utf8;
};

TEST(StringTable, LooksUpTheSampleTexts) {
  constexpr TextCase kCases[] = {
      {"lines joined, trailing empty line dropped", 1201, "（大展鸿图）吉\r\n含义：第一行\r\n第二行"},
      {"single line", 7, "单行"},
      {"comment skipped, quotes and backslash kept", 65535, "“引号”\\和\"?\""},
      {"entry with no lines", 20, ""},
      {"entry in a second file", 21, "空的前一个"},
      {"missing id", 8, ""},
      {"below every id", 0, ""},
      {"above every id", 70000, ""},
  };
  for (const TextCase& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LoadStr(c.id), gbk::FromUtf8(c.utf8));
  }
}

TEST(StringTable, ResourceScriptEscapesEveryUnit) {
  std::string rc;
  ASSERT_TRUE(file::ReadAll(gbk::FromUtf8(SAMPLE_RC), rc));
  EXPECT_NE(rc.find("  7, L\"\\x5355\\x884c\"\n"), std::string::npos) << rc;
  EXPECT_NE(rc.find("STRINGTABLE"), std::string::npos);
}

// Runs the generator on one file of the given content; returns its exit status.
int Generate(const TempFolder& tmp, const std::string& content) {
  std::string dir = gbk::ToUtf8(tmp.Dir());
  EXPECT_TRUE(file::ForceDirectories(tmp.Path("in")));
  EXPECT_TRUE(file::WriteAtomic(tmp.Path("in\\x.txt"), content));
  std::string cmd =
      std::string("\"") + STRTABLE_GEN + "\" \"" + dir + "in\" \"" + dir + "o.cpp\" \"" + dir + "o.rc\" 2>/dev/null";
  return std::system(cmd.c_str());
}

TEST(StringTable, GeneratorRefusesBadSources) {
  struct BadCase {
    const char* name;
    const char* content;
  };
  constexpr BadCase kCases[] = {
      {"duplicate id", "@5\na\n@5\nb\n"},
      {"character outside GBK", "@5\n\xF0\x9F\x98\x80\n"},
      {"text before the first entry", "loose\n@5\na\n"},
      {"id not decimal", "@5x\na\n"},
      {"id too large", "@65536\na\n"},
      {"id not in ASCII digits", "@\xe4\xba\x94\na\n"},
  };
  for (const BadCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TempFolder tmp;
    EXPECT_NE(Generate(tmp, c.content), 0);
  }
}

TEST(StringTable, GeneratorAcceptsAMissingFolder) {
  TempFolder tmp;
  std::string dir = gbk::ToUtf8(tmp.Dir());
  std::string cmd =
      std::string("\"") + STRTABLE_GEN + "\" \"" + dir + "none\" \"" + dir + "o.cpp\" \"" + dir + "o.rc\"";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::string cpp;
  ASSERT_TRUE(file::ReadAll(tmp.Path("o.cpp"), cpp));
  EXPECT_NE(cpp.find("kStringTableSize = 0;"), std::string::npos);
}

}  // namespace
