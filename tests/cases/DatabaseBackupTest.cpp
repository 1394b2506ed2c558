// Backup, restore and clear of the whole history.
#include <gtest/gtest.h>

#include "CaseStoreSupport.h"
#include "cases/Database.h"

using namespace cases_test;

namespace {

// A store of `n` cases with one report each but case 1, which is deleted, ready to back up.
void FillStore(const TempFolder& t, int n) {
  MakeProgramFolder(t);
  file::CreateDir(t.Path("bazi_f"));
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0));
  for (int i = 0; i < n; ++i) {
    CaseRecord r = MakeCase(i);
    ASSERT_EQ(db.Add(r), i);
    WriteRaw(t.Path("bazi_f\\" + IntToStr(i) + ".rtf"), "{\\rtf1 report " + IntToStr(i) + "}");
  }
  ASSERT_TRUE(db.Delete(1, db.Generation()));
}

std::vector<std::string> Listing(const std::string& folder) { return file::List(folder, ""); }

}  // namespace

TEST(CaseBackup, CopiesDataAndReportsIntoAnExistingReportFolder) {
  TempFolder home, dest;
  FillStore(home, 3);
  file::CreateDir(dest.Path("bazi_f"));
  WriteRaw(dest.Path("bazi_f\\0.rtf"), "old");
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  ASSERT_TRUE(db.Backup(dest.Dir())) << db.LastError();
  EXPECT_EQ(ReadRaw(dest.Path("bazi0.dat")), ReadRaw(DataPath(home, 0)));
  EXPECT_EQ(Listing(dest.Path("bazi_f")), (std::vector<std::string>{"0.rtf", "2.rtf"}));
  EXPECT_EQ(ReadRaw(dest.Path("bazi_f\\0.rtf")), ReadRaw(home.Path("bazi_f\\0.rtf")));
  EXPECT_EQ(Listing(dest.Dir()), std::vector<std::string>{"bazi0.dat"}) << "no temporary files left";
}

TEST(CaseBackup, FailedWriteLeavesHistoryAndOldBackupAlone) {
  TempFolder home, dest;
  FillStore(home, 3);
  WriteRaw(dest.Path("bazi0.dat"), "previous backup");
  Picture before;
  ASSERT_TRUE(TakePicture(home, before));
  for (int nth = 1; nth <= 3; ++nth) {  // data file 0 and two reports
    for (bool shortWrite : {false, true}) {
      SCOPED_TRACE(Format("write %d short %d", nth, shortWrite));
      MDataBase db;
      ASSERT_TRUE(db.Open(home.Dir(), 0));
      db.FailWrite(nth, shortWrite);
      EXPECT_FALSE(db.Backup(dest.Dir()));
      EXPECT_NE(db.LastError().find(gbk::FromUtf8("无法写入")), std::string::npos) << db.LastError();
      EXPECT_EQ(ReadRaw(dest.Path("bazi0.dat")), "previous backup");
      EXPECT_EQ(Listing(dest.Dir()), std::vector<std::string>{"bazi0.dat"});
      Picture after;
      ASSERT_TRUE(TakePicture(home, after));
      EXPECT_EQ(after, before);
    }
  }
}

TEST(CaseBackup, RestoreAfterClearBringsEverythingBack) {
  TempFolder home, dest;
  FillStore(home, 4);
  Picture original;
  ASSERT_TRUE(TakePicture(home, original));
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  ASSERT_TRUE(db.Backup(dest.Dir()));

  ASSERT_TRUE(db.Clear()) << db.LastError();
  EXPECT_EQ(ReadHeader(DataPath(home, 0)).count, 0);
  EXPECT_TRUE(file::DirExists(home.Path("bazi_f"))) << "the report folder stays";
  EXPECT_TRUE(Listing(home.Path("bazi_f")).empty());
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  EXPECT_EQ(db.GetCount(), 0) << "a new store";

  ASSERT_TRUE(db.Restore(dest.Path("bazi0.dat"))) << db.LastError();
  Picture restored;
  ASSERT_TRUE(TakePicture(home, restored));
  // Each switch made a new generation: the clear one past the original, the restore one past that.
  EXPECT_EQ(ReadHeader(DataPath(home, 0)).generation, ReadHeader(dest.Path("bazi0.dat")).generation + 2);
  restored.header.replace(offsetof(CaseFileHeader, generation), 4, original.header,
                          offsetof(CaseFileHeader, generation), 4);
  EXPECT_EQ(restored, original);
  EXPECT_EQ(Listing(home.Path("bazi_f")).size(), 3u);
}

TEST(CaseBackup, RestoreWithoutReportFolderRestoresDataOnly) {
  TempFolder home, dest;
  FillStore(home, 2);
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  ASSERT_TRUE(db.Backup(dest.Dir()));
  std::filesystem::remove_all(file::NativePath(dest.Path("bazi_f")));
  ASSERT_TRUE(db.Clear());
  ASSERT_TRUE(db.Restore(dest.Path("bazi0.dat"))) << db.LastError();
  EXPECT_EQ(db.GetCount(), 2);
  EXPECT_TRUE(Listing(home.Path("bazi_f")).empty());
}

TEST(CaseBackup, RestoreRefusesFilesThatAreNotDataFileZero) {
  struct Row {
    const char* name;
    void (*damage)(CaseFileHeader&);
    bool dropFileOne;
  };
  const Row kRows[] = {
      {"another kind", [](CaseFileHeader& h) { h.kind = 1; }, false},
      {"no files", [](CaseFileHeader& h) { h.fileCount = 0; }, false},
      {"absurd file count", [](CaseFileHeader& h) { h.fileCount = 32000; }, false},
      {"count beyond the file", [](CaseFileHeader& h) { h.count = 40; }, false},
      {"second file missing", [](CaseFileHeader& h) { h.count = 50001, h.fileCount = 2; }, true},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    TempFolder home, dest;
    FillStore(home, 3);
    MDataBase db;
    ASSERT_TRUE(db.Open(home.Dir(), 0));
    ASSERT_TRUE(db.Backup(dest.Dir()));
    CaseFileHeader h = ReadHeader(dest.Path("bazi0.dat"));
    row.damage(h);
    PatchHeader(dest.Path("bazi0.dat"), h);
    Picture before;
    ASSERT_TRUE(TakePicture(home, before));
    EXPECT_FALSE(db.Restore(dest.Path("bazi0.dat")));
    EXPECT_FALSE(db.LastError().empty());
    Picture after;
    ASSERT_TRUE(TakePicture(home, after));
    EXPECT_EQ(after, before);
    EXPECT_EQ(Listing(home.Path("dat")), (std::vector<std::string>{"bazi.lck", "bazi0.dat"}));
  }
  TempFolder home;
  FillStore(home, 2);
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  EXPECT_FALSE(db.Restore(home.Path("no such file.dat")));
}

TEST(CaseBackup, FailedRestoreCopyChangesNothing) {
  TempFolder home, dest;
  FillStore(home, 3);
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  ASSERT_TRUE(db.Backup(dest.Dir()));
  CaseRecord r = MakeCase(50);
  ASSERT_GE(db.Add(r), 0);  // the store now differs from the backup
  Picture before;
  ASSERT_TRUE(TakePicture(home, before));
  for (int nth = 1; nth <= 3; ++nth) {  // data file 0 and two reports
    SCOPED_TRACE(nth);
    db.FailWrite(nth, true);
    EXPECT_FALSE(db.Restore(dest.Path("bazi0.dat")));
    Picture after;
    ASSERT_TRUE(TakePicture(home, after));
    EXPECT_EQ(after, before);
    EXPECT_EQ(Listing(home.Path("bazi_f")).size(), 2u) << "no temporary reports left";
  }
}

// A folder in the report folder, with files and a folder of its own: whatever replaces
// the history takes it away with the old reports, says it succeeded, and the next
// operation works there too.
TEST(CaseBackup, AFolderAmongTheReportsIsRemovedWithThem) {
  auto plantFolder = [](const std::string& reports) {
    file::ForceDirectories(reports + "notes\\deeper");
    WriteRaw(reports + "notes\\a.txt", "a");
    WriteRaw(reports + "notes\\deeper\\b.rtf", "b");
  };
  TempFolder home, dest, source;
  FillStore(home, 3);
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  ASSERT_TRUE(db.Backup(source.Dir()));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    plantFolder(dest.Path("bazi_f\\"));
    EXPECT_TRUE(db.Backup(dest.Dir())) << gbk::ToUtf8(db.LastError());
    EXPECT_EQ(db.Notice(), "");
    EXPECT_EQ(Listing(dest.Path("bazi_f")).size(), 2u);
    EXPECT_FALSE(file::DirExists(dest.Path("bazi_f\\notes")));
    EXPECT_FALSE(file::DirExists(dest.Path("bazi.old")));

    plantFolder(home.Path("bazi_f\\"));
    EXPECT_TRUE(db.Restore(source.Path("bazi0.dat"))) << gbk::ToUtf8(db.LastError());
    EXPECT_EQ(db.Notice(), "");
    EXPECT_FALSE(file::DirExists(home.Path("dat\\bazi.old")));
    ASSERT_TRUE(db.Open(home.Dir(), 0)) << gbk::ToUtf8(db.LastError());
    EXPECT_EQ(db.GetCount(), 3);

    plantFolder(home.Path("bazi_f\\"));
    EXPECT_TRUE(db.Clear()) << gbk::ToUtf8(db.LastError());
    ASSERT_TRUE(db.Open(home.Dir(), 0)) << gbk::ToUtf8(db.LastError());
    EXPECT_EQ(db.GetCount(), 0);
    EXPECT_TRUE(db.Restore(source.Path("bazi0.dat"))) << gbk::ToUtf8(db.LastError());
  }
}

// What cannot be removed after a switch (here every deletion inside the old history
// fails) is moved aside and told: the operation took effect and says so, and neither
// the next Open nor the next switch is held up.
TEST(CaseBackup, WhatCannotBeRemovedAfterASwitchIsMovedAsideAndTold) {
  TempFolder home, source, dest;
  FillStore(home, 3);
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  ASSERT_TRUE(db.Backup(source.Dir()));
  CaseRecord r = MakeCase(7);
  ASSERT_EQ(db.Add(r), 3);
  // Everything inside an old history's folder stays; the folder itself may be renamed.
  auto stuckInOld = [](int, const std::string& path) {
    size_t at = path.find("bazi.old");
    return at == std::string::npos || path.size() <= at + 9;
  };
  const std::string aside = gbk::FromUtf8("已改名为");

  db.SetPathFaultHook(stuckInOld);
  EXPECT_TRUE(db.Restore(source.Path("bazi0.dat"))) << gbk::ToUtf8(db.LastError());
  EXPECT_NE(db.Notice().find(aside), std::string::npos) << gbk::ToUtf8(db.Notice());
  EXPECT_FALSE(file::DirExists(home.Path("dat\\bazi.old")));
  EXPECT_TRUE(file::DirExists(home.Path("dat\\bazi.old.left")));
  db.SetPathFaultHook(nullptr);
  ASSERT_TRUE(db.Open(home.Dir(), 0)) << gbk::ToUtf8(db.LastError());
  EXPECT_EQ(db.GetCount(), 3) << "the imported history is the live one";

  db.SetPathFaultHook(stuckInOld);
  EXPECT_TRUE(db.Clear()) << gbk::ToUtf8(db.LastError());
  EXPECT_TRUE(file::DirExists(home.Path("dat\\bazi.old.left2")));
  db.SetPathFaultHook(nullptr);
  ASSERT_TRUE(db.Open(home.Dir(), 0)) << gbk::ToUtf8(db.LastError());
  EXPECT_EQ(db.GetCount(), 0);

  ASSERT_TRUE(db.Restore(source.Path("bazi0.dat")));
  db.SetPathFaultHook(stuckInOld);
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(db.Backup(dest.Dir())) << "an export that took effect, round " << round;
    EXPECT_EQ(db.Notice().find(aside) != std::string::npos, round == 1) << "only an earlier export is stuck";
    EXPECT_EQ(Listing(dest.Path("bazi_f")).size(), 2u);
  }
  db.SetPathFaultHook(nullptr);
  // Nothing there can be removed or renamed: Open tells and goes on; the next switch
  // says what to remove rather than mix two old histories.
  Picture before;
  ASSERT_TRUE(TakePicture(home, before));
  file::ForceDirectories(home.Path("dat\\bazi.old\\bazi_f"));
  WriteRaw(home.Path("dat\\bazi.old\\bazi_f\\9.rtf"), "stuck");
  db.SetPathFaultHook([](int, const std::string& path) { return path.find("bazi.old") == std::string::npos; });
  ASSERT_TRUE(db.Open(home.Dir(), 0)) << gbk::ToUtf8(db.LastError());
  EXPECT_NE(db.Notice().find(gbk::FromUtf8("请自行删除")), std::string::npos) << gbk::ToUtf8(db.Notice());
  EXPECT_FALSE(db.Restore(source.Path("bazi0.dat")));
  EXPECT_NE(db.LastError().find(gbk::FromUtf8("请先自行删除")), std::string::npos) << gbk::ToUtf8(db.LastError());
  EXPECT_FALSE(db.Clear());
  db.SetPathFaultHook(nullptr);
  Picture after;
  ASSERT_TRUE(TakePicture(home, after));
  EXPECT_EQ(after, before);
}

// The program folder, its data folder and report folder, and folders inside them are
// no place for an export, however the path is spelt; nothing is written there.
TEST(CaseBackup, ExportIntoTheLiveHistoryIsRefused) {
  TempFolder home, elsewhere;
  FillStore(home, 3);
  Picture before;
  ASSERT_TRUE(TakePicture(home, before));
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  for (const std::string& dest : {home.Dir(), home.Path("dat\\..\\"), home.Path("dat\\"), home.Path("bazi_f\\"),
                                  home.Path("bazi_f\\inner\\"), home.Path("dat\\exports\\")}) {
    SCOPED_TRACE(dest);
    EXPECT_FALSE(db.Backup(dest));
    EXPECT_NE(db.LastError().find(gbk::FromUtf8("不能导出到")), std::string::npos) << gbk::ToUtf8(db.LastError());
  }
  EXPECT_FALSE(file::DirExists(home.Path("dat\\bazi.new")));
  EXPECT_FALSE(file::DirExists(home.Path("bazi_f\\inner")));
  Picture after;
  ASSERT_TRUE(TakePicture(home, after));
  EXPECT_EQ(after, before);
  EXPECT_EQ(Listing(home.Path("bazi_f")).size(), 2u);
  EXPECT_TRUE(db.Backup(elsewhere.Dir())) << gbk::ToUtf8(db.LastError());
}
