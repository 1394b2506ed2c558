// The analyser and the name generator over the generated dictionary: the report explains
// a character in Chinese, and a boy's naming run offers boys' characters of good meaning.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "engine/Decname.h"
#include "engine/SearchnameScenarios.h"

namespace {

bool HasLatin(const std::string& gbkText) {
  for (char16_t c : gbk::ToUtf16(gbkText)) {
    if (c < 0x80 || (c >= 0xC0 && c <= 0x24F) || (c >= 0xFF21 && c <= 0xFF5A)) return true;
  }
  return false;
}

class NullPump : public MessagePump {
 public:
  void Pump() override {}
};

class GeneratedNaming : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!file::Exists(gbk::FromUtf8(TORVIK_PROGRAM_DIR) + "/dat/ChiWord.db")) GTEST_SKIP() << "no dictionary data";
  }
  MNameLibrary lib{TORVIK_PROGRAM_DIR "/"};
};

TEST_F(GeneratedNaming, TheReportExplainsTheSurnameInChinese) {
  BirthRecord b;
  const std::string n = gbk::U("李四一"), p = gbk::U("未知地。");
  std::memcpy(b.name, n.data(), n.size());
  std::memcpy(b.place, p.data(), p.size());
  b.year = 2000, b.month = 1, b.day = 1, b.hour = 12;
  MDecName a(lib);
  ASSERT_TRUE(a.Analyse(b)) << gbk::ToUtf8(a.LastError());
  const std::string report = a.ReportText();
  const std::string head = gbk::U("【李】7画，字意：");
  size_t at = report.find(head);
  ASSERT_NE(at, std::string::npos) << gbk::ToUtf8(report);
  std::string line = report.substr(at + head.size(), report.find('\n', at) - at - head.size());
  std::printf("%s%s\n", gbk::ToUtf8(head).c_str(), gbk::ToUtf8(line).c_str());
  const std::string wood = gbk::U("（木）");
  ASSERT_GT(line.size(), wood.size());
  EXPECT_EQ(line.substr(line.size() - wood.size()), wood);
  const std::string meaning = line.substr(0, line.size() - wood.size());
  EXPECT_FALSE(HasLatin(meaning)) << gbk::ToUtf8(meaning);
  EXPECT_GE(gbk::ToUtf16(meaning).size(), 4u);
}

// 李, two given characters, male, wood and fire, auspicious characters only.
TEST_F(GeneratedNaming, ABoysRunOffersBoysCharactersOfGoodMeaning) {
  for (int library : {0, 1}) {
    SCOPED_TRACE(library ? "quick" : "full");
    NullPump pump;
    MSearchName gen(lib, &pump);
    scenarios::SetChart(gen);
    NamingConditions c = scenarios::Typical(0);
    c.library = static_cast<uint8_t>(library);
    gen.SetConditions(c);
    ASSERT_TRUE(gen.Generate(nullptr)) << gbk::ToUtf8(gen.LastError());
    ASSERT_GT(gen.Count(), 100u);
    std::string first;
    for (size_t i = 0; i < gen.Count(); ++i) {
      const std::string name = gen.Candidate(i).name;
      if (i < 30) first += gbk::ToUtf8(name) + " ";
      for (size_t k = 2; k < name.size(); k += 2) {
        CharRecord r;
        ASSERT_TRUE(lib.GetCharInfo(name.substr(k, 2), r));
        ASSERT_EQ(r.useSex, 1) << gbk::ToUtf8(name);
        ASSERT_EQ(r.jx, 0) << gbk::ToUtf8(name);
        ASSERT_TRUE(r.wx == 1 || r.wx == 2) << gbk::ToUtf8(name);
      }
      if (i >= 2000) break;  // the look-ups are slow one by one; the first names are those shown
    }
    std::printf("%s: %zu names; first 30: %s\n", library ? "quick" : "full", gen.Count(), first.c_str());
  }
}

}  // namespace
