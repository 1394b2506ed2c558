// A full disk: every operation, with the disk filling at each of its writes in turn,
// either succeeds whole or says it failed and leaves the history exactly as it was,
// byte for byte, with no journal to finish it later. A history that cannot be written
// still opens for reading.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "CaseStoreSupport.h"
#include "cases/Database.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace cases_test;
namespace fs = std::filesystem;

namespace {

void Fill(const TempFolder& t, int cases, int deleted) {
  MakeProgramFolder(t);
  file::CreateDir(t.Path("bazi_f"));
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0));
  for (int i = 0; i < cases; ++i) {
    CaseRecord r = MakeCase(i);
    ASSERT_EQ(db.Add(r), i);
    if (i % 10 == 0) WriteRaw(t.Path("bazi_f\\" + IntToStr(i) + ".rtf"), std::string(300, 'a' + i % 26));
  }
  for (int i = 0; i < deleted; ++i) ASSERT_TRUE(db.Delete(i * 3 + 1, db.Generation()));
}

// Folders given with their trailing separator.
void CopyTree(const std::string& from, const std::string& to) {
  fs::path source = fs::path(file::NativePath(from)).parent_path(),
           target = fs::path(file::NativePath(to)).parent_path();
  fs::remove_all(target);
  fs::copy(source, target, fs::copy_options::recursive);
}

struct Scene {
  const char* name;
  int cases, deleted;  // of the program's history
  int64_t step;        // free space grows by this from run to run
  std::function<bool(MDataBase&, const TempFolder& other)> run;
};

}  // namespace

TEST(CaseStoreFullDisk, EveryWriteOfEveryOperationOnAFullDisk) {
  auto addOne = [](MDataBase& db, const TempFolder&) {
    CaseRecord r = MakeCase(5000);
    return db.Add(r) >= 0;
  };
  auto edit = [](MDataBase& db, const TempFolder&) {
    CaseRecord r;
    if (!db.Read(2, r)) return false;
    SetText(r.note, "edited");
    return db.Write(2, r, db.Generation());
  };
  const Scene kScenes[] = {
      {"add, appended", 60, 5, 97, addOne},
      {"add into a reused slot", 100, 31, 97, addOne},
      {"edit", 60, 5, 97, edit},
      {"delete", 60, 5, 97, [](MDataBase& db, const TempFolder&) { return db.Delete(20, db.Generation()); }},
      {"category rename over three journals", 800, 5, 15013,
       [](MDataBase& db, const TempFolder&) { return db.RenameCategory("c1", "c7", db.Generation()); }},
      {"category delete over three journals", 800, 5, 15013,
       [](MDataBase& db, const TempFolder&) { return db.DeleteCategory("c2", db.Generation()); }},
      {"import", 60, 5, 4999, [](MDataBase& db, const TempFolder& o) { return db.Restore(o.Path("bazi0.dat")); }},
      {"export", 300, 5, 9973, [](MDataBase& db, const TempFolder& o) { return db.Backup(o.Dir()); }},
      {"clear", 60, 5, 97, [](MDataBase& db, const TempFolder&) { return db.Clear(); }},
  };
  int allRuns = 0, allBad = 0;
  for (const Scene& scene : kScenes) {
    SCOPED_TRACE(scene.name);
    TempFolder homeTemplate, home, other;
    Fill(homeTemplate, scene.cases, scene.deleted);
    {
      TempFolder source;
      Fill(source, 300, 40);
      MDataBase db;
      ASSERT_TRUE(db.Open(source.Dir(), 0));
      ASSERT_TRUE(db.Backup(other.Dir()));
    }
    Disk before = Look(homeTemplate.Dir()), otherBefore = Look(other.Dir());
    int runs = 0, failed = 0, bad = 0;
    for (int64_t space = 0;; space += scene.step) {
      CopyTree(homeTemplate.Dir(), home.Dir());
      MDataBase db;
      ASSERT_TRUE(db.Open(home.Dir(), 0));
      db.SetFreeSpace(space);
      bool ok = scene.run(db, other);
      ++runs;
      if (ok) break;
      ++failed;
      SCOPED_TRACE(Format("%lld bytes free", static_cast<long long>(space)));
      bool fullDisk = db.LastError().find(gbk::FromUtf8("磁盘已满")) != std::string::npos;
      EXPECT_TRUE(fullDisk) << gbk::ToUtf8(db.LastError());
      Disk seen = Look(home.Dir());
      EXPECT_TRUE(seen == before) << "a failed operation left something behind";
      EXPECT_TRUE(Look(other.Dir()) == otherBefore) << "a failed export left something behind";
      bad += !fullDisk || seen != before;
      if (testing::Test::HasFailure()) return;
    }
    std::printf("%s: %d runs, %d failed on the full disk, %d left a trace\n", scene.name, runs, failed, bad);
    allRuns += runs;
    allBad += bad;
    EXPECT_GE(failed, 1);
  }
  RecordProperty("runs", allRuns);
  RecordProperty("traces", allBad);
}

// A journal left by a process that died, on a disk that is full: the history opens for
// reading and lists as its files stand; changes are refused with the reason; once
// there is room the journal is finished and the history is whole again.
TEST(CaseStoreFullDisk, AHistoryThatCannotBeWrittenOpensForReading) {
  TempFolder t;
  Fill(t, 3, 0);
  {
    // The journal is written; nothing after it reaches the data file, not even the
    // putting back: as if the process died there.
    MDataBase db;
    ASSERT_TRUE(db.Open(t.Dir(), 0));
    db.SetPathFaultHook([](int, const std::string& path) {
      return path.find("bazi0.dat") == std::string::npos && !path.ends_with("bazi.jnl");
    });
    CaseRecord r = MakeCase(3);
    EXPECT_EQ(db.Add(r), -1);
  }
  ASSERT_TRUE(file::Exists(t.Path("dat\\bazi.jnl")));
  Disk before = Look(t.Dir());

  MDataBase db;
  db.SetFreeSpace(0);
  ASSERT_TRUE(db.Open(t.Dir(), 0)) << gbk::ToUtf8(db.LastError());
  EXPECT_NE(db.Notice().find(gbk::FromUtf8("只能查看")), std::string::npos) << gbk::ToUtf8(db.Notice());
  EXPECT_EQ(db.GetCount(), 3);
  CaseCriteria every;
  std::vector<int32_t> ids;
  EXPECT_TRUE(db.Search(every, ids));
  EXPECT_EQ(ids, (std::vector<int32_t>{0, 1, 2}));
  CaseRecord r;
  EXPECT_TRUE(db.Read(1, r));
  int listed = 0;
  EXPECT_TRUE(db.ReadMany({2, 1, 0}, [&](const CaseRecord&) { ++listed; }));
  EXPECT_EQ(listed, 3);
  r = MakeCase(9);
  EXPECT_EQ(db.Add(r), -1);
  EXPECT_NE(db.LastError().find(gbk::FromUtf8("磁盘已满")), std::string::npos) << gbk::ToUtf8(db.LastError());
  EXPECT_FALSE(db.Delete(1, db.Generation()));
  EXPECT_FALSE(db.RenameCategory("c1", "c2", db.Generation()));
  EXPECT_TRUE(Look(t.Dir()) == before) << "nothing changed while the disk was full";

  db.SetFreeSpace(-1);
  EXPECT_EQ(db.Add(r), 4) << "the died process's case is finished first: " << gbk::ToUtf8(db.LastError());
  EXPECT_FALSE(file::Exists(t.Path("dat\\bazi.jnl")));
  EXPECT_EQ(db.GetCount(), 5);
}

#ifndef _WIN32
// A program folder the user may not write (here a process without the right): the
// history opens for reading and says, in Chinese, that the folder cannot be written,
// naming it; nothing speaks of a lock no one holds.
TEST(CaseStoreFullDisk, AReadOnlyProgramFolderSaysSo) {
  TempFolder t;
  Fill(t, 3, 0);
  file::Delete(t.Path("dat\\bazi.lck"));
  std::string dat = file::NativePath(t.Path("dat"));
  ASSERT_EQ(chmod(dat.c_str(), 0555), 0);
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  pid_t pid = fork();
  if (pid == 0) {
    // Root may write anywhere: the check runs as nobody.
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    MDataBase db;
    bool opened = db.Open(t.Dir(), 0);
    std::string told = db.Notice() + '\n' + db.LastError();
    CaseRecord r = MakeCase(7);
    bool added = db.Add(r) >= 0;
    told += '\n' + db.LastError();
    (void)!write(out[1], told.data(), told.size());
    _exit(opened && !added ? 0 : 2);
  }
  close(out[1]);
  std::string told;
  char buf[4096];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) told.append(buf, static_cast<size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  chmod(dat.c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << gbk::ToUtf8(told);
  EXPECT_NE(told.find(gbk::FromUtf8("只能查看")), std::string::npos) << gbk::ToUtf8(told);
  EXPECT_NE(told.find(t.Path("dat\\") + gbk::FromUtf8("不能写入：没有权限")), std::string::npos) << gbk::ToUtf8(told);
  EXPECT_EQ(told.find(gbk::FromUtf8("锁定")), std::string::npos) << gbk::ToUtf8(told);
  EXPECT_EQ(told.find("denied"), std::string::npos) << gbk::ToUtf8(told);
}
#endif
