#include "engine/Records.h"

#include <gtest/gtest.h>

#include "classlib/Files.h"
#include "support/TempFolder.h"

namespace {

struct SettingsCase {
  const char* name;
  const char* ini;  // nullptr: no file at all
  AnalysisSettings want;
};

AnalysisSettings With(void (*f)(AnalysisSettings&)) {
  AnalysisSettings s;
  f(s);
  return s;
}

TEST(Records, SettingsFromSetIni) {
  const SettingsCase kCases[] = {
      {"no file", nullptr, AnalysisSettings{}},
      {"no section set", "[other]\r\niDate=2\r\nbiange=0\r\n", AnalysisSettings{}},
      {"every key",
       "[set]\r\niDate=1\r\ncongGe=1\r\nileft=-40\r\nsave=1\r\nzishi=1\r\nscore=1\r\nbiange=0\r\n"
       "endinfo=1\r\niwordlen=1\r\n",
       With([](AnalysisSettings& s) {
         s.iDate = 1, s.congGe = s.save = s.zishi = s.score = s.endinfo = s.iwordlen = 1, s.biange = 0;
         s.ileft = -40;
       })},
      {"out of range is the default", "[set]\r\niDate=258\r\niwordlen=-1\r\n", AnalysisSettings{}},
      {"not a number is the default", "[set]\r\niDate=x\r\nbiange=x\r\n", AnalysisSettings{}},
  };
  for (const SettingsCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TempFolder tmp;
    if (c.ini) {
      ASSERT_TRUE(file::ForceDirectories(tmp.Path("dat")));
      ASSERT_TRUE(file::WriteAtomic(tmp.Path("dat\\set.ini"), c.ini));
    }
    AnalysisSettings s = ReadAnalysisSettings(tmp.Dir());
    EXPECT_EQ(s.iDate, c.want.iDate);
    EXPECT_EQ(s.congGe, c.want.congGe);
    EXPECT_EQ(s.ileft, c.want.ileft);
    EXPECT_EQ(s.save, c.want.save);
    EXPECT_EQ(s.zishi, c.want.zishi);
    EXPECT_EQ(s.score, c.want.score);
    EXPECT_EQ(s.biange, c.want.biange);
    EXPECT_EQ(s.endinfo, c.want.endinfo);
    EXPECT_EQ(s.iwordlen, c.want.iwordlen);
  }
}

}  // namespace
