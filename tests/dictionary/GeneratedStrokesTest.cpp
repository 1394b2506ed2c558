// Every character of both generated files against the stroke rule of gen/dictionary/README.md,
// worked out here from the Unihan data on its own: the form names use, its full radical
// (the strokes of the radical's own character) and its Kangxi residual strokes.
#include <sstream>

#include "CharData.h"
#include "DictFixture.h"
#include "UnihanFields.h"

namespace {

std::vector<std::string> Words(const std::string& value) {
  std::istringstream in(value);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

uint32_t CodePoint(const std::string& uPlus) { return static_cast<uint32_t>(std::stoul(uPlus.substr(2), nullptr, 16)); }

class GeneratedStrokes : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!file::Exists(gbk::FromUtf8(TORVIK_PROGRAM_DIR) + "/dat/ChiWordMini.db")) GTEST_SKIP() << "no dictionary data";
    std::vector<std::string> faults;
    ASSERT_TRUE(chardata::ReadForms(TORVIK_SOURCE_DIR "/gen/dictionary/forms.tsv", forms, faults));
    ASSERT_TRUE(chardata::ReadStrokeFixes(TORVIK_SOURCE_DIR "/gen/dictionary/kangxi-fix.txt", fixes, faults));
    ASSERT_TRUE(faults.empty()) << faults.front();
    kangxi = UnihanField("RadicalStrokeCounts", "kRSKangXi");
    unicodeRs = UnihanField("IRGSources", "kRSUnicode");
    total = UnihanField("IRGSources", "kTotalStrokes");
    traditional = UnihanField("Variants", "kTraditionalVariant");
    std::ifstream in("/usr/share/unicode/CJKRadicals.txt");
    for (std::string line; std::getline(in, line);) {
      std::istringstream f(line);
      std::string number, radical, ideograph;
      if (line.empty() || line[0] == '#' || line.find('\'') != std::string::npos) continue;
      if (std::getline(f, number, ';') && std::getline(f, radical, ';') && f >> ideograph) {
        radicalChar[std::stoi(number)] = static_cast<uint32_t>(std::stoul(ideograph, nullptr, 16));
      }
    }
    ASSERT_EQ(radicalChar.size(), 214u);
  }
  uint32_t Form(uint32_t cp) {
    if (auto f = forms.find(cp); f != forms.end()) return f->second;
    std::vector<std::string> list = Words(traditional[cp]);
    for (const std::string& t : list) {
      if (CodePoint(t) == cp) return cp;
    }
    return list.empty() ? cp : CodePoint(list[0]);
  }
  int Strokes(uint32_t cp, bool last) {
    std::vector<std::string> v = Words(total[cp]);
    return v.empty() ? 0 : std::stoi(last ? v.back() : v.front());
  }
  int Rule(uint32_t cp) {
    const std::u16string numerals = u"一二三四五六七八九十";
    if (size_t n = numerals.find(static_cast<char16_t>(cp)); n != std::u16string::npos) return static_cast<int>(n) + 1;
    uint32_t form = Form(cp);
    std::string rs = kangxi[form];
    for (const std::string& v : Words(unicodeRs[form])) {
      if (rs.empty() && v.find('\'') == std::string::npos) rs = v;
    }
    return RadicalStrokes(std::stoi(rs)) + std::stoi(rs.substr(rs.find('.') + 1));
  }
  // The strokes of the radical's own character; the Kangxi dictionary wrote these seven
  // in older forms of other counts (廴 3, 瓦 5, 禸 5, 骨 10, 鬼 10, 鼎 13, 龜 16).
  int RadicalStrokes(int number) {
    const std::map<int, int> kOlderForms = {{54, 3}, {98, 5}, {114, 5}, {188, 10}, {194, 10}, {206, 13}, {213, 16}};
    auto older = kOlderForms.find(number);
    return older != kOlderForms.end() ? older->second : Strokes(radicalChar[number], false);
  }
  chardata::Forms forms;
  chardata::StrokeFixes fixes;
  std::map<uint32_t, std::string> kangxi, unicodeRs, total, traditional;
  std::map<int, uint32_t> radicalChar;
};

TEST_F(GeneratedStrokes, EveryCharacterCountsItsChosenFormByTheRule) {
  for (const auto& [cp, count] : fixes) {
    EXPECT_NE(count, Rule(cp)) << Utf8Of(cp) << ": an exception the rule already gives";
  }
  for (const char* name : {"ChiWord.db", "ChiWordMini.db"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string(TORVIK_PROGRAM_DIR) + "/dat/" + name;
    std::vector<std::string> rows =
        Column(path, "select word || ' ' || kxLen || ' ' || big5Len || ' ' || gbLen from word_dict order by id");
    ASSERT_GT(rows.size(), 7000u);
    int faults = 0;
    for (const std::string& row : rows) {
      std::istringstream f(row);
      std::string word;
      int kx = 0, big5 = 0, gb = 0;
      f >> word >> kx >> big5 >> gb;
      const uint32_t cp = gbk::ToUtf16(gbk::FromUtf8(word)).at(0);
      auto fix = fixes.find(cp);
      const int expected = fix != fixes.end() ? fix->second : Rule(cp);
      const bool sound = kx == expected && big5 == Strokes(Form(cp), true) && gb == Strokes(cp, false);
      if (!sound && ++faults <= 10) {
        ADD_FAILURE() << word << ": kxLen " << kx << " big5Len " << big5 << " gbLen " << gb << ", the rule gives "
                      << expected << " " << Strokes(Form(cp), true) << " " << Strokes(cp, false) << " (form "
                      << Utf8Of(Form(cp)) << ")";
      }
    }
    EXPECT_EQ(faults, 0);
  }
}

}  // namespace
