// A dictionary file replaced behind the object's back (damaged, sound, cut short, another
// dictionary), between and during look-ups: every operation ends, reads the file a bounded
// number of times, and answers from the file as it now is once it is sound again.
#include <cstdio>

#include "DictFixture.h"
#include "classlib/StrUtils.h"

namespace {

constexpr int kChars = 3000;

// The n-th character of GBK's first level (n from 0).
std::string NthChar(int n) { return {static_cast<char>(0xB0 + n / 94), static_cast<char>(0xA1 + n % 94)}; }

std::string Marker(int id) { return Format("zzmark%dzz", id); }

class NameLibraryReplaceTest : public DictFixture {
 protected:
  void SetUp() override {
    std::vector<CharRecord> recs;
    for (int i = 0; i < kChars; ++i) {
      CharRecord r = MakeRecord("李", 1 + i % 30, 1 + i % 30);
      r.word = NthChar(i);
      // Long texts: the table spans many pages, so one damaged page leaves the rest readable.
      r.nameExp = Marker(i + 1) + std::string(300, 'n');
      recs.push_back(r);
    }
    BuildBatched("ChiWord.db", recs, NthChar(0));
    path = tmp.Path("dat\\ChiWord.db");
    ASSERT_TRUE(file::ReadAll(path, sound));
    damaged = sound;
    // The page holding a late record gets a page type no b-tree page has: the schema and
    // the extra table still read, the full read of the records stops there.
    const size_t pageSize = (static_cast<unsigned char>(sound[16]) << 8) | static_cast<unsigned char>(sound[17]);
    const size_t at = sound.find(Marker(kChars - 100));
    ASSERT_NE(at, std::string::npos);
    damaged[at / pageSize * pageSize] = 0x01;
  }

  // Another program puts `data` where the file was: a new file moved over it, or the
  // old one overwritten in place.
  void Replace(const std::string& data, bool inPlace) {
    if (!inPlace) {
      ASSERT_TRUE(file::WriteAtomic(path, data)) << file::LastErrorText();
      return;
    }
    std::FILE* f = file::Open(path, "wb");
    ASSERT_TRUE(f) << file::LastErrorText();
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }

  // Looks up every character: how many were found, and how many statements it took.
  static std::pair<int, int64_t> LookUpAll(MNameLibrary& lib, bool batch) {
    const int64_t before = lib.Statements();
    int found = 0;
    for (int i = 0; i < kChars; ++i) {
      CharRecord r;
      found += batch ? lib.GetCharInfoBatch(NthChar(i), r) : lib.GetCharInfo(NthChar(i), r);
    }
    return {found, lib.Statements() - before};
  }

  std::string path, sound, damaged;
};

// A damaged table is read once per operation, not once per look-up: with some thousand
// look-ups a read per look-up keeps the program busy for minutes.
TEST_F(NameLibraryReplaceTest, DamagedRecordsAreReadOncePerOperation) {
  Replace(damaged, false);
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0)) << lib.LastError();
  auto [found, statements] = LookUpAll(lib, false);
  EXPECT_EQ(found, 0);
  EXPECT_EQ(statements, 1);
  EXPECT_FALSE(lib.LastError().empty());
  ASSERT_TRUE(lib.BeginBatch());
  std::tie(found, statements) = LookUpAll(lib, true);
  lib.EndBatch();
  EXPECT_EQ(found, 0);
  EXPECT_EQ(statements, 1);  // the next operation tries the file once again

  // The sound copy put back: the next operation reads it whole.
  Replace(sound, false);
  ASSERT_TRUE(lib.Open(0)) << lib.LastError();
  std::tie(found, statements) = LookUpAll(lib, false);
  EXPECT_EQ(found, kChars);
  EXPECT_EQ(statements, 1);
}

// Each way of replacing the file, between operations and in the middle of one: every
// operation ends within a bounded number of reads, and once the sound file is back the
// next operation gives every character.
TEST_F(NameLibraryReplaceTest, EveryReplacementEndsAndRecovers) {
  std::string truncated = sound.substr(0, sound.size() / 2);
  std::string other;
  {
    TempFolder t;
    file::ForceDirectories(t.Path("dat"));
    MChineseDict b(t.Dir());
    ASSERT_TRUE(b.CreateOrOpen(t.Path("dat\\ChiWord.db")));
    ASSERT_TRUE(b.InsertRecord(MakeRecord("明", 8, 8)));
    ASSERT_TRUE(b.UpdateExtraStrings(U("明"), U("木"), U("明")));
    ASSERT_TRUE(file::ReadAll(t.Path("dat\\ChiWord.db"), other));
  }
  struct Case {
    const char* name;
    const std::string* first;  // what the file becomes
    int firstFound;            // characters found after it
  };
  const Case cases[] = {{"damaged", &damaged, 0},
                        {"cut to half", &truncated, 0},
                        {"another dictionary", &other, 1},  // its one character, 明
                        {"sound", &sound, kChars}};
  for (bool inPlace : {false, true}) {
    for (bool during : {false, true}) {
      for (const Case& c : cases) {
#ifdef _WIN32
        if (during && !inPlace) continue;  // Windows moves nothing over a file that is open
#endif
        SCOPED_TRACE(std::string(c.name) + (inPlace ? ", in place" : ", moved over") +
                     (during ? ", during a batch" : ", between operations"));
        Replace(sound, false);
        MNameLibrary lib(tmp.Dir());
        ASSERT_TRUE(lib.Open(0)) << lib.LastError();
        int found = 0;
        int64_t statements = 0;
        if (during) {
          // Replaced after the batch began but before its first look-up read the records.
          ASSERT_TRUE(lib.BeginBatch());
          Replace(*c.first, inPlace);
          std::tie(found, statements) = LookUpAll(lib, true);
          lib.EndBatch();
          EXPECT_LE(statements, 1);
        } else {
          Replace(*c.first, inPlace);
          if (lib.Open(0)) {
            std::tie(found, statements) = LookUpAll(lib, false);
            EXPECT_LE(statements, 1);
          }
          EXPECT_EQ(found, c.firstFound);
        }
        // Once more the other way, then the sound file back.
        Replace(*c.first == sound ? damaged : sound, inPlace);
        if (lib.Open(0)) {
          EXPECT_LE(LookUpAll(lib, false).second, 1);
        }
        Replace(sound, inPlace);
        ASSERT_TRUE(lib.Open(0)) << lib.LastError();
        auto [after, reads] = LookUpAll(lib, false);
        EXPECT_EQ(after, kChars);
        EXPECT_LE(reads, 1);
      }
    }
  }
}

// Stroke groups of a damaged group table: one read per operation too.
TEST_F(NameLibraryReplaceTest, DamagedGroupsAreReadOncePerOperation) {
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  ASSERT_TRUE(lib.RebuildGroups()) << lib.LastError();
  ASSERT_TRUE(file::ReadAll(path, sound));
  // The groups' rows hold the characters of each count: break the page of the first one.
  std::string broken = sound;
  const size_t pageSize = (static_cast<unsigned char>(sound[16]) << 8) | static_cast<unsigned char>(sound[17]);
  std::string utf8 = gbk::ToUtf8(NthChar(0) + NthChar(30));
  const size_t at = sound.rfind(utf8);
  ASSERT_NE(at, std::string::npos);
  broken[at / pageSize * pageSize] = 0x01;
  Replace(broken, false);
  ASSERT_TRUE(lib.Open(0)) << lib.LastError();
  const int64_t before = lib.Statements();
  for (int i = 0; i < 1000; ++i) {
    std::vector<int> strokes;
    TStringList groups;
    lib.LoadStrokeGroups(1 + i % 4, strokes, groups);
  }
  EXPECT_LE(lib.Statements() - before, 1);
}

}  // namespace
