// The help file "dat\name.chm": every page of the project is compiled in, the pages link
// only to pages that exist, and their text survives the conversion to GBK.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"

namespace {

const std::string kSources = TORVIK_SOURCE_DIR "/gen/help/";

std::string ReadSource(const std::string& name) {
  std::string text;
  EXPECT_TRUE(file::ReadAll(kSources + name, text)) << name;
  return text;
}

// The [FILES] section of the project: the pages and style sheet compiled in.
std::vector<std::string> ProjectFiles() {
  TStringList lines;
  lines.SetText(ReadSource("name.hhp"));
  std::vector<std::string> files;
  bool inFiles = false;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string line = Trim(lines[i]);
    if (!line.empty() && line.front() == '[')
      inFiles = line == "[FILES]";
    else if (inFiles && !line.empty())
      files.push_back(line);
  }
  return files;
}

// Every file the project names, the contents and index included.
std::vector<std::string> AllSources() {
  std::vector<std::string> all = ProjectFiles();
  all.insert(all.end(), {"name.hhp", "toc.hhc", "index.hhk"});
  return all;
}

// A compiled file lists each of its files in its directory as an encoded length (one
// byte below 128) followed by the name with a leading '/'.
bool DirectoryHolds(const std::string& chm, const std::string& name) {
  const std::string entry = std::string(1, static_cast<char>(name.size() + 1)) + "/" + name;
  return chm.find(entry) != std::string::npos;
}

TEST(HelpFile, CompiledFileHoldsEveryPage) {
  std::string chm;
  ASSERT_TRUE(file::ReadAll(TORVIK_PROGRAM_DIR "/dat/name.chm", chm));
  ASSERT_GT(chm.size(), 4u);
  EXPECT_EQ(chm.substr(0, 4), "ITSF");
  const std::vector<std::string> files = ProjectFiles();
  ASSERT_GE(files.size(), 8u);
  for (const auto& name : files) EXPECT_TRUE(DirectoryHolds(chm, name)) << name;
  for (const char* name : {"toc.hhc", "index.hhk", "#SYSTEM"}) EXPECT_TRUE(DirectoryHolds(chm, name)) << name;
}

// A link to a page outside the project opens an error page in the help viewer.
TEST(HelpFile, LinksNameListedPages) {
  const std::vector<std::string> listed = ProjectFiles();
  const std::set<std::string> known(listed.begin(), listed.end());
  const std::regex link(R"re((?:href|value)="([^"#:]+\.(?:htm|css))")re");
  for (const auto& name : AllSources()) {
    SCOPED_TRACE(name);
    const std::string text = ReadSource(name);
    int links = 0;
    for (std::sregex_iterator m(text.begin(), text.end(), link), end; m != end; ++m, ++links)
      EXPECT_TRUE(known.count((*m)[1])) << (*m)[1];
    if (name.ends_with(".htm")) {
      EXPECT_NE(text.find("<title>"), std::string::npos);
      EXPECT_NE(text.find("charset=gb2312"), std::string::npos);
      EXPECT_GT(links, 0) << "a page without a way back";
    }
  }
}

// The pages are shipped as GBK: a character GBK lacks would turn into '?'.
TEST(HelpFile, SourcesSurviveGbk) {
  for (const auto& name : AllSources()) {
    const std::string text = ReadSource(name);
    EXPECT_EQ(gbk::ToUtf8(gbk::FromUtf8(text)), text) << name;
  }
}

// The contents list every page once, the default topic first.
TEST(HelpFile, ContentsListEveryPage) {
  const std::string toc = ReadSource("toc.hhc");
  const std::regex local(R"re(name="Local" value="([^"]+)")re");
  std::vector<std::string> pages;
  for (std::sregex_iterator m(toc.begin(), toc.end(), local), end; m != end; ++m) pages.push_back((*m)[1]);
  std::vector<std::string> expected;
  for (const auto& f : ProjectFiles())
    if (f.ends_with(".htm")) expected.push_back(f);
  EXPECT_EQ(pages, expected);
  EXPECT_NE(ReadSource("name.hhp").find("Default topic=" + expected.front()), std::string::npos);
}

}  // namespace
