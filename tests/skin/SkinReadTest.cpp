#include "skin/SkinRead.h"

#include <gtest/gtest.h>

#include "PackageBuilder.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "skin/WinConvert.h"
#include "support/TempFolder.h"

namespace {

using skintest::Bitmap;
using skintest::Content;
using skintest::Le32;

std::string Packed(const std::string& content) {
  std::string packed;
  TLZH::Compress(content, packed);
  return packed;
}

TEST(TSkinReader, FindsEntriesByOffsetAndName) {
  std::string ini(120, ';'), border = Bitmap(4, 245, 0x112233, 6);
  ASSERT_EQ(border.size(), 3000u);
  std::string content = Content(20000, {{"Skin.ini", ini}, {"Border.bmp", border}});
  TSkinReader reader;
  ASSERT_TRUE(reader.Loadfromstream(Packed(content))) << gbk::ToUtf8(reader.LastError());
  ASSERT_EQ(reader.Count(), 2);
  EXPECT_EQ(reader.Names()[0], "skin.ini");
  EXPECT_EQ(reader.Names()[1], "border.bmp");
  EXPECT_EQ(reader.Sizes(), (std::vector<int32_t>{120, 3000}));
  size_t dataAt = 16 + std::string("Skin.ini\r\nBorder.bmp\r\n").size() + 8;
  std::string entry;
  ASSERT_TRUE(reader.readfile("BORDER.BMP", entry));
  EXPECT_EQ(entry, content.substr(dataAt + 120, 3000));
  ASSERT_TRUE(reader.readfile("skin.ini", entry));
  EXPECT_EQ(entry, content.substr(dataAt, 120));
  EXPECT_FALSE(reader.readfile("border", entry));
  EXPECT_TRUE(entry.empty());
}

TEST(TSkinReader, NameListStartsWhereTheVersionSays) {
  struct Case {
    int32_t version;
    size_t listAt;
  };
  for (Case c : {Case{20000, 16}, Case{30000, 272}, Case{40000, 96}}) {
    SCOPED_TRACE(c.version);
    std::string content = Content(c.version, {{"a.ini", "[x]"}, {"b.bmp", Bitmap(2, 2)}});
    ASSERT_EQ(content.substr(c.listAt, 5), "a.ini");
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadContent(content)) << gbk::ToUtf8(reader.LastError());
    EXPECT_EQ(reader.Version(), c.version);
    std::string entry;
    EXPECT_TRUE(reader.readfile("a.ini", entry));
    EXPECT_EQ(entry, "[x]");
  }
}

TEST(TSkinReader, UnknownVersionGivesTheUpgradeMessage) {
  TSkinReader reader;
  ASSERT_TRUE(reader.LoadContent(Content(20000, {{"a.ini", "[x]"}})));
  EXPECT_FALSE(reader.LoadContent(Content(25000, {{"a.ini", "[x]"}})));
  EXPECT_EQ(reader.LastError(), gbk::FromUtf8("此文件版本不同\r请升级新版本 !"));
  EXPECT_EQ(reader.Count(), 0);
}

TEST(TSkinReader, FirstOfEqualNamesAndFirstIniWin) {
  TSkinReader reader;
  ASSERT_TRUE(reader.LoadContent(Content(20000, {{"one.INI", "1"}, {"ONE.ini", "2"}, {"two.ini", "3"}})));
  std::string entry, name = "keep";
  EXPECT_TRUE(reader.readfile("One.Ini", entry));
  EXPECT_EQ(entry, "1");
  EXPECT_TRUE(reader.readIni("two", entry, name));
  EXPECT_EQ(entry, "3");
  EXPECT_EQ(name, "two.ini");
  EXPECT_FALSE(reader.readIni(".bmp", entry, name));
  EXPECT_TRUE(entry.empty());
  EXPECT_EQ(name, "two.ini") << "the name is left alone";
}

// Each row breaks one thing a package must get right; the reader must refuse it whole.
TEST(TSkinReader, RefusesDamagedPackagesAndKeepsNothing) {
  std::string good = Content(20000, {{"a.ini", "[x]"}, {"b.bmp", Bitmap(3, 3)}});
  auto with = [](std::string s, size_t at, const std::string& bytes) { return s.replace(at, bytes.size(), bytes); };
  std::string names = "a.ini\r\nb.bmp\r\n";
  size_t tableAt = 16 + names.size();
  std::string badBitmap = Bitmap(3, 3);
  badBitmap[28] = 7;  // bit count
  std::string shortBitmap = Bitmap(3, 3).substr(0, 80);
  std::string manyNames;
  for (int i = 0; i < 1002; ++i) manyNames += "e.ini\r\n";
  struct Case {
    const char* name;
    std::string content;
  };
  const Case cases[] = {
      {"shorter than the header", good.substr(0, 15)},
      {"name list beyond the data", with(good, 4, Le32(5000))},
      {"negative name list length", with(good, 4, Le32(0xFFFFFFFFu))},
      {"size table cut off", good.substr(0, tableAt + 6)},
      {"negative entry size", with(good, tableAt, Le32(0x80000000u))},
      {"entries beyond the data", with(good, tableAt, Le32(1000))},
      {"sizes that overflow 32 bits together",
       with(with(good, tableAt, Le32(0x7FFFFFFF)), tableAt + 4, Le32(0x7FFFFFFF))},
      {"more entries than the table holds", Le32(20000) + Le32(static_cast<uint32_t>(manyNames.size())) + Le32(0) +
                                                Le32(0) + manyNames + std::string(4 * 1002, '\0')},
      {"empty name", Content(20000, {{"a.ini", "x"}, {"", "y"}})},
      {"control byte in a name", Content(20000, {{"a\x01.ini", "x"}})},
      {"bitmap with a bad bit count", Content(20000, {{"b.bmp", badBitmap}})},
      {"bitmap whose pixels are cut off", Content(20000, {{"b.bmp", shortBitmap}})},
      {"bitmap entry that is not a bitmap", Content(20000, {{"b.bmp", "not a bitmap at all, really not"}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadContent(good));
    EXPECT_FALSE(reader.LoadContent(c.content));
    EXPECT_EQ(reader.Count(), 0);
    EXPECT_FALSE(reader.LastError().empty());
    std::string entry;
    EXPECT_FALSE(reader.readfile("a.ini", entry));
  }
}

TEST(TSkinReader, ChecksBitmapHeaders) {
  std::string topDown = Bitmap(5, 2);
  topDown.replace(22, 4, Le32(static_cast<uint32_t>(-2)));
  std::string core = "BM" + Le32(0) + Le32(0) + Le32(26) + Le32(12) + skintest::Le16(2) + skintest::Le16(1) +
                     skintest::Le16(1) + skintest::Le16(24) + std::string(8, '\0');
  std::string zeroWidth = Bitmap(5, 2);
  zeroWidth.replace(18, 4, Le32(0));
  std::string hugeHeight = Bitmap(5, 2);
  hugeHeight.replace(22, 4, Le32(0x7FFFFFFF));
  std::string bitsPastEnd = Bitmap(5, 2);
  bitsPastEnd.replace(10, 4, Le32(5000));
  struct Case {
    const char* name;
    std::string bmp;
    bool sound;
  };
  const Case cases[] = {
      {"bottom-up", Bitmap(5, 2), true},
      {"top-down", topDown, true},
      {"core header", core, true},
      {"zero width", zeroWidth, false},
      {"huge height", hugeHeight, false},
      {"pixels past the end", bitsPastEnd, false},
      {"header only", Bitmap(5, 2).substr(0, 54), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsSoundBitmap(c.bmp), c.sound);
  }
}

// Run-length bitmaps carry no pixel array to measure, so their stated size is what is
// checked: each side against a cap, all of a package against a budget of decoded bytes.
TEST(TSkinReader, BitmapSizesAreBoundedBeforeAnythingIsDecoded) {
  auto rle8 = [](uint32_t w, uint32_t h) {
    std::string b = Bitmap(5, 2);
    b.replace(18, 4, Le32(w));
    b.replace(22, 4, Le32(h));
    b.replace(28, 2, skintest::Le16(8));
    b.replace(30, 4, Le32(1));
    return b + std::string(2, '\0') + std::string("\0\1", 2);  // end of bitmap
  };
  EXPECT_TRUE(IsSoundBitmap(rle8(4096, 4096)));
  EXPECT_EQ(DecodedBitmapBytes(rle8(4096, 4096)), int64_t{4096} * 4096 * 4);
  EXPECT_FALSE(IsSoundBitmap(rle8(4097, 16)));
  EXPECT_FALSE(IsSoundBitmap(rle8(16384, 16384)));

  struct Case {
    const char* name;
    int count;
    uint32_t side;
    bool loads;
  };
  const Case cases[] = {{"40 stating 16384 x 16384", 40, 16384, false},
                        {"40 stating 4096 x 4096: 2.5 GB decoded", 40, 4096, false},
                        {"3 stating 4096 x 4096: within the budget", 3, 4096, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<skintest::Entry> entries;
    for (int i = 0; i < c.count; ++i) entries.push_back({"b" + std::to_string(i) + ".bmp", rle8(c.side, c.side)});
    TSkinReader reader;
    EXPECT_EQ(reader.Loadfromstream(Packed(Content(40000, entries))), c.loads) << gbk::ToUtf8(reader.LastError());
    if (!c.loads) {
      EXPECT_EQ(reader.Count(), 0);
      EXPECT_EQ(reader.LastError().find(gbk::FromUtf8("皮肤文件已损坏")), 0u);
    }
  }
}

TEST(TSkinReader, LoadsFromFile) {
  TempFolder dir;
  TSkinReader reader;
  EXPECT_FALSE(reader.loadfromfile(dir.Path("none.skn")));
  ASSERT_TRUE(file::WriteAtomic(dir.Path("s.skn"), Packed(Content(40000, {{"s.ini", "[a]"}}))));
  ASSERT_TRUE(reader.loadfromfile(dir.Path("s.skn"))) << gbk::ToUtf8(reader.LastError());
  EXPECT_EQ(reader.Count(), 1);
  ASSERT_TRUE(file::WriteAtomic(dir.Path("bad.skn"), "\x10\x00"));
  EXPECT_FALSE(reader.loadfromfile(dir.Path("bad.skn")));
}

}  // namespace
