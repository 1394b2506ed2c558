#include <gtest/gtest.h>

#include "PackageBuilder.h"
#include "SknPack.h"
#include "classlib/Files.h"
#include "skin/SkinRead.h"
#include "support/TempFolder.h"

namespace {

TEST(SkinPacker, PacksTheIniFirstAndReadsBack) {
  TempFolder dir;
  std::string a = skintest::Bitmap(3, 2, 0x010203), b = skintest::Bitmap(2, 5, 0xFF00FF);
  ASSERT_TRUE(file::WriteAtomic(dir.Path("zeta.bmp"), a));
  ASSERT_TRUE(file::WriteAtomic(dir.Path("Alpha.bmp"), b));
  ASSERT_TRUE(file::WriteAtomic(dir.Path("skin.ini"), "[Personality]\r\nTop=zeta.bmp\r\n"));
  std::vector<skn::Entry> entries;
  std::string error;
  ASSERT_TRUE(skn::ReadFolder(dir.Dir(), entries, error)) << error;
  ASSERT_TRUE(skn::WritePackage(dir.Path("s.skn"), entries, error)) << error;
  TSkinReader reader;
  ASSERT_TRUE(reader.loadfromfile(dir.Path("s.skn")));
  ASSERT_EQ(reader.Names().Text(), "skin.ini\r\nalpha.bmp\r\nzeta.bmp\r\n");
  std::string bytes;
  EXPECT_TRUE(reader.readfile("ZETA.bmp", bytes));
  EXPECT_EQ(bytes, a);
  EXPECT_TRUE(reader.readfile("alpha.bmp", bytes));
  EXPECT_EQ(bytes, b);
}

TEST(SkinPacker, RefusesUnsuitableFolders) {
  struct Case {
    const char* name;
    std::vector<skintest::Entry> files;
  };
  const Case cases[] = {
      {"no description", {{"a.bmp", skintest::Bitmap(2, 2)}}},
      {"two descriptions", {{"a.ini", "[a]"}, {"b.ini", "[b]"}}},
      {"a bitmap that is none", {{"a.ini", "[a]"}, {"b.bmp", "BM but not really"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    for (const skintest::Entry& f : c.files) ASSERT_TRUE(file::WriteAtomic(dir.Path(f.name), f.bytes));
    std::vector<skn::Entry> entries;
    std::string error;
    EXPECT_FALSE(skn::ReadFolder(dir.Dir(), entries, error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(SkinPacker, ExtractsOnlyPlainFileNames) {
  struct Case {
    const char* name;
    bool safe;
  };
  for (Case c : {Case{"skin.ini", true}, Case{"a b.bmp", true}, Case{"..", false}, Case{".", false},
                 Case{"..\\evil.bmp", false}, Case{"dir/x.bmp", false}, Case{"c:x.bmp", false}, Case{"", false}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(skn::SafeFileName(c.name), c.safe);
  }
}

}  // namespace
