// Failed writes, killed writers and damaged files: every case stays as before or as after.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "CaseStoreSupport.h"
#include "cases/Database.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace cases_test;

namespace {

// Operation i of a fixed mix of adds, deletions and rewrites; what it touches depends
// only on i and the store's contents, so two stores given the same steps stay equal.
bool RunStep(MDataBase& db, int i) {
  CaseCriteria all;
  std::vector<int32_t> live;
  if (!db.Search(all, live)) return false;
  if (i % 5 >= 3 && !live.empty()) {
    int32_t id = live[(static_cast<uint32_t>(i) * 7919u) % live.size()];
    if (i % 5 == 3) return db.Delete(id, db.Generation());
    CaseRecord r;
    if (!db.Read(id, r)) return false;
    SetText(r.note, "rewritten by step " + IntToStr(i));
    return db.Write(id, r, db.Generation());
  }
  CaseRecord r = MakeCase(i);
  return db.Add(r) >= 0;
}

void RunSteps(const TempFolder& t, int from, int to) {
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0)) << db.LastError();
  for (int i = from; i < to; ++i) ASSERT_TRUE(RunStep(db, i)) << "step " << i << ": " << db.LastError();
}

// Gives a damaged journal a matching checksum (FNV-1a over all but the last 4 bytes).
void ResealJournal(std::string& bytes) {
  if (bytes.size() < 4) return;
  uint32_t h = 2166136261u;
  for (size_t i = 0; i + 4 < bytes.size(); ++i) h = (h ^ static_cast<unsigned char>(bytes[i])) * 16777619u;
  std::memcpy(bytes.data() + bytes.size() - 4, &h, 4);
}

}  // namespace

// Each write of each kind of change fails in turn, whole or half done; reopened, the
// store shows the change entirely or not at all.
TEST(CaseStoreFaults, FailedWriteLeavesEachCaseBeforeOrAfter) {
  constexpr int kSetupSteps = 160;  // past 30 deletions, so reuse is exercised too
  for (int step = kSetupSteps; step < kSetupSteps + 5; ++step) {
    TempFolder reference;
    MakeProgramFolder(reference);
    RunSteps(reference, 0, step);
    Picture before, after;
    ASSERT_TRUE(TakePicture(reference, before));
    RunSteps(reference, step, step + 1);
    ASSERT_TRUE(TakePicture(reference, after));
    ASSERT_NE(before, after);
    for (int nth = 1; nth <= 3; ++nth) {
      for (bool shortWrite : {false, true}) {
        SCOPED_TRACE(Format("step %d, write %d fails, short %d", step, nth, shortWrite));
        TempFolder t;
        MakeProgramFolder(t);
        RunSteps(t, 0, step);
        bool failed = false;
        {
          MDataBase db;
          ASSERT_TRUE(db.Open(t.Dir(), 0));
          db.FailWrite(nth, shortWrite);
          failed = !RunStep(db, step);  // a rewrite makes only two writes
          if (failed) {
            EXPECT_NE(db.LastError().find(gbk::FromUtf8("模拟故障")), std::string::npos) << db.LastError();
          }
        }
        Picture seen;
        ASSERT_TRUE(TakePicture(t, seen));
        // A change told failed was taken back whole, its journal with it.
        EXPECT_EQ(seen, failed ? before : after);
        EXPECT_FALSE(file::Exists(t.Path("dat\\bazi.jnl")));
      }
    }
  }
}

// A journal that does not parse is kept as a copy and the history opens as it stands.
TEST(CaseStoreFaults, DamagedJournalIsSetAside) {
  TempFolder t;
  MakeProgramFolder(t);
  RunSteps(t, 0, 3);
  {
    MDataBase db;
    ASSERT_TRUE(db.Open(t.Dir(), 0));
    DieAfterJournal(db);
    CaseRecord r = MakeCase(9);
    ASSERT_EQ(db.Add(r), -1);
  }
  std::string journal = ReadRaw(t.Path("dat\\bazi.jnl"));
  ASSERT_FALSE(journal.empty());
  std::string dataBefore = ReadRaw(DataPath(t, 0));
  struct Row {
    const char* name;
    std::string bytes;
  };
  std::string flipped = journal;
  flipped[30] ^= 0x40;
  const Row kRows[] = {
      {"cut short", journal.substr(0, journal.size() - 7)}, {"one bit changed", flipped}, {"empty", ""}};
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    WriteRaw(t.Path("dat\\bazi.jnl"), row.bytes);
    MDataBase db;
    ASSERT_TRUE(db.Open(t.Dir(), 0)) << db.LastError();
    EXPECT_NE(db.Notice().find(gbk::FromUtf8("日志文件已经损坏")), std::string::npos) << db.Notice();
    EXPECT_NE(db.Notice().find("bazi.jnl.bad"), std::string::npos) << db.Notice();
    EXPECT_EQ(ReadRaw(DataPath(t, 0)), dataBefore);
    EXPECT_EQ(db.GetCount(), 3);
    EXPECT_FALSE(file::Exists(t.Path("dat\\bazi.jnl")));
    EXPECT_EQ(ReadRaw(t.Path("dat\\bazi.jnl.bad")), row.bytes) << "the copy is kept";
    std::filesystem::remove(file::NativePath(t.Path("dat\\bazi.jnl.bad")));
  }
  // Random damage, some of it resealed so that it reaches the parser: refused or applied
  // within the slot grid, never a crash.
  std::mt19937 rng(5);
  for (int iter = 0; iter < 300; ++iter) {
    SCOPED_TRACE(iter);
    std::string bytes = journal;
    if (iter % 3 == 0) {
      bytes.resize(rng() % bytes.size());
    } else {
      for (int k = 0, n = 1 + static_cast<int>(rng() % 3); k < n; ++k) bytes[rng() % 40] = static_cast<char>(rng());
    }
    if (iter % 3 == 2) ResealJournal(bytes);
    WriteRaw(DataPath(t, 0), dataBefore);
    WriteRaw(t.Path("dat\\bazi.jnl"), bytes);
    MDataBase db;
    if (!db.Open(t.Dir(), 0)) {
      EXPECT_EQ(ReadRaw(DataPath(t, 0)), dataBefore);
    }
  }
  WriteRaw(DataPath(t, 0), dataBefore);
  WriteRaw(t.Path("dat\\bazi.jnl"), journal);
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0)) << db.LastError();
  EXPECT_EQ(db.GetCount(), 4) << "the whole journal finishes the add";
  EXPECT_FALSE(file::Exists(t.Path("dat\\bazi.jnl")));
}

#ifndef _WIN32
// A writer process is killed at random moments; after each kill the store opens and
// equals a reference store that ran either the acknowledged steps or one step more.
TEST(CaseStoreFaults, KilledWriterLosesNothing) {
  TempFolder live, reference;
  MakeProgramFolder(live);
  MakeProgramFolder(reference);
  std::mt19937 rng(20261208);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
  int done = 0;
  int kills = 0;
  int finishedOnReopen = 0;
  // Go on until enough steps ran, not for a fixed number of rounds.
  for (int round = 0; (round < 60 || done < 40) && std::chrono::steady_clock::now() < deadline; ++round) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(fds[0]);
      MDataBase db;
      if (!db.Open(live.Dir(), 0)) _exit(2);
      for (int i = done;; ++i) {
        if (!RunStep(db, i)) _exit(3);
        if (write(fds[1], &i, sizeof i) != sizeof i) _exit(4);
      }
    }
    close(fds[1]);
    // Odd rounds kill at a random moment from the start, often while the store opens and
    // finishes a journal; even rounds first wait for one step, so that steps run however
    // slowly a loaded machine opens the store.
    int acked = 0, step = 0;
    if (round % 2 == 0 && read(fds[0], &step, sizeof step) == sizeof step) ++acked;
    usleep(static_cast<useconds_t>(rng() % 30000));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);
    while (read(fds[0], &step, sizeof step) == sizeof step) ++acked;
    close(fds[0]);
    ++kills;

    RunSteps(reference, done, done + acked);
    Picture seen, expected;
    ASSERT_TRUE(TakePicture(live, seen)) << "round " << round;
    ASSERT_TRUE(TakePicture(reference, expected));
    done += acked;
    if (seen != expected) {
      RunSteps(reference, done, done + 1);  // the step in flight was finished on reopening
      ASSERT_TRUE(TakePicture(reference, expected));
      ASSERT_EQ(seen, expected) << "round " << round << " after " << done << " steps";
      ++done;
      ++finishedOnReopen;
    }
  }
  RecordProperty("kills", kills);
  RecordProperty("steps", done);
  RecordProperty("finishedOnReopen", finishedOnReopen);
  EXPECT_GE(kills, 10);
  EXPECT_GE(done, 40) << "too few steps ran to mean anything";
}
#endif

// Random damage to data file 0 and to the journal: open, read, search, add and restore
// either work or refuse, never read out of bounds (run under the sanitizers).
TEST(CaseStoreFuzz, DamagedFilesNeverCrash) {
  TempFolder pristine;
  MakeProgramFolder(pristine);
  RunSteps(pristine, 0, 60);
  const std::string data = ReadRaw(DataPath(pristine, 0));
  std::mt19937 rng(77);
  TempFolder target;
  MakeProgramFolder(target);
  RunSteps(target, 0, 4);
  const std::string targetData = ReadRaw(DataPath(target, 0));

  for (int iter = 0; iter < 400; ++iter) {
    SCOPED_TRACE(iter);
    std::string bytes = data;
    switch (rng() % 4) {
      case 0:  // flips in the header
        for (int k = 0, n = 1 + static_cast<int>(rng() % 4); k < n; ++k) bytes[rng() % 20] = static_cast<char>(rng());
        break;
      case 1:  // flips anywhere
        for (int k = 0; k < 16; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
        break;
      case 2:  // truncation
        bytes.resize(rng() % bytes.size());
        break;
      default:  // garbage tail
        bytes += std::string(rng() % 3000, static_cast<char>(rng()));
        break;
    }
    TempFolder t;
    MakeProgramFolder(t);
    WriteRaw(DataPath(t, 0), bytes);
    MDataBase db;
    if (db.Open(t.Dir(), 0)) {
      int32_t count = db.GetCount();
      CaseRecord r;
      for (int32_t id = -1; id <= count; ++id) db.Read(id, r);
      CaseCriteria c;
      c.nameMode = 1;
      SetText(c.name, gbk::FromUtf8("张"));
      std::vector<int32_t> ids;
      EXPECT_TRUE(db.Search(c, ids));
      for (int32_t id : ids) EXPECT_TRUE(id >= 0 && id < count);
      CaseRecord added = MakeCase(iter);
      EXPECT_GE(db.Add(added), 0) << db.LastError();
    } else {
      EXPECT_FALSE(db.LastError().empty());
    }
    MDataBase into;
    ASSERT_TRUE(into.Open(target.Dir(), 0));
    if (!into.Restore(DataPath(t, 0))) {
      EXPECT_EQ(ReadRaw(DataPath(target, 0)), targetData) << "a refused restore changes nothing";
    } else {
      WriteRaw(DataPath(target, 0), targetData);
    }
  }
}

namespace {

// A store of 40 cases, 5 and 6 deleted, as the mutation tests start from.
void FortyCases(const TempFolder& t) {
  MakeProgramFolder(t);
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0));
  for (int i = 0; i < 40; ++i) {
    CaseRecord r = MakeCase(i);
    ASSERT_EQ(db.Add(r), i);
  }
  ASSERT_TRUE(db.Delete(5, db.Generation()));
  ASSERT_TRUE(db.Delete(6, db.Generation()));
}

void FlipByte(const std::string& path, int64_t at, uint8_t mask) {
  std::string raw = ReadRaw(path);
  raw[static_cast<size_t>(at)] = static_cast<char>(raw[static_cast<size_t>(at)] ^ mask);
  WriteRaw(path, raw);
}

int64_t SlotAt(int32_t slot) { return 20 + int64_t{slot} * 1212; }

}  // namespace

// Single flipped bits in the places the store trusts: each is mended from what the
// records show, and nothing the user had is lost or shown wrong.
TEST(CaseStoreMutations, FlippedBitsAreMendedWithoutLoss) {
  struct Row {
    const char* name;
    int64_t at;
    uint8_t mask;
    const char* notice;  // part of what the user is told
  };
  const Row kRows[] = {
      {"count 40 -> 8", 4, 0x20, "命例数"},
      {"count 40 -> 32", 4, 0x08, "命例数"},
      {"id of case 17 -> 1", SlotAt(17), 0x10, "编号"},
      {"id of case 0 -> 1024", SlotAt(0) + 1, 0x04, "编号"},
      {"deleted of live case 3 -> 16", SlotAt(3) + 4, 0x10, "删除标记"},
      {"deleted of deleted case 5 -> 129", SlotAt(5) + 4, 0x80, "删除标记"},
      {"deleted count 2 -> 3", 8, 0x01, "计数"},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    TempFolder t;
    FortyCases(t);
    Picture before;
    ASSERT_TRUE(TakePicture(t, before));
    FlipByte(DataPath(t, 0), row.at, row.mask);

    MDataBase db;
    ASSERT_TRUE(db.Open(t.Dir(), 0)) << gbk::ToUtf8(db.LastError());
    EXPECT_NE(db.Notice().find(gbk::FromUtf8(row.notice)), std::string::npos) << gbk::ToUtf8(db.Notice());
    Picture after;
    ASSERT_TRUE(TakePicture(t, after));
    EXPECT_EQ(after, before);
    CaseRecord r = MakeCase(99);
    EXPECT_EQ(db.Add(r), 40) << "a new case overwrites none";
    ASSERT_TRUE(db.Delete(17, db.Generation()));
    CaseRecord other;
    EXPECT_TRUE(db.Read(1, other)) << "deleting case 17 deletes case 17";
  }
}

// A record's id is checked at every read, so damage after the store opened never makes
// one case stand for another; a deleted mark that is neither 0 nor 1 shows nowhere.
TEST(CaseStoreMutations, ReadsTrustNoIdOrMarkTheyDidNotCheck) {
  TempFolder t;
  FortyCases(t);
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0));
  FlipByte(DataPath(t, 0), SlotAt(17), 0x10);
  FlipByte(DataPath(t, 0), SlotAt(3) + 4, 0x10);
  CaseRecord r;
  EXPECT_FALSE(db.Read(17, r));
  EXPECT_NE(db.LastError().find(gbk::FromUtf8("损坏")), std::string::npos);
  EXPECT_FALSE(db.Read(3, r));
  CaseCriteria all;
  std::vector<int32_t> ids;
  ASSERT_TRUE(db.Search(all, ids));
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 17), 0);
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 3), 0) << "what Read refuses, Search does not list";
  EXPECT_EQ(ids.size(), 36u);
}

// Damage that cannot be mended without guessing is refused with a message, the files
// left as they are.
TEST(CaseStoreMutations, LossIsRefusedNotHidden) {
  struct Row {
    const char* name;
    void (*damage)(const TempFolder& t);
    const char* message;
  };
  const Row kRows[] = {
      {"count 40 -> 56, file holds 40", [](const TempFolder& t) { FlipByte(DataPath(t, 0), 4, 0x10); },
       "比文件头所记的短"},
      {"file cut to 20,000 bytes",
       [](const TempFolder& t) { WriteRaw(DataPath(t, 0), ReadRaw(DataPath(t, 0)).substr(0, 20000)); },
       "比文件头所记的短"},
      {"slot 12 zeroed",
       [](const TempFolder& t) {
         std::string raw = ReadRaw(DataPath(t, 0));
         std::fill_n(raw.begin() + SlotAt(12), 1212, '\0');
         WriteRaw(DataPath(t, 0), raw);
       },
       "空的"},
      {"junk past the count",
       [](const TempFolder& t) { WriteRaw(DataPath(t, 0), ReadRaw(DataPath(t, 0)) + std::string(1212, 'j')); },
       "不明的数据"},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    TempFolder t;
    FortyCases(t);
    row.damage(t);
    std::string raw = ReadRaw(DataPath(t, 0));
    MDataBase db;
    EXPECT_FALSE(db.Open(t.Dir(), 0));
    EXPECT_NE(db.LastError().find(gbk::FromUtf8(row.message)), std::string::npos) << gbk::ToUtf8(db.LastError());
    CaseRecord r = MakeCase(1);
    EXPECT_EQ(db.Add(r), -1);
    EXPECT_EQ(ReadRaw(DataPath(t, 0)), raw);
  }
}

// An append whose journal is pending on a data file that was cut meanwhile: applying
// it would leave a gap of empty slots that read as cases. The store refuses instead.
TEST(CaseStoreMutations, TruncationUnderAPendingJournalIsRefused) {
  TempFolder t;
  FortyCases(t);
  {
    MDataBase db;
    ASSERT_TRUE(db.Open(t.Dir(), 0));
    DieAfterJournal(db);
    CaseRecord r = MakeCase(41);
    ASSERT_EQ(db.Add(r), -1);
  }
  ASSERT_TRUE(file::Exists(t.Path("dat\\bazi.jnl")));
  WriteRaw(DataPath(t, 0), ReadRaw(DataPath(t, 0)).substr(0, 20000));
  std::string raw = ReadRaw(DataPath(t, 0));
  MDataBase db;
  EXPECT_FALSE(db.Open(t.Dir(), 0));
  EXPECT_NE(db.LastError().find(gbk::FromUtf8("比日志所记的短")), std::string::npos) << gbk::ToUtf8(db.LastError());
  EXPECT_EQ(ReadRaw(DataPath(t, 0)), raw) << "no gap was written";
  CaseCriteria all;
  std::vector<int32_t> ids;
  EXPECT_FALSE(db.Search(all, ids));
  EXPECT_TRUE(ids.empty());
  EXPECT_TRUE(file::Exists(t.Path("dat\\bazi.jnl"))) << "the journal is kept for whoever mends the file";
}

// A report written for an id stays with that id only: a slot given out again after a
// category deletion, or after a clear that left reports, starts without one.
TEST(CaseStoreMutations, AReusedSlotNeverInheritsAReport) {
  TempFolder t;
  FortyCases(t);
  file::CreateDir(t.Path("bazi_f"));
  for (int i = 0; i < 40; ++i) WriteRaw(t.Path("bazi_f\\" + IntToStr(i) + ".rtf"), "report of " + IntToStr(i));
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0));
  ASSERT_TRUE(db.DeleteCategory("c1", db.Generation()));  // 13 cases; with 5 and 6 past the reuse mark
  WriteRaw(t.Path("bazi_f\\40.rtf"), "left by an earlier history");
  for (int k = 0; k < 20; ++k) {
    CaseRecord r = MakeCase(100 + k);
    int32_t id = db.Add(r);
    ASSERT_GE(id, 0);
    EXPECT_FALSE(file::Exists(t.Path("bazi_f\\" + IntToStr(id) + ".rtf"))) << "case " << id;
  }
}
