#include "cases/Database.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "CaseStoreSupport.h"

using namespace cases_test;

namespace {

class CaseStore : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeProgramFolder(t_);
    ASSERT_TRUE(db_.Open(t_.Dir(), 0)) << db_.LastError();
  }
  int32_t AddCase(int i) {
    CaseRecord r = MakeCase(i);
    return db_.Add(r);
  }
  TempFolder t_;
  MDataBase db_;
};

// A file of `count` zeroed records, made sparse so boundary slots cost nothing to reach.
void MakeSizedStore(const TempFolder& t, int32_t count) {
  MakeProgramFolder(t);
  CaseFileHeader h{};
  h.count = count;
  h.fileCount = static_cast<int16_t>((count - 1) / 50000 + 1);
  std::string file0(reinterpret_cast<const char*>(&h), sizeof h), file1;
  for (int32_t slot = 0; slot < count; ++slot) {
    CaseRecord r{};  // the least a stored case has: its id and a month
    r.id = slot;
    r.month = 1;
    (slot < 50000 ? file0 : file1) += Bytes(r);
  }
  WriteRaw(DataPath(t, 0), file0);
  if (count > 50000) WriteRaw(DataPath(t, 1), file1);
}

}  // namespace

TEST_F(CaseStore, NewStoreHasAnEmptyHeaderAndCountsFromZero) {
  CaseFileHeader h = ReadHeader(DataPath(t_, 0));
  EXPECT_EQ(file::Size(DataPath(t_, 0)), 20);
  EXPECT_EQ(h.kind, 0);
  EXPECT_EQ(h.count, 0);
  EXPECT_EQ(h.fileCount, 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(AddCase(i), i);
  ASSERT_TRUE(db_.Delete(1, db_.Generation()));
  EXPECT_EQ(db_.GetCount(), 3);  // deleted slots still count

  struct Row {
    const char* name;
    int32_t id;
    bool found;
  };
  constexpr Row kRows[] = {{"live", 0, true},
                           {"deleted", 1, false},
                           {"last", 2, true},
                           {"id equal to count", 3, false},
                           {"negative", -1, false}};
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    CaseRecord r{};
    EXPECT_EQ(db_.Read(row.id, r), row.found);
    if (row.found) {
      CaseRecord e = MakeCase(row.id);
      e.id = row.id;
      EXPECT_EQ(Bytes(r), Bytes(e));
    }
  }
  // The record's bytes lie where the layout puts them.
  std::string raw = ReadRaw(DataPath(t_, 0));
  ASSERT_EQ(raw.size(), 20u + 3 * 1212);
  EXPECT_EQ(raw[20 + 1212 + 4], 1) << "deleted byte of slot 1";
  EXPECT_EQ(raw.substr(20 + 2 * 1212 + 5, 3), gbk::FromUtf8("\xE5\xBC\xA0") + "2");
}

TEST_F(CaseStore, ThirtiethDeletionSwitchesToReuseFromTheLowestSlot) {
  for (int i = 0; i < 40; ++i) ASSERT_EQ(AddCase(i), i);
  std::vector<int32_t> deleted;
  for (int32_t id = 38; id >= 10; --id) deleted.push_back(id);  // 29 deletions, highest first
  for (int32_t id : deleted) ASSERT_TRUE(db_.Delete(id, db_.Generation()));
  EXPECT_EQ(ReadHeader(DataPath(t_, 0)).reuseFlag, 0);
  EXPECT_EQ(AddCase(100), 40) << "29 deletions still append";

  ASSERT_TRUE(db_.Delete(3, db_.Generation()));
  CaseFileHeader h = ReadHeader(DataPath(t_, 0));
  EXPECT_EQ(h.reuseFlag, 1);
  EXPECT_EQ(h.deletedCount, 30);
  std::vector<int32_t> expected = {3};
  for (int32_t id = 10; id <= 38; ++id) expected.push_back(id);
  for (size_t k = 0; k < expected.size(); ++k) {
    SCOPED_TRACE(k);
    CaseRecord r = MakeCase(200 + static_cast<int>(k));
    ASSERT_EQ(db_.Add(r), expected[k]);
    EXPECT_EQ(r.id, expected[k]);
    EXPECT_EQ(r.deleted, 0);
  }
  EXPECT_EQ(ReadHeader(DataPath(t_, 0)).reuseFlag, 0);
  EXPECT_EQ(AddCase(300), 41) << "appending resumes";
  EXPECT_EQ(db_.GetCount(), 42);
}

TEST_F(CaseStore, DeletionsTheRecordsDoNotShowStillYieldAStoredId) {
  for (int i = 0; i < 5; ++i) AddCase(i);
  CaseFileHeader h = ReadHeader(DataPath(t_, 0));
  h.deletedCount = 4;  // as left by a slot once deleted twice
  h.reuseFlag = 1;
  PatchHeader(DataPath(t_, 0), h);
  CaseRecord r = MakeCase(9);
  ASSERT_EQ(db_.Add(r), 5);
  CaseRecord back;
  ASSERT_TRUE(db_.Read(5, back));
  EXPECT_EQ(Bytes(back), Bytes(r));
  h = ReadHeader(DataPath(t_, 0));
  EXPECT_EQ(h.deletedCount, 0);
  EXPECT_EQ(h.reuseFlag, 0);
}

TEST_F(CaseStore, WritesLiveSlotsAndRefusesWhatWouldPutCountsOutOfStep) {
  AddCase(0);
  AddCase(1);
  CaseRecord r;
  ASSERT_TRUE(db_.Read(1, r));
  SetText(r.place, gbk::FromUtf8("北京-北京"));
  r.year = -848;  // 849 BC
  ASSERT_TRUE(db_.Write(1, r, db_.Generation()));
  CaseRecord back;
  ASSERT_TRUE(db_.Read(1, back));
  EXPECT_EQ(Bytes(back), Bytes(r)) << "a live slot is rewritten as given";

  ASSERT_TRUE(db_.Delete(0, db_.Generation()));
  EXPECT_FALSE(db_.Delete(0, db_.Generation())) << "a second deletion of one slot";
  EXPECT_FALSE(db_.Delete(2, db_.Generation()));
  EXPECT_EQ(ReadHeader(DataPath(t_, 0)).deletedCount, 1);
  EXPECT_FALSE(db_.Write(2, r, db_.Generation())) << "beyond the count";
  EXPECT_FALSE(db_.Write(0, r, db_.Generation())) << "a slot deleted meanwhile";
  EXPECT_NE(db_.LastError().find(gbk::FromUtf8("已经删除")), std::string::npos);
  EXPECT_FALSE(db_.LastError().empty());
}

TEST(CaseStoreFiles, SlotsOnBothSidesOfTheFileBoundary) {
  TempFolder t;
  MakeSizedStore(t, 49999);
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0)) << db.LastError();
  CaseRecord a = MakeCase(1), b = MakeCase(2);
  ASSERT_EQ(db.Add(a), 49999);
  EXPECT_EQ(ReadRaw(DataPath(t, 0)).substr(20 + int64_t{49999} * 1212), Bytes(a));
  EXPECT_FALSE(file::Exists(DataPath(t, 1)));
  ASSERT_EQ(db.Add(b), 50000);
  EXPECT_EQ(ReadRaw(DataPath(t, 1)), Bytes(b)) << "slot 50,000 opens file 1 at offset 0";
  EXPECT_EQ(ReadHeader(DataPath(t, 0)).fileCount, 2);
  CaseRecord back;
  ASSERT_TRUE(db.Read(50000, back));
  EXPECT_EQ(Bytes(back), Bytes(b));
  std::vector<int32_t> ids;
  CaseCriteria c;
  c.nameMode = 2;
  SetText(c.name, FieldText(b.name));
  ASSERT_TRUE(db.Search(c, ids));
  EXPECT_EQ(ids, std::vector<int32_t>{50000});
}

// The tree's reading of many ids gives just what reading them one by one gives: the
// live records in the order asked, across the file boundary, without the missing ones.
TEST(CaseStoreFiles, ReadManyGivesWhatReadsOneByOneGive) {
  TempFolder t;
  MakeSizedStore(t, 49998);
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0)) << db.LastError();
  for (int i = 0; i < 4; ++i) {
    CaseRecord r = MakeCase(i);
    ASSERT_EQ(db.Add(r), 49998 + i);
  }
  ASSERT_TRUE(db.Delete(49999, db.Generation()));
  ASSERT_TRUE(db.Delete(50001, db.Generation()));
  struct Row {
    const char* name;
    std::vector<int32_t> ids;
    size_t found;
  };
  const Row kRows[] = {
      {"newest first over the boundary", {50001, 50000, 49999, 49998, 49997, 12}, 4},
      {"ascending", {0, 1, 49997, 49998, 50000}, 5},
      {"none stored", {-1, -1000, 50002, 1000000}, 0},
      {"back and forth, twice", {50000, 3, 50000, 3}, 4},
      {"empty", {}, 0},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> one, many;
    for (int32_t id : row.ids) {
      CaseRecord r{};
      if (db.Read(id, r)) one.push_back(Bytes(r));
    }
    ASSERT_TRUE(db.ReadMany(row.ids, [&many](const CaseRecord& r) { many.push_back(Bytes(r)); })) << db.LastError();
    EXPECT_EQ(many, one);
    EXPECT_EQ(many.size(), row.found);
  }
}

TEST(CaseStoreFiles, LongTextsAreCutAtACharacterBoundary) {
  std::string seven = gbk::FromUtf8("一二三四五六七");  // 14 bytes into 12
  CaseRecord r{};
  SetText(r.name, seven);
  EXPECT_EQ(FieldText(r.name), seven.substr(0, 10));
  std::memset(r.category, 'x', sizeof r.category);  // no NUL at all
  std::string pairs = gbk::FromUtf8("张张张张张张张");
  std::memcpy(r.place, pairs.data(), pairs.size());
  std::memset(r.place + 14, 0xD5, sizeof r.place - 14);  // ends in lead bytes
  TempFolder t;
  MakeProgramFolder(t);
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0));
  ASSERT_EQ(db.Add(r), 0);
  CaseRecord back;
  ASSERT_TRUE(db.Read(0, back));
  EXPECT_EQ(FieldText(back.category), std::string(14, 'x'));
  std::string place = FieldText(back.place);
  EXPECT_EQ(place.size() % 2, 0u) << "never half a character";
  EXPECT_LT(place.size(), sizeof back.place);
}

TEST_F(CaseStore, SearchMatchesEveryEnabledTest) {
  struct Stored {
    const char* nameUtf8;
    const char* category;
    uint8_t male;
    int16_t year;
    int16_t province;
  };
  const Stored kStored[] = {
      {"张三", "a", 1, 1980, 3}, {"张", "b", 0, 1990, 3}, {"李张", "ab", 1, -119, 34},
      {"王五", "a", 0, 2000, 3}, {"张", "a", 1, 1985, 1},  // deleted below
  };
  for (const Stored& s : kStored) {
    CaseRecord r{};
    SetText(r.name, gbk::FromUtf8(s.nameUtf8));
    SetText(r.category, s.category);
    SetText(r.thirdText, "third");
    r.male = s.male;
    r.year = s.year;
    r.provinceIndex = s.province;
    ASSERT_GE(db_.Add(r), 0);
  }
  // Bytes D5 C5 (张) straddle two characters here: not a match.
  CaseRecord straddle{};
  SetText(straddle.name, "\xB0\xD5\xC5\xA1");
  straddle.year = 1950;
  ASSERT_EQ(db_.Add(straddle), 5);
  ASSERT_TRUE(db_.Delete(4, db_.Generation()));

  struct Row {
    const char* name;
    CaseCriteria c;
    std::vector<int32_t> ids;
  };
  auto crit = [](auto set) {
    CaseCriteria c;
    set(c);
    return c;
  };
  std::string zhang = gbk::FromUtf8("张");
  const Row kRows[] = {
      {"everything", CaseCriteria{}, {0, 1, 2, 3, 5}},
      {"name contains", crit([&](CaseCriteria& c) { c.nameMode = 1, SetText(c.name, zhang); }), {0, 1, 2}},
      {"name equals", crit([&](CaseCriteria& c) { c.nameMode = 2, SetText(c.name, zhang); }), {1}},
      {"empty text is in every name", crit([](CaseCriteria& c) { c.nameMode = 1; }), {0, 1, 2, 3, 5}},
      {"category equals", crit([](CaseCriteria& c) { c.categoryMode = 2, SetText(c.category, "a"); }), {0, 3}},
      {"category contains", crit([](CaseCriteria& c) { c.categoryMode = 1, SetText(c.category, "a"); }), {0, 2, 3}},
      {"sex", crit([](CaseCriteria& c) { c.sexOn = 1, c.sex = 0; }), {1, 3, 5}},
      {"years inclusive", crit([](CaseCriteria& c) { c.yearOn = 1, c.yearFrom = 1980, c.yearTo = 1990; }), {0, 1}},
      {"years BC", crit([](CaseCriteria& c) { c.yearOn = 1, c.yearFrom = -200, c.yearTo = 0; }), {2}},
      {"province", crit([](CaseCriteria& c) { c.province = 34; }), {2}},
      {"all together",
       crit([&](CaseCriteria& c) { c.nameMode = 1, SetText(c.name, zhang), c.sexOn = 1, c.sex = 1, c.province = 3; }),
       {0}},
      {"third text is not searched for this kind",
       crit([](CaseCriteria& c) { c.thirdTextMode = 2, SetText(c.thirdText, "other"); }),
       {0, 1, 2, 3, 5}},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    CaseCriteria c = row.c;
    std::vector<int32_t> ids = {99};
    ASSERT_TRUE(db_.Search(c, ids)) << db_.LastError();
    EXPECT_EQ(ids, row.ids);
    EXPECT_EQ(c.thirdTextMode, 0);
  }
}

TEST(CaseStoreFiles, BadHeadersAreRefusedAndLeftAlone) {
  struct Row {
    const char* name;
    void (*damage)(CaseFileHeader&);
    int64_t cut;  // bytes to drop from the end of file 0
  };
  const Row kRows[] = {
      {"count beyond the file", [](CaseFileHeader& h) { h.count = 9; }, 0},
      {"another kind", [](CaseFileHeader& h) { h.kind = 2; }, 0},
      {"truncated record", [](CaseFileHeader&) {}, 100},
      {"shorter than a header", [](CaseFileHeader&) {}, 3 * 1212 + 10},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    TempFolder t;
    MakeProgramFolder(t);
    {
      MDataBase db;
      ASSERT_TRUE(db.Open(t.Dir(), 0));
      for (int i = 0; i < 3; ++i) {
        CaseRecord r = MakeCase(i);
        db.Add(r);
      }
    }
    CaseFileHeader h = ReadHeader(DataPath(t, 0));
    row.damage(h);
    PatchHeader(DataPath(t, 0), h);
    std::string raw = ReadRaw(DataPath(t, 0));
    raw.resize(raw.size() - static_cast<size_t>(row.cut));
    WriteRaw(DataPath(t, 0), raw);

    MDataBase db;
    EXPECT_FALSE(db.Open(t.Dir(), 0));
    EXPECT_FALSE(db.LastError().empty());
    CaseRecord r = MakeCase(5);
    EXPECT_EQ(db.Add(r), -1);
    CaseCriteria c;
    std::vector<int32_t> ids;
    EXPECT_FALSE(db.Search(c, ids));
    EXPECT_EQ(db.GetCount(), -1);
    int visited = 0;
    EXPECT_FALSE(db.ReadMany({0, 1, 2}, [&visited](const CaseRecord&) { ++visited; }));
    EXPECT_EQ(visited, 0);
    EXPECT_EQ(ReadRaw(DataPath(t, 0)), raw) << "nothing changed";
  }
}

// Counts the records themselves show are set right from them, with a word to the user.
TEST(CaseStoreFiles, HeaderCountsTheRecordsShowAreMended) {
  struct Row {
    const char* name;
    void (*damage)(CaseFileHeader&);
  };
  const Row kRows[] = {
      {"file count wrong", [](CaseFileHeader& h) { h.fileCount = 2; }},
      {"absurd file count", [](CaseFileHeader& h) { h.fileCount = 30000; }},
      {"negative count", [](CaseFileHeader& h) { h.count = -1; }},
      {"count 4 -> 0", [](CaseFileHeader& h) { h.count = 0; }},
      {"more deleted than used", [](CaseFileHeader& h) { h.deletedCount = 6; }},
      {"reuse flag not 0 or 1", [](CaseFileHeader& h) { h.reuseFlag = 7; }},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    TempFolder t;
    MakeProgramFolder(t);
    Picture before;
    {
      MDataBase db;
      ASSERT_TRUE(db.Open(t.Dir(), 0));
      for (int i = 0; i < 4; ++i) {
        CaseRecord r = MakeCase(i);
        db.Add(r);
      }
      ASSERT_TRUE(db.Delete(2, db.Generation()));
    }
    ASSERT_TRUE(TakePicture(t, before));
    CaseFileHeader h = ReadHeader(DataPath(t, 0));
    row.damage(h);
    PatchHeader(DataPath(t, 0), h);

    MDataBase db;
    ASSERT_TRUE(db.Open(t.Dir(), 0)) << db.LastError();
    EXPECT_FALSE(db.Notice().empty());
    Picture after;
    ASSERT_TRUE(TakePicture(t, after));
    EXPECT_EQ(after, before);
    CaseFileHeader mended = ReadHeader(DataPath(t, 0));
    EXPECT_EQ(mended.count, 4);
    EXPECT_EQ(mended.deletedCount, 1);
    EXPECT_EQ(mended.reuseFlag, 0);
    EXPECT_EQ(mended.fileCount, 1);
    CaseRecord r = MakeCase(9);
    EXPECT_EQ(db.Add(r), 4) << "the next case goes after the last one, overwriting none";
  }
}

TEST(CaseStoreFiles, InterruptedAppendTailIsIgnored) {
  TempFolder t;
  MakeProgramFolder(t);
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0));
  CaseRecord r = MakeCase(0);
  db.Add(r);
  std::string raw = ReadRaw(DataPath(t, 0));
  WriteRaw(DataPath(t, 0), raw + std::string(500, 'z'));  // half a record past the count
  MDataBase again;
  ASSERT_TRUE(again.Open(t.Dir(), 0)) << again.LastError();
  EXPECT_EQ(again.GetCount(), 1);
  CaseRecord next = MakeCase(1);
  ASSERT_EQ(again.Add(next), 1);
  CaseRecord back;
  ASSERT_TRUE(again.Read(1, back));
  EXPECT_EQ(Bytes(back), Bytes(next));
}

// A store in the middle of a change holds off another on the same history, as in
// another window: that one waits its bounded time, is told, and works once the first
// is done.
TEST(CaseStoreFiles, AStoreInTheMiddleOfAChangeHoldsOffAnother) {
  TempFolder t;
  MakeProgramFolder(t);
  MDataBase first, second;
  ASSERT_TRUE(first.Open(t.Dir(), 0));
  ASSERT_TRUE(second.Open(t.Dir(), 0));
  second.SetLockWait(100);
  int32_t secondId = 0;
  std::string told;
  first.SetFaultHook([&](int call) {
    if (call == 1) {
      CaseRecord r = MakeCase(2);
      secondId = second.Add(r);
      told = second.LastError();
    }
    return true;
  });
  CaseRecord r = MakeCase(1);
  EXPECT_EQ(first.Add(r), 0);
  EXPECT_EQ(secondId, -1);
  EXPECT_NE(told.find(gbk::FromUtf8("另一个窗口正在使用历史记录")), std::string::npos) << gbk::ToUtf8(told);
  first.SetFaultHook(nullptr);
  EXPECT_EQ(second.Add(r), 1);
  EXPECT_EQ(first.GetCount(), 2);
}
