// The analyser and the name generator over the generated dictionary: the report explains
// a character in Chinese, a boy's naming run offers boys' characters of good meaning, and
// among names of equal score the characters common in names come first.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "CharData.h"

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

// The typical runs a user starts: 李 for a boy and 王 for a girl, two given characters,
// wood and fire, 吉 characters only, 常用字, under the best and the preferred formula, in
// both dictionaries. Each prints its first 50 names. Names of one stroke combination and
// one score come in generation order, which follows the dictionary's ids: in both files the
// tier of the character that differs never falls back (a character without reviewed data
// counts after all tiers).
TEST_F(GeneratedNaming, TypicalRunsOfferNamesCommonInNamesFirst) {
  chardata::Table tiers;
  std::vector<std::string> faults;
  ASSERT_TRUE(chardata::ReadFolder(TORVIK_SOURCE_DIR "/gen/dictionary/chars", tiers, faults));
  ASSERT_TRUE(chardata::ReadFolder(TORVIK_SOURCE_DIR "/gen/dictionary/chars/full", tiers, faults));
  ASSERT_TRUE(faults.empty()) << faults.front();
  auto rank = [&tiers](const std::string& ch) {
    auto t = tiers.find(ch);
    return t == tiers.end() ? chardata::kRare + 1 : t->second.tier;
  };
  struct Scenario {
    const char* surname;
    int sex;
  };
  for (const Scenario& sc : {Scenario{"李", 1}, Scenario{"王", 2}}) {
    for (int formula : {0, 1}) {
      for (int library : {1, 0}) {
        SCOPED_TRACE(std::string(sc.surname) + " formula " + std::to_string(formula) + " library " +
                     std::to_string(library));
        NullPump pump;
        MSearchName gen(lib, &pump);
        scenarios::SetChart(gen);
        NamingConditions c = scenarios::Typical(formula);
        std::strcpy(c.surname, gbk::U(sc.surname).c_str());
        c.sex = static_cast<uint8_t>(sc.sex);
        c.library = static_cast<uint8_t>(library);
        gen.SetConditions(c);
        ASSERT_TRUE(gen.Generate(nullptr)) << gbk::ToUtf8(gen.LastError());
        ASSERT_GT(gen.Count(), 50u);
        size_t ties = 0;
        while (ties < gen.Count() && gen.Candidate(ties).score == gen.Candidate(0).score) ++ties;
        std::string first;
        for (size_t i = 0; i < 50; ++i) first += gbk::ToUtf8(gen.Candidate(i).name) + (i % 10 == 9 ? "\n  " : " ");
        std::printf("%s %s %s %s: %zu names, %zu at the top score %d; first 50:\n  %s\n", sc.surname,
                    sc.sex == 1 ? "boy" : "girl", formula ? "优选" : "最佳", library ? "quick" : "full", gen.Count(),
                    ties, gen.Candidate(0).score, first.c_str());
        int fallbacks = 0;
        for (size_t i = 0; i + 1 < gen.Count(); ++i) {
          const CandidateRecord& a = gen.Candidate(i);
          const CandidateRecord& b = gen.Candidate(i + 1);
          if (a.score != b.score || std::memcmp(a.strokes, b.strokes, sizeof a.strokes) != 0) continue;
          // The first given characters in the outer loop, the second ones inside it.
          const size_t at = std::memcmp(a.name + 2, b.name + 2, 2) == 0 ? 4 : 2;
          if (rank(std::string(a.name + at, 2)) > rank(std::string(b.name + at, 2)) && ++fallbacks <= 5) {
            ADD_FAILURE() << gbk::ToUtf8(a.name) << " before " << gbk::ToUtf8(b.name);
          }
        }
        EXPECT_EQ(fallbacks, 0);
      }
    }
  }
}

}  // namespace
