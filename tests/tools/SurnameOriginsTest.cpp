#include "tools/SurnameOrigins.h"

#include <gtest/gtest.h>

#include <map>

#include "classlib/Files.h"
#include "classlib/Gbk.h"

namespace {

using gbk::U;

TEST(SurnameOrigins, TheClassicalListInOrder) {
  const auto names = MSurnameOrigins::Surnames();
  ASSERT_GT(names.size(), 400u);
  EXPECT_EQ(names.front(), U("赵"));
  EXPECT_EQ(names[3], U("李"));
  EXPECT_EQ(names.back(), U("羊舌"));
}

TEST(SurnameOrigins, EntryRunsFromItsKeyToEnd) {
  MSurnameOrigins o;
  o.SetText(U("[赵]\r\n赵一\r\n【源】赵二\r\n[end]\r\n[钱]\r\n钱一\r\n[end]\r\n[赵]\r\n又\r\n[end]\r\n[孙]\r\n孙一"));
  EXPECT_EQ(o.Entry(U("赵")), U("[赵]\r\n赵一\r\n【源】赵二\r\n"));  // the first of two
  EXPECT_EQ(o.Entry(U("钱")), U("[钱]\r\n钱一\r\n"));
  EXPECT_EQ(o.Entry(U("孙")), U("[孙]\r\n孙一\r\n"));  // no [end]: to the end
  EXPECT_EQ(o.Entry(U("李")), "");
}

TEST(SurnameOrigins, CheckNamesEachFault) {
  MSurnameOrigins o;
  o.SetText(U("stray\r\n[赵]\r\na\r\n[钱]\r\nb\r\n[end]\r\n[end]\r\n[钱]\r\n[end]"));
  const auto p = o.Check();
  auto has = [&](const std::string& s) {
    for (const auto& x : p)
      if (x.find(s) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(has("text outside an entry"));
  EXPECT_TRUE(has("no [end] before"));
  EXPECT_TRUE(has("[end] outside an entry"));
  EXPECT_TRUE(has("again"));
  EXPECT_TRUE(has("no entry for [" + U("孙") + "]"));
  EXPECT_FALSE(has("no entry for [" + U("赵") + "]"));
}

// The shipped text: one sound entry for every surname of the list.
TEST(SurnameOrigins, ShippedTextCoversEverySurname) {
  std::string utf8;
  ASSERT_TRUE(file::ReadAll(TORVIK_SOURCE_DIR "/src/resources/bjx/bjx.txt", utf8));
  MSurnameOrigins o;
  o.SetText(gbk::FromUtf8(utf8));
  for (const auto& problem : o.Check()) ADD_FAILURE() << gbk::ToUtf8(problem);
  const std::string zhao = gbk::ToUtf8(o.Entry(U("赵")));
  EXPECT_EQ(zhao.rfind("[赵]\r\n", 0), 0u);
  EXPECT_GT(zhao.size(), 20u);
}

// Each surname has its own origin: a shared or missing one is a placeholder left behind.
TEST(SurnameOrigins, ShippedOriginsAreTheirOwn) {
  std::string utf8;
  ASSERT_TRUE(file::ReadAll(TORVIK_SOURCE_DIR "/src/resources/bjx/bjx.txt", utf8));
  MSurnameOrigins o;
  o.SetText(gbk::FromUtf8(utf8));
  const std::string tag = U("【来源】");
  std::map<std::string, std::string> seen;  // origin -> surname
  for (const auto& s : MSurnameOrigins::Surnames()) {
    const std::string entry = o.Entry(s);
    const size_t at = entry.find("\r\n" + tag);
    if (at == std::string::npos) {
      ADD_FAILURE() << "no origin for " << gbk::ToUtf8(s);
      continue;
    }
    const std::string origin = entry.substr(at + 2, entry.find("\r\n", at + 2) - at - 2);
    EXPECT_GT(origin.size(), tag.size() + 20) << gbk::ToUtf8(s);
    const auto [it, fresh] = seen.emplace(origin, s);
    EXPECT_TRUE(fresh) << gbk::ToUtf8(s) << " has the origin of " << gbk::ToUtf8(it->second);
  }
}

}  // namespace
