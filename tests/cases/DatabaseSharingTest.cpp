// Two windows on one history: processes adding, editing and deleting at once, each
// checking afterwards that what it was told is what the store holds; a window that
// waits too long is told so and changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "CaseStoreSupport.h"
#include "cases/Database.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cases_test;

namespace {

// What one window did and was told: one line an operation,
// "add <id> <note>", "edit <id> <note>", "drop <id>", or "fail <op> <note>".
void Work(const TempFolder& t, int window, int steps, const std::string& log) {
  std::ofstream out(file::NativePath(log));
  MDataBase db;
  db.SetLockWait(30000);
  if (!db.Open(t.Dir(), 0)) _exit(4);
  std::vector<int32_t> mine;
  std::map<int32_t, int> edits;
  for (int i = 0; i < steps; ++i) {
    std::string note = Format("w%d-%d", window, i);
    if (i % 4 == 2 && !mine.empty()) {
      int32_t id = mine[static_cast<size_t>(i * 7) % mine.size()];
      CaseRecord r;
      note += "-edit";
      bool ok = db.Read(id, r);
      SetText(r.note, note);
      if (ok && db.Write(id, r, db.Generation())) {
        WriteRaw(t.Path("bazi_f\\" + IntToStr(id) + ".rtf"), note);
        out << "edit " << id << ' ' << note << '\n';
      } else {
        out << "fail edit " << note << '\n';
      }
    } else if (i % 4 == 3 && mine.size() > 3) {
      size_t k = static_cast<size_t>(i * 13) % mine.size();
      int32_t id = mine[k];
      if (db.Delete(id, db.Generation())) {
        mine.erase(mine.begin() + static_cast<std::ptrdiff_t>(k));
        out << "drop " << id << '\n';
      } else {
        out << "fail drop " << id << '\n';
      }
    } else {
      CaseRecord r = MakeCase(window * 1000 + i);
      SetText(r.note, note);
      int32_t id = db.Add(r);
      if (id >= 0) {
        // The report follows the record, as the main window writes it.
        WriteRaw(t.Path("bazi_f\\" + IntToStr(id) + ".rtf"), note);
        mine.push_back(id);
        out << "add " << id << ' ' << note << '\n';
      } else {
        out << "fail add " << note << '\n';
      }
    }
    out.flush();
  }
}

struct Outcome {
  std::map<int32_t, std::string> live;  // id: the note it was last told it holds
  std::set<std::string> failedNotes;
  int successes = 0, failures = 0;
};

void ReadLog(const std::string& log, Outcome& o) {
  std::ifstream in(file::NativePath(log));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string op, note;
    int32_t id = -1;
    words >> op;
    if (op == "fail") {
      words >> op >> note;
      o.failedNotes.insert(note);
      ++o.failures;
      continue;
    }
    words >> id >> note;
    ++o.successes;
    if (op == "drop") {
      o.live.erase(id);
    } else {
      o.live[id] = note;
    }
  }
}

pid_t Spawn(const std::function<void()>& work) {
  pid_t pid = fork();
  if (pid == 0) {
    work();
    _exit(0);
  }
  return pid;
}

bool Exited(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// Each window's successes are stored with their own reports; what it was told failed
// left nothing. Ids are never given to both; a case another window did not touch is
// as it was.
TEST(CaseStoreSharing, TwoProcessesAddEditAndDeleteAtOnce) {
  constexpr int kWindows = 2, kSteps = 300;
  TempFolder t, logs;
  MakeProgramFolder(t);
  file::CreateDir(t.Path("bazi_f"));
  {
    MDataBase db;
    ASSERT_TRUE(db.Open(t.Dir(), 0));
    for (int i = 0; i < 40; ++i) {
      CaseRecord r = MakeCase(i);
      SetText(r.note, "early" + IntToStr(i));
      ASSERT_EQ(db.Add(r), i);
    }
    for (int i = 0; i < 40; i += 2)
      ASSERT_TRUE(db.Delete(i, db.Generation()));  // past the reuse mark: slots are given out again
  }
  auto started = std::chrono::steady_clock::now();
  std::vector<pid_t> pids;
  for (int w = 0; w < kWindows; ++w) {
    pids.push_back(Spawn([&, w] { Work(t, w, kSteps, logs.Path("w" + IntToStr(w))); }));
  }
  for (pid_t pid : pids) ASSERT_TRUE(Exited(pid));
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  Outcome all;
  std::set<int32_t> seen;
  for (int w = 0; w < kWindows; ++w) {
    Outcome o;
    ReadLog(logs.Path("w" + IntToStr(w)), o);
    for (const auto& [id, note] : o.live) {
      EXPECT_TRUE(seen.insert(id).second) << "id " << id << " given to two windows";
      all.live[id] = note;
    }
    all.failedNotes.insert(o.failedNotes.begin(), o.failedNotes.end());
    all.successes += o.successes;
    all.failures += o.failures;
  }
  for (int i = 1; i < 40; i += 2) all.live[i] = "early" + IntToStr(i);

  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0)) << gbk::ToUtf8(db.LastError());
  CaseCriteria every;
  std::vector<int32_t> ids;
  ASSERT_TRUE(db.Search(every, ids));
  std::map<int32_t, std::string> stored;
  for (int32_t id : ids) {
    CaseRecord r;
    ASSERT_TRUE(db.Read(id, r));
    stored[id] = FieldText(r.note);
    EXPECT_EQ(all.failedNotes.count(FieldText(r.note)), 0u) << "a failed add or edit was stored: " << id;
  }
  EXPECT_EQ(stored, all.live);
  for (const auto& [id, note] : all.live) {
    if (note.starts_with("early")) continue;
    EXPECT_EQ(ReadRaw(t.Path("bazi_f\\" + IntToStr(id) + ".rtf")), note) << "the report beside case " << id;
  }
  for (const std::string& name : file::List(t.Path("bazi_f"), ".rtf")) {
    EXPECT_TRUE(all.live.count(static_cast<int32_t>(StrToIntDef(name.substr(0, name.size() - 4), -1))))
        << "a report of no case: " << name;
  }
  EXPECT_FALSE(file::Exists(t.Path("dat\\bazi.jnl")));
  std::printf("%d windows, %d operations: %d told done, %d told failed, %.2f s\n", kWindows, kWindows * kSteps,
              all.successes, all.failures, seconds);
  RecordProperty("successes", all.successes);
  RecordProperty("failures", all.failures);
}

// Another window holds the history: every operation waits its bounded time, says so
// and changes nothing; once it lets go, the same store works again.
TEST(CaseStoreSharing, AWindowThatWaitsTooLongIsToldAndChangesNothing) {
  TempFolder t;
  MakeProgramFolder(t);
  file::CreateDir(t.Path("bazi_f"));
  {
    MDataBase db;
    ASSERT_TRUE(db.Open(t.Dir(), 0));
    for (int i = 0; i < 5; ++i) {
      CaseRecord r = MakeCase(i);
      ASSERT_EQ(db.Add(r), i);
    }
  }
  Picture before;
  ASSERT_TRUE(TakePicture(t, before));
  TempFolder other;
  WriteRaw(other.Path("bazi0.dat"), ReadRaw(DataPath(t, 0)));

  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0));
  db.SetLockWait(150);
  int fd = open(file::NativePath(t.Path("dat\\bazi.lck")).c_str(), O_RDWR | O_CREAT, 0666);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  const std::string busy = gbk::FromUtf8("另一个窗口正在使用历史记录");
  CaseRecord r = MakeCase(9), read;
  CaseCriteria every;
  std::vector<int32_t> ids;
  const std::vector<std::pair<const char*, std::function<bool()>>> ops = {
      {"add", [&] { return db.Add(r) >= 0; }},
      {"edit", [&] { return db.Write(1, r, db.Generation()); }},
      {"delete", [&] { return db.Delete(2, db.Generation()); }},
      {"read", [&] { return db.Read(1, read); }},
      {"search", [&] { return db.Search(every, ids); }},
      {"rename a category", [&] { return db.RenameCategory("c1", "x", db.Generation()); }},
      {"delete a category", [&] { return db.DeleteCategory("c1", db.Generation()); }},
      {"export", [&] { return db.Backup(other.Path("out\\")); }},
      {"import", [&] { return db.Restore(other.Path("bazi0.dat")); }},
      {"clear", [&] { return db.Clear(); }},
      {"open", [&] { return db.Open(t.Dir(), 0); }},
  };
  for (const auto& [name, op] : ops) {
    SCOPED_TRACE(name);
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(op());
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    EXPECT_NE(db.LastError().find(busy), std::string::npos) << gbk::ToUtf8(db.LastError());
    EXPECT_GE(ms, 140);
    EXPECT_LT(ms, 2000);
  }
  EXPECT_FALSE(file::DirExists(other.Path("out")));
  close(fd);
  Picture after;
  ASSERT_TRUE(TakePicture(t, after));
  EXPECT_EQ(after, before);
  EXPECT_EQ(db.Add(r), 5) << gbk::ToUtf8(db.LastError());
}

// The lock goes with a process that dies holding it.
TEST(CaseStoreSharing, ALockDiesWithItsHolder) {
  TempFolder t;
  MakeProgramFolder(t);
  int gate[2];
  ASSERT_EQ(pipe(gate), 0);
  pid_t pid = Spawn([&] {
    MDataBase db;
    db.SetFaultHook([&](int) {
      char c = 1;
      (void)!write(gate[1], &c, 1);
      pause();  // killed here, in the middle of the open's first write
      return true;
    });
    db.Open(t.Dir(), 0);
  });
  char c;
  ASSERT_EQ(read(gate[0], &c, 1), 1);
  MDataBase db;
  db.SetLockWait(100);
  EXPECT_FALSE(db.Open(t.Dir(), 0));
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(gate[0]);
  close(gate[1]);
  db.SetLockWait(2000);
  EXPECT_TRUE(db.Open(t.Dir(), 0)) << gbk::ToUtf8(db.LastError());
  CaseRecord r = MakeCase(1);
  EXPECT_EQ(db.Add(r), 0);
}

namespace {

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// The window that clears, imports other histories and restores its own earlier
// exports, `rounds` times. Before each it exports the live history, all at one moment
// under the lock, and lists it: "snap <generation> <start> <end>", then
// "case <id> <note> <report>" for each live case.
void Switcher(const TempFolder& t, const TempFolder& work, int rounds, const std::vector<std::string>& imports,
              const std::string& log) {
  std::ofstream out(file::NativePath(log));
  out << std::fixed;
  MDataBase db;
  db.SetLockWait(30000);
  if (!db.Open(t.Dir(), 0)) _exit(4);
  for (int round = 0; round <= rounds; ++round) {
    std::this_thread::sleep_for(std::chrono::milliseconds(3 + round % 7));
    std::string snap = work.Path(Format("snap%d\\", round));
    file::ForceDirectories(snap + "dat");
    double start = Now();
    if (db.GetCount() < 0 || !db.Backup(snap + "dat\\")) _exit(5);
    out << "snap " << db.Generation() << ' ' << start << ' ' << Now() << '\n';
    MDataBase seen;
    CaseCriteria every;
    std::vector<int32_t> ids;
    if (!seen.Open(snap, 0) || !seen.Search(every, ids)) _exit(6);
    seen.ReadMany(ids, [&](const CaseRecord& r) {
      std::string report = ReadRaw(snap + "dat\\bazi_f\\" + IntToStr(r.id) + ".rtf");
      out << "case " << r.id << ' ' << FieldText(r.note) << ' ' << (report.empty() ? "-" : report) << '\n';
    });
    if (round == rounds) break;
    bool ok = round % 3 == 0   ? db.Clear()
              : round % 3 == 1 ? db.Restore(imports[static_cast<size_t>(round / 3) % imports.size()])
                               : db.Restore(work.Path(Format("snap%d\\dat\\bazi0.dat", round - 1)));
    if (!ok) _exit(7);
    if (round >= 2) std::filesystem::remove_all(file::NativePath(work.Path(Format("snap%d", round - 2))));
  }
}

// One step of the other window, and what it was told:
// "<op> <id> <generation> <note> <start> <end> <done> <refused as replaced> <told>".
// Refused as replaced: the store refused it, or the read showed the list was stale.
struct Step {
  std::string op;
  int32_t id = -1;
  uint32_t generation = 0;
  std::string note;
  double start = 0, end = 0;
  bool done = false, replaced = false, told = false;
};

// A message for the user: in Chinese, so it holds a byte of a two-byte character.
bool ToldInChinese(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x81; });
}

// The other window adds, edits and deletes by the ids its list shows and saves the
// case it shows, as the main window does, until the switcher is done (`running`
// reads its end). A case's name is the note before "|": "b<step>" for the worker's
// own, "imp<history>-<id>" for an imported one; edits keep it. Every note written
// ends in "|g<generation the case was read in>"; a report is the note it was saved with.
void Worker(const TempFolder& t, int running, const std::string& log) {
  std::ofstream out(file::NativePath(log));
  out << std::fixed;
  MDataBase db;
  db.SetLockWait(30000);
  if (!db.Open(t.Dir(), 0)) _exit(4);
  std::map<int32_t, std::string> list;  // the window's list: id, note
  uint32_t listGeneration = 0;
  CaseRecord shown{};
  uint32_t shownGeneration = 0;
  bool showing = false;
  auto relist = [&] {
    CaseCriteria every;
    std::vector<int32_t> ids;
    list.clear();
    if (!db.Search(every, ids)) return;
    db.ReadMany(ids, [&](const CaseRecord& r) { list[r.id] = FieldText(r.note); });
    listGeneration = db.Generation();
  };
  auto note = [](const std::string& was, int i, uint32_t g) {
    return Format("%s|e%d|g%u", was.substr(0, was.find('|')).c_str(), i, g);
  };
  relist();
  pollfd end{running, POLLIN, 0};
  for (int i = 0; poll(&end, 1, 0) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(300));  // a user's pace, not a loop's
    Step s;
    s.start = Now();
    auto pick = [&](bool ownOnly) {
      std::vector<int32_t> ids;
      for (const auto& [id, n] : list) {
        if (!ownOnly || n.starts_with("b")) ids.push_back(id);
      }
      return ids.empty() ? -1 : ids[static_cast<size_t>(i * 7) % ids.size()];
    };
    int kind = i % 6;
    if (kind == 0 || (kind >= 2 && list.empty())) {
      s.op = "add";
      CaseRecord r = MakeCase(i);
      SetText(r.note, Format("b%d", i));
      s.id = db.Add(r);
      s.generation = db.Generation();
      s.note = Format("b%d|g%u", i, s.generation);
      SetText(r.note, s.note);
      s.done = s.id >= 0 && db.WriteReport(s.id, s.note, s.generation) && db.Write(s.id, r, s.generation);
    } else if (kind == 1) {
      s.op = "list";
      relist();
      s.generation = listGeneration;
      s.done = true;
    } else if (kind == 2 && (s.id = pick(false)) >= 0) {
      s.op = "view";
      bool read = db.Read(s.id, shown);
      s.replaced = db.Generation() != listGeneration;
      s.done = showing = read && !s.replaced;
      shownGeneration = s.generation = listGeneration;
    } else if (kind == 3 && showing) {
      // The shown case saved: report first, then the record; refused as replaced, it is
      // saved as a new case.
      s.op = "save";
      s.id = shown.id;
      s.generation = shownGeneration;
      s.note = note(FieldText(shown.note), i, shownGeneration);
      SetText(shown.note, s.note);
      s.done = db.WriteReport(s.id, s.note, s.generation) && db.Write(s.id, shown, s.generation);
      s.replaced = db.Replaced();
      if (s.replaced) {
        out << "save " << s.id << ' ' << s.generation << ' ' << s.note << ' ' << s.start << ' ' << Now() << " 0 1 "
            << ToldInChinese(db.LastError()) << '\n';
        s.op = "saveasnew";
        CaseRecord r = shown;
        s.id = db.Add(r);
        s.generation = db.Generation();
        s.note = Format("b%d|g%u", i, s.generation);
        SetText(r.note, s.note);
        s.done = s.id >= 0 && db.WriteReport(s.id, s.note, s.generation) && db.Write(s.id, r, s.generation);
        s.replaced = false;
        showing = s.done;
        shown = r;
        shownGeneration = s.generation;
      }
    } else if (kind == 4 && (s.id = pick(false)) >= 0) {
      s.op = "edit";
      CaseRecord r;
      s.generation = listGeneration;
      s.note = note(list[s.id], i, listGeneration);
      bool read = db.Read(s.id, r);
      s.replaced = db.Generation() != listGeneration;
      if (read && !s.replaced) {
        SetText(r.note, s.note);
        s.done = db.Write(s.id, r, s.generation);
      }
    } else if (kind == 5 && (s.id = pick(true)) >= 0) {
      s.op = "drop";
      s.generation = listGeneration;
      s.done = db.Delete(s.id, s.generation);
      if (s.done) list.erase(s.id);
    } else {
      continue;
    }
    s.end = Now();
    if (!s.done) s.replaced = s.replaced || db.Replaced();
    // A stale list is told by the window itself, which lists the cases anew.
    bool told = s.done || ToldInChinese(db.LastError()) || ((s.op == "view" || s.op == "edit") && s.replaced);
    out << s.op << ' ' << s.id << ' ' << s.generation << ' ' << (s.note.empty() ? "-" : s.note) << ' ' << s.start << ' '
        << s.end << ' ' << s.done << ' ' << s.replaced << ' ' << told << '\n';
    if (!s.done) relist();  // a window that was refused reads its list anew
  }
}

}  // namespace

// One window clears, imports and restores 200 times while the other adds, edits,
// deletes and saves its shown case. Each export the switcher takes holds every case
// the other was told it stored in that history before the export began, with what it
// was last told, and nothing from another history: no note carries another
// generation, no imported case is lost or has another's name. Every refusal is told.
TEST(CaseStoreSharing, ClearImportAndRestoreAgainstEditsInAnotherWindow) {
  constexpr int kRounds = 200;
  TempFolder t, work, logs;
  MakeProgramFolder(t);
  file::CreateDir(t.Path("bazi_f"));
  std::vector<std::string> imports;  // each history's cases: notes and reports "imp<k>-<id>"
  for (int k = 0; k < 3; ++k) {
    TempFolder source;
    MakeProgramFolder(source);
    file::CreateDir(source.Path("bazi_f"));
    MDataBase db;
    ASSERT_TRUE(db.Open(source.Dir(), 0));
    for (int j = 0; j < 8; ++j) {
      CaseRecord r = MakeCase(j);
      SetText(r.note, Format("imp%d-%d", k, j));
      ASSERT_EQ(db.Add(r), j);
      WriteRaw(source.Path("bazi_f\\" + IntToStr(j) + ".rtf"), Format("imp%d-%d", k, j));
    }
    imports.push_back(work.Path(Format("import%d\\bazi0.dat", k)));
    file::CreateDir(work.Path(Format("import%d", k)));
    ASSERT_TRUE(db.Backup(work.Path(Format("import%d\\", k))));
  }
  int running[2];
  ASSERT_EQ(pipe(running), 0);
  pid_t a = Spawn([&] {
    close(running[0]);
    Switcher(t, work, kRounds, imports, logs.Path("a"));
  });
  pid_t b = Spawn([&] {
    close(running[1]);
    Worker(t, running[0], logs.Path("b"));
  });
  close(running[0]);
  close(running[1]);
  ASSERT_TRUE(Exited(a));
  ASSERT_TRUE(Exited(b));

  struct Snap {
    uint32_t generation;
    double start, end;
    std::map<int32_t, std::pair<std::string, std::string>> cases;  // id: note, report
  };
  std::vector<Snap> snaps;
  {
    std::ifstream in(file::NativePath(logs.Path("a")));
    std::string word;
    while (in >> word) {
      if (word == "snap") {
        snaps.emplace_back();
        in >> snaps.back().generation >> snaps.back().start >> snaps.back().end;
      } else {
        int32_t id;
        std::string n, report;
        in >> id >> n >> report;
        snaps.back().cases[id] = {n, report};
      }
    }
  }
  ASSERT_EQ(snaps.size(), static_cast<size_t>(kRounds + 1));
  std::vector<Step> steps;
  {
    std::ifstream in(file::NativePath(logs.Path("b")));
    Step s;
    while (in >> s.op >> s.id >> s.generation >> s.note >> s.start >> s.end >> s.done >> s.replaced >> s.told) {
      steps.push_back(s);
    }
  }
  int done = 0, refused = 0, failed = 0, told = 0;
  for (const Step& s : steps) {
    if (s.op == "list") continue;
    done += s.done;
    refused += !s.done && s.replaced;
    failed += !s.done && !s.replaced;
    told += !s.done && s.told;
    EXPECT_TRUE(s.done || s.told) << s.op << ' ' << s.id << " failed untold";
  }
  EXPECT_EQ(failed, 0) << "a failure for another reason than a replaced history";

  auto name = [](const std::string& text) { return text.substr(0, text.find('|')); };
  auto tag = [](const std::string& text) {
    size_t g = text.rfind("|g");
    return g == std::string::npos ? std::string() : text.substr(g + 2);
  };
  std::set<uint32_t> generations;
  std::vector<std::set<std::string>> tags(snaps.size());
  for (size_t n = 0; n < snaps.size(); ++n) {
    const Snap& snap = snaps[n];
    SCOPED_TRACE(Format("export %d, generation %u", static_cast<int>(n), snap.generation));
    EXPECT_TRUE(generations.insert(snap.generation).second) << "every switch made a new generation";
    // Notes may name this generation, or any the restored export held.
    tags[n] = {"", IntToStr(static_cast<int32_t>(snap.generation))};
    if (n >= 3 && n % 3 == 0) tags[n].insert(tags[n - 2].begin(), tags[n - 2].end());
    // What the worker was told it did in this history, case by case: the notes each
    // case may show, the last one before the export began and any that came after.
    std::map<int32_t, std::set<std::string>> may;
    std::set<int32_t> known;  // cases the worker was told of before the export began
    for (const Step& s : steps) {
      // An add stores its case before it writes the report and the note with the
      // generation: cut short by a switch, it leaves the case under its name alone.
      bool added = (s.op == "add" || s.op == "saveasnew") && s.id >= 0;
      if ((!s.done && !added) || s.generation != snap.generation || s.op == "list" || s.op == "view" ||
          s.start > snap.end) {
        continue;
      }
      if (s.end < snap.start) {
        may[s.id].clear();
        known.insert(s.id);
      }
      may[s.id].insert(s.op == "drop" ? "-" : s.done ? s.note : name(s.note));
      if (added && s.end >= snap.start) may[s.id].insert(name(s.note));
    }
    for (const auto& [id, notes] : may) {
      if (!known.count(id)) continue;  // the case as it was before can show too
      auto it = snap.cases.find(id);
      std::string shows = it == snap.cases.end() ? "-" : it->second.first;
      EXPECT_TRUE(notes.count(shows)) << "case " << id << " shows " << shows << ", not one of "
                                      << testing::PrintToString(notes) << ": lost or overwritten";
    }
    for (const auto& [id, c] : snap.cases) {
      const auto& [note, report] = c;
      EXPECT_TRUE(tags[n].count(tag(note))) << "case " << id << " was written from another history: " << note;
      tags[n].insert(tag(note));
      if (note.starts_with("imp")) {
        EXPECT_EQ(name(note).substr(name(note).find('-') + 1), IntToStr(id)) << "an imported case under another id";
      }
      if (report == "-") {
        EXPECT_TRUE(may.count(id) || tag(note).empty()) << "case " << id << " has no report";
      } else {
        EXPECT_EQ(name(report), name(note)) << "case " << id << " has another case's report";
        EXPECT_TRUE(tags[n].count(tag(report))) << "case " << id << " has a report from another history: " << report;
      }
    }
    // Imported cases are never deleted by the worker: after an import all are there.
    if (n % 3 == 2) {
      for (int32_t id = 0; id < 8; ++id) EXPECT_TRUE(snap.cases.count(id)) << "imported case " << id << " lost";
    }
  }
  std::printf(
      "%d rounds, %zu exports checked; the other window: %d operations done, %d refused (the history was "
      "replaced), %d other failures, %d of the refusals told\n",
      kRounds, snaps.size(), done, refused, failed, told);
  RecordProperty("done", done);
  RecordProperty("refused", refused);
}
