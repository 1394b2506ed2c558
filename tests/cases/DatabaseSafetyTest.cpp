// Failed writes, killed writers and damaged files: every case stays as before or as after.
#include <gtest/gtest.h>

#include <chrono>
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
    if (i % 5 == 3) return db.Delete(id);
    CaseRecord r;
    if (!db.Read(id, r)) return false;
    SetText(r.note, "rewritten by step " + IntToStr(i));
    return db.Write(id, r);
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
            EXPECT_NE(db.LastError().find("injected"), std::string::npos) << db.LastError();
          }
        }
        Picture seen;
        ASSERT_TRUE(TakePicture(t, seen));
        // The journal is the first write: once it is whole the change is finished on reopening.
        EXPECT_EQ(seen, nth == 1 && failed ? before : after);
      }
    }
  }
}

TEST(CaseStoreFaults, DamagedJournalIsRefused) {
  TempFolder t;
  MakeProgramFolder(t);
  RunSteps(t, 0, 3);
  {
    MDataBase db;
    ASSERT_TRUE(db.Open(t.Dir(), 0));
    db.FailWrite(2, false);  // the journal is written, the record is not
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
    EXPECT_FALSE(db.Open(t.Dir(), 0));
    EXPECT_NE(db.LastError().find("damaged"), std::string::npos) << db.LastError();
    EXPECT_EQ(ReadRaw(DataPath(t, 0)), dataBefore);
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
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
  int done = 0;
  int kills = 0;
  int finishedOnReopen = 0;
  for (int round = 0; round < 60 && std::chrono::steady_clock::now() < deadline; ++round) {
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
    usleep(static_cast<useconds_t>(rng() % 30000));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);
    int acked = 0, step = 0;
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
