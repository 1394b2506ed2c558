// Every operation of the case store, killed or failing at each of its file-system
// calls in turn, on one-file and two-file histories: reopened, the store opens and
// shows the whole history as before the operation or as after it, records and
// reports alike, never a mix.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>

#include "CaseStoreSupport.h"
#include "cases/Caserules.h"
#include "cases/Database.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace cases_test;
namespace fs = std::filesystem;

namespace {

// A history as it lies on disk once a store has opened it: its data files byte for
// byte and its reports.
struct State {
  std::vector<std::string> files;
  std::map<std::string, std::string> reports;
  bool operator==(const State&) const = default;
};

std::map<std::string, std::string> Reports(const std::string& folder) {
  std::map<std::string, std::string> m;
  for (const std::string& name : file::List(folder, "")) m[name] = ReadRaw(folder + name);
  return m;
}

bool TakeState(const TempFolder& t, State& s) {
  MDataBase db;
  if (!db.Open(t.Dir(), 0)) {
    ADD_FAILURE() << gbk::ToUtf8(db.LastError());
    return false;
  }
  s.files.clear();
  for (int n = 0; file::Exists(DataPath(t, n)); ++n) s.files.push_back(ReadRaw(DataPath(t, n)));
  s.reports = Reports(t.Path("bazi_f\\"));
  return true;
}

// A history written straight into the files: `count` cases whose notes carry `tag`,
// a report for some of them.
void WriteHistory(const std::string& dataFolder, const std::string& reportFolder, int32_t count,
                  const std::string& tag) {
  CaseFileHeader h{};
  h.fileCount = static_cast<int16_t>(count == 0 ? 1 : (count - 1) / 50000 + 1);
  h.count = count;
  std::vector<std::string> files(static_cast<size_t>(h.fileCount));
  fs::create_directories(file::NativePath(reportFolder));
  for (int32_t slot = 0; slot < count; ++slot) {
    CaseRecord r = MakeCase(slot);
    SetText(r.note, tag + IntToStr(slot));
    r.id = slot;
    r.deleted = slot % 2 == 1 && slot < 80;          // enough deletions that adds reuse slots
    if (slot >= 49998) SetText(r.category, "edge");  // a category on both sides of the boundary
    h.deletedCount += r.deleted;
    files[static_cast<size_t>(slot / 50000)] += Bytes(r);
    // Deleted cases keep their reports, as a category deletion leaves them.
    int32_t firstReports = count > 50000 ? 4 : 12;  // each report is a copy to kill in
    if (slot < firstReports || slot >= 49998) WriteRaw(reportFolder + IntToStr(slot) + ".rtf", tag + IntToStr(slot));
  }
  h.reuseFlag = h.deletedCount >= 30;
  files[0].insert(0, reinterpret_cast<const char*>(&h), sizeof h);
  for (size_t n = 0; n < files.size(); ++n) WriteRaw(dataFolder + Format("bazi%d.dat", static_cast<int>(n)), files[n]);
}

// Linked files are shared with the template: only for operations that never write a
// data file in place (they copy, rename and delete).
void CopyTree(const std::string& from, const std::string& to, bool link = false) {
  fs::remove_all(file::NativePath(to));
  auto how = fs::copy_options::recursive | (link ? fs::copy_options::create_hard_links : fs::copy_options::none);
  fs::copy(file::NativePath(from), file::NativePath(to), how);
}

// One operation and the folders it works in. `export` ones write to `dest`.
struct Scene {
  const char* name;
  int32_t oldCount;     // cases of the program's history
  int32_t importCount;  // cases of the history beside it, ready to import (0: none)
  std::function<bool(MDataBase&, const std::string& home, const std::string& other)> run;
  bool exports = false;
  bool writesInPlace = true;  // false: the folders may be laid out by hard links
};

class FaultBench;
FaultBench* current = nullptr;
void Tick();

bool SaveNewCase(MDataBase& db, const std::string& home, int i, const std::function<void()>& tick) {
  CaseRecord r = MakeCase(1000 + i);
  SetText(r.note, "saved now");
  int32_t id = db.Add(r);
  if (id < 0) return false;
  tick();  // the report is written after the record: a kill may come between
  WriteRaw(home + "bazi_f\\" + IntToStr(id) + ".rtf", "new report " + IntToStr(id));
  return true;
}

// The destination as an importer would take it: the export's files put in a program
// folder of its own.
bool TakeExportState(const TempFolder& other, State& s) {
  if (!file::Exists(other.Path("bazi0.dat"))) return false;
  TempFolder look;
  MakeProgramFolder(look);
  CopyTree(other.Dir(), look.Path("dat"), true);  // a whole export is only read
  if (file::DirExists(other.Path("bazi_f"))) CopyTree(other.Path("bazi_f"), look.Path("bazi_f"), true);
  return TakeState(look, s);
}

// The folders of one run: the program's and the one beside it (import source or export
// destination), laid out afresh from templates for every kill point.
class FaultBench {
 public:
  explicit FaultBench(const Scene& s) : scene_(s) {
    MakeProgramFolder(homeTemplate_);
    WriteHistory(homeTemplate_.Path("dat\\"), homeTemplate_.Path("bazi_f\\"), s.oldCount, "old");
    if (s.importCount > 0) WriteHistory(otherTemplate_.Dir(), otherTemplate_.Path("bazi_f\\"), s.importCount, "new");
  }

  void Reset() {
    CopyTree(homeTemplate_.Dir(), home_.Dir(), !scene_.writesInPlace);
    CopyTree(otherTemplate_.Dir(), other_.Dir(), !scene_.writesInPlace);
  }

  // Runs the operation once with the hook; the number of calls it made.
  int Run(const std::function<bool(int)>& hook, bool& ok) {
    MDataBase db;
    if (!db.Open(home_.Dir(), 0)) {
      ADD_FAILURE() << "the store does not open: " << gbk::ToUtf8(db.LastError());
      return 0;
    }
    int calls = 0;
    ticks_ = [&] {
      if (!hook(++calls)) ok = false;
    };
    db.SetFaultHook([&](int) { return hook(++calls); });
    ok = scene_.run(db, home_.Dir(), other_.Dir());
    db.SetFaultHook(nullptr);
    ticks_ = nullptr;
    return calls;
  }

  void Tick() {
    if (ticks_) ticks_();
  }

  // Reopened after the run: the history (and, for an export, the destination) as
  // before or as after, with nothing of the switch left behind.
  void Check(const std::vector<State>& fine, const State& destBefore, const State& destAfter) {
    State seen;
    ASSERT_TRUE(TakeState(home_, seen)) << "the store must open";
    EXPECT_TRUE(std::find(fine.begin(), fine.end(), seen) != fine.end()) << "a mixed history";
    EXPECT_FALSE(file::DirExists(home_.Path("dat\\bazi.new")));
    EXPECT_FALSE(file::DirExists(home_.Path("dat\\bazi.old")));
    if (!scene_.exports) return;
    std::string error;
    if (!CheckImportSource(other_.Path("bazi0.dat"), home_.Dir(), error)) return;  // refused: fine
    State dest;
    ASSERT_TRUE(TakeExportState(other_, dest)) << "an accepted export does not open";
    EXPECT_TRUE(dest == destBefore || dest == destAfter) << "an export that is neither old nor new was accepted";
  }

  TempFolder homeTemplate_, otherTemplate_, home_, other_;
  const Scene& scene_;
  std::function<void()> ticks_;
};

void Tick() { current->Tick(); }

std::vector<Scene> Scenes(bool twoFiles) {
  auto importIt = [](MDataBase& db, const std::string&, const std::string& other) {
    return db.Restore(other + "bazi0.dat");
  };
  auto exportIt = [](MDataBase& db, const std::string&, const std::string& other) { return db.Backup(other); };
  auto clearIt = [](MDataBase& db, const std::string&, const std::string&) { return db.Clear(); };
  auto rename = [](MDataBase& db, const std::string&, const std::string&) {
    return db.RenameCategory("c1", "c9", db.Generation());
  };
  auto dropCategory = [](MDataBase& db, const std::string&, const std::string&) {
    return db.DeleteCategory("c2", db.Generation());
  };
  auto dropEdge = [](MDataBase& db, const std::string&, const std::string&) {
    return db.DeleteCategory("edge", db.Generation());
  };
  auto save = [](MDataBase& db, const std::string& home, const std::string&) { return SaveNewCase(db, home, 1, Tick); };
  auto edit = [](MDataBase& db, const std::string&, const std::string&) {
    CaseRecord r;
    if (!db.Read(2, r)) return false;
    SetText(r.note, "edited");
    return db.Write(2, r, db.Generation());
  };
  auto drop = [](MDataBase& db, const std::string&, const std::string&) { return db.Delete(4, db.Generation()); };
  if (twoFiles) {
    return {
        {"import, two files", 50001, 50002, importIt, false, false},
        {"export, two files", 50001, 50002, exportIt, true, false},
        {"clear, two files", 50001, 0, clearIt, false, false},
        {"category delete across the file boundary", 50001, 0, dropEdge},
    };
  }
  return {
      {"import, one file", 70, 40, importIt},
      {"export over an older export, one file", 70, 40, exportIt, true},
      {"export into an empty folder", 70, 0, exportIt, true},
      {"clear, one file", 70, 0, clearIt},
      {"category rename, one file", 70, 0, rename},
      {"category delete, one file", 70, 0, dropCategory},
      {"save a case into a reused slot", 70, 0, save},
      {"edit a case", 70, 0, edit},
      {"delete a case", 70, 0, drop},
  };
}

}  // namespace

void KillOrFailAtEveryCall(bool twoFiles) {
  int points = 0;
  for (const Scene& scene : Scenes(twoFiles)) {
    SCOPED_TRACE(scene.name);
    auto started = std::chrono::steady_clock::now();
    FaultBench bench(scene);
    current = &bench;
    // The history before and after an undisturbed run.
    bench.Reset();
    State before, after, destBefore, destAfter;
    ASSERT_TRUE(TakeState(bench.home_, before));
    TakeExportState(bench.other_, destBefore);
    bool ok = false;
    // The first call after the new history was marked ready: from there on files move.
    int switchAt = 0;
    std::string readyHere = bench.home_.Path("dat\\bazi.new\\ready"), readyThere = bench.other_.Path("bazi.new\\ready");
    int calls = bench.Run(
        [&](int call) {
          if (switchAt == 0 && (file::Exists(readyHere) || file::Exists(readyThere))) switchAt = call;
          return true;
        },
        ok);
    ASSERT_TRUE(ok) << "the undisturbed run fails";
    ASSERT_GT(calls, 0);
    ASSERT_TRUE(TakeState(bench.home_, after));
    TakeExportState(bench.other_, destAfter);
    ASSERT_TRUE(scene.exports ? destBefore != destAfter : before != after);
    // A saved case whose report was not written yet is fine: its report is made anew
    // when it is viewed. Another person's report never is.
    State noNewReport = after;
    std::erase_if(noNewReport.reports, [](const auto& kv) { return kv.second.starts_with("new report"); });
    const std::vector<State> fine = {before, after, noNewReport};

    // In a large history the copying before the switch is killed at every third call
    // (each copies 8 MB, all alike); the switch itself, where histories could mix, at
    // every call.
    int copyStep = twoFiles ? 3 : 1;
    for (int at = 1; at <= calls; at += (switchAt > 0 && at + copyStep >= switchAt - 1) ? 1 : copyStep) {
      SCOPED_TRACE(Format("call %d of %d", at, calls));
      // A kill: the child process dies at the call, nothing after it happens.
      bench.Reset();
      pid_t pid = fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        bool childOk = false;
        bench.Run(
            [at](int call) {
              if (call == at) _exit(0);
              return true;
            },
            childOk);
        _exit(3);
      }
      int status = 0;
      waitpid(pid, &status, 0);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the kill point was not reached";
      bench.Check(fine, destBefore, destAfter);
      ++points;
      // A failure: the call fails, the operation goes on as it can. Failures take the
      // same paths in a history of any size, so the large ones are only killed.
      if (twoFiles) continue;
      bench.Reset();
      bench.Run([at](int call) { return call != at; }, ok);
      bench.Check(fine, destBefore, destAfter);
      ++points;

      if (testing::Test::HasFailure()) return;
    }
    std::printf("%s: %d calls, %.1f s\n", scene.name, calls,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    std::fflush(stdout);
  }
  testing::Test::RecordProperty("faultPoints", points);
}

TEST(CaseStoreFaultPoints, OneFileHistories) { KillOrFailAtEveryCall(false); }
TEST(CaseStoreFaultPoints, TwoFileHistories) { KillOrFailAtEveryCall(true); }

// An export into the live history, by any of its names, is refused before its first
// call: killed at every call it would make, the history stays as it was, reports and all.
TEST(CaseStoreFaultPoints, ExportIntoTheLiveHistoryIsRefusedUntouched) {
  TempFolder home, elsewhere;
  MakeProgramFolder(home);
  WriteHistory(home.Path("dat\\"), home.Path("bazi_f\\"), 70, "old");
  fs::create_directory_symlink(file::NativePath(home.Dir()), file::NativePath(elsewhere.Path("program")));
  fs::create_directory(file::NativePath(elsewhere.Path("shares")));
  fs::create_directory_symlink(file::NativePath(home.Path("bazi_f")),
                               file::NativePath(elsewhere.Path("shares\\bazi_f")));
  fs::create_directory_symlink(file::NativePath(home.Path("dat")), file::NativePath(elsewhere.Path("data")));
  State before;
  ASSERT_TRUE(TakeState(home, before));
  const std::string kRows[] = {
      home.Dir(),                    // the program folder
      home.Path("dat\\..\\"),        // spelt another way
      elsewhere.Path("program\\"),   // through a link
      elsewhere.Path("shares\\"),    // whose report folder is the live one
      home.Path("dat\\"),            // the data folder
      elsewhere.Path("data\\"),      // the data folder through a link
      home.Path("bazi_f\\"),         // the report folder
      home.Path("bazi_f\\inner\\"),  // inside it, not made yet
      home.Path("dat\\exports\\"),   // inside the data folder
  };
  int kills = 0;
  for (const std::string& dest : kRows) {
    SCOPED_TRACE(dest);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      MDataBase db;
      if (!db.Open(home.Dir(), 0)) _exit(4);
      db.SetFaultHook([](int) -> bool { _exit(0); });
      _exit(db.Backup(dest) ? 5 : 3);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "0: killed at a call it made, 5: exported";
    kills += WEXITSTATUS(status) == 0;
    MDataBase db;
    ASSERT_TRUE(db.Open(home.Dir(), 0));
    EXPECT_FALSE(db.Backup(dest));
    EXPECT_NE(db.LastError().find(gbk::FromUtf8("不能导出到")), std::string::npos) << gbk::ToUtf8(db.LastError());
    State seen;
    ASSERT_TRUE(TakeState(home, seen));
    EXPECT_TRUE(seen == before);
    EXPECT_FALSE(file::DirExists(home.Path("dat\\bazi.new")));
    EXPECT_FALSE(file::DirExists(home.Path("dat\\bazi.old")));
    EXPECT_FALSE(file::DirExists(home.Path("bazi_f\\inner")));
  }
  // A folder beside the program's is a fine destination.
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  EXPECT_TRUE(db.Backup(elsewhere.Dir())) << gbk::ToUtf8(db.LastError());
  std::printf("export into the live history: %zu destinations, %d killed inside\n", std::size(kRows), kills);
}
