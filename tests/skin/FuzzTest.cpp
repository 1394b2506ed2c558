// Bounded random mutation of packages, streams and INI texts: whatever the damage, the
// decoder and the reader must neither crash nor touch memory outside their buffers (the
// sanitizer build checks that), and what they accept must be consistent.
#include <gtest/gtest.h>

#include <random>

#include "PackageBuilder.h"
#include "skin/SkinRead.h"
#include "skin/WinConvert.h"
#include "skin/WinSkinIni.h"

namespace {

constexpr int kRounds = 3000;

constexpr char kSampleIni[] = "[Personality]\r\nTop=top.bmp\r\nTopFrame=2\r\n[Colours]\r\nButtonFace=200 200 200\r\n";

const std::string& SampleContent() {
  static const std::string content = skintest::Content(20000, {{"Skin.ini", kSampleIni},
                                                               {"top.bmp", skintest::Bitmap(12, 8, 0xFF00FF)},
                                                               {"left.bmp", skintest::Bitmap(3, 20, 0x808080)}});
  return content;
}

// Flips, overwrites, cuts or grows the bytes at random places.
std::string Mutate(std::string s, std::mt19937& g) {
  int edits = 1 + static_cast<int>(g() % 4);
  for (int e = 0; e < edits; ++e) {
    size_t at = s.empty() ? 0 : g() % s.size();
    switch (g() % 5) {
      case 0:
        if (!s.empty()) s[at] = static_cast<char>(s[at] ^ (1 << (g() % 8)));
        break;
      case 1:
        if (!s.empty()) s[at] = static_cast<char>(g());
        break;
      case 2:
        s.resize(at);
        break;
      case 3:
        s.insert(at, std::string(1 + g() % 8, static_cast<char>(g())));
        break;
      default:  // a 32-bit field at random, often small and often huge
        if (s.size() >= at + 4) s.replace(at, 4, skintest::Le32(g() % 2 ? g() % 64 : g()));
        break;
    }
  }
  return s;
}

void ExpectConsistent(const TSkinReader& reader) {
  ASSERT_EQ(static_cast<size_t>(reader.Count()), reader.Sizes().size());
  for (int i = 0; i < reader.Count(); ++i) {
    std::string entry;
    EXPECT_TRUE(reader.readfile(reader.Names()[i], entry));
  }
}

TEST(Fuzz, DecoderSurvivesDamagedStreams) {
  std::string packed;
  TLZH::Compress(SampleContent(), packed);
  std::mt19937 g(20000);
  for (int round = 0; round < kRounds; ++round) {
    std::string stream = Mutate(packed, g);
    std::string out;
    TLZH lzh;
    if (lzh.Decompress(stream, out)) {
      ASSERT_GE(stream.size(), 4u);
      uint32_t stated = 0;
      for (int i = 0; i < 4; ++i) stated |= static_cast<uint32_t>(static_cast<uint8_t>(stream[i])) << (8 * i);
      ASSERT_EQ(out.size(), stated) << "round " << round;
    }
    TSkinReader reader;
    if (reader.Loadfromstream(stream)) ExpectConsistent(reader);
  }
}

TEST(Fuzz, ReaderSurvivesDamagedContent) {
  std::mt19937 g(30000);
  for (int round = 0; round < kRounds; ++round) {
    // Most damage goes to the header, the names and the size table, where the checks are.
    std::string content = SampleContent();
    std::string head = Mutate(content.substr(0, 120), g);
    content = head + content.substr(120);
    if (g() % 4 == 0) content = Mutate(content, g);
    TSkinReader reader;
    if (reader.LoadContent(content)) {
      SCOPED_TRACE(round);
      ExpectConsistent(reader);
    } else {
      EXPECT_EQ(reader.Count(), 0);
    }
  }
}

TEST(Fuzz, QuickIniSurvivesDamagedText) {
  std::mt19937 g(40000);
  const std::string text = kSampleIni;
  for (int round = 0; round < kRounds; ++round) {
    TQuickIni ini;
    ini.LoadFromStream(Mutate(text, g));
    ini.ReadInteger("personality", "topframe", 1);
    ini.WriteString("Colours", "Menu", "1 2 3");
    ini.EraseSection("personality");
    for (const TQuickIni::SectionEntry& e : ini.Sections()) {
      ASSERT_LT(e.line, ini.Lines().Count());
      ASSERT_EQ(ini.Lines()[e.line], e.header) << "round " << round;
    }
  }
}

}  // namespace
