// Backup, restore and clear of the whole history.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "CaseStoreSupport.h"
#include "cases/Database.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

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

namespace {

// Every live case of the store gets this note, so that two histories tell apart.
void NoteAll(const TempFolder& t, const std::string& note) {
  MDataBase db;
  ASSERT_TRUE(db.Open(t.Dir(), 0));
  CaseCriteria every;
  std::vector<int32_t> ids;
  ASSERT_TRUE(db.Search(every, ids));
  for (int32_t id : ids) {
    CaseRecord r;
    ASSERT_TRUE(db.Read(id, r));
    SetText(r.note, note);
    ASSERT_TRUE(db.Write(id, r, db.Generation()));
  }
}

void ExportTo(const TempFolder& home, const TempFolder& dest) {
  MDataBase db;
  ASSERT_TRUE(db.Open(home.Dir(), 0));
  ASSERT_TRUE(db.Backup(dest.Dir()));
}

}  // namespace

// Window b holds case 3 and the ids it listed while window a clears, imports another
// history or restores an earlier one. b goes on in the new history at once; nothing it
// read before lands in it: not the shown case, its report, a deletion or a category
// change by the old ids. Each refusal says why and names the history.
TEST(CaseBackup, AnotherWindowsSwitchIsSeenAndNothingStaleLandsInIt) {
  const std::string replaced = gbk::FromUtf8("已被另一个窗口清除或替换");
  for (const char* kind : {"clear", "import", "restore"}) {
    SCOPED_TRACE(kind);
    TempFolder home, earlier, source, other;
    FillStore(home, 5);
    FillStore(source, 7);
    NoteAll(source, "imported");
    ExportTo(source, other);
    MDataBase a, b;
    ASSERT_TRUE(a.Open(home.Dir(), 0));
    ASSERT_TRUE(b.Open(home.Dir(), 0));
    ASSERT_TRUE(a.Backup(earlier.Dir()));
    NoteAll(home, "after the export");

    CaseRecord shown;
    ASSERT_TRUE(b.Read(3, shown));
    uint32_t seen = b.Generation();
    SetText(shown.note, "stale");
    bool ok = kind == std::string("clear")    ? a.Clear()
              : kind == std::string("import") ? a.Restore(other.Path("bazi0.dat"))
                                              : a.Restore(earlier.Path("bazi0.dat"));
    ASSERT_TRUE(ok) << gbk::ToUtf8(a.LastError());
    Picture switched;
    ASSERT_TRUE(TakePicture(home, switched));
    std::string report3 = ReadRaw(home.Path("bazi_f\\3.rtf"));

    const std::vector<std::pair<const char*, std::function<bool()>>> stale = {
        {"save the shown case", [&] { return b.Write(3, shown, seen); }},
        {"its report", [&] { return b.WriteReport(3, "stale report", seen); }},
        {"delete", [&] { return b.Delete(3, seen); }},
        {"rename a category", [&] { return b.RenameCategory("c0", "x", seen); }},
        {"delete a category", [&] { return b.DeleteCategory("c0", seen); }},
    };
    for (const auto& [name, op] : stale) {
      SCOPED_TRACE(name);
      EXPECT_FALSE(op());
      EXPECT_TRUE(b.Replaced());
      EXPECT_NE(b.LastError().find(replaced), std::string::npos) << gbk::ToUtf8(b.LastError());
      EXPECT_NE(b.LastError().find(DataPath(home, 0)), std::string::npos) << gbk::ToUtf8(b.LastError());
    }
    Picture after;
    ASSERT_TRUE(TakePicture(home, after));
    EXPECT_EQ(after, switched);
    EXPECT_EQ(ReadRaw(home.Path("bazi_f\\3.rtf")), report3);

    // Both windows go on in the new history.
    int32_t count = static_cast<int32_t>(switched.slots.size());
    EXPECT_EQ(b.GetCount(), count) << gbk::ToUtf8(b.LastError());
    CaseRecord r = MakeCase(90);
    EXPECT_EQ(b.Add(r), count) << gbk::ToUtf8(b.LastError());
    EXPECT_EQ(a.Add(r), count + 1) << gbk::ToUtf8(a.LastError());
    ASSERT_TRUE(b.Read(count, r));
    SetText(r.note, "fresh");
    EXPECT_TRUE(b.Write(count, r, b.Generation())) << gbk::ToUtf8(b.LastError());
    EXPECT_TRUE(b.WriteReport(count, "fresh report", b.Generation())) << gbk::ToUtf8(b.LastError());
    EXPECT_FALSE(b.Replaced());
    EXPECT_EQ(ReadRaw(home.Path("bazi_f\\" + IntToStr(count) + ".rtf")), "fresh report");
  }
}

namespace {

#ifdef _WIN32
// Under Wine a link is made as a user there would make one, by the system's ln: Wine
// shows a Unix link to a folder as a reparse point. On Windows it is a junction.
bool RunLinkCommand(const std::string& verb, const std::string& target, const std::string& link) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  auto quoted = [&](const std::string& path) {
    char* name = unixName(gbk::ToWide(path).c_str());
    std::string q = Format("\"%s\"", gbk::FromUtf8(name ? name : "").c_str());
    HeapFree(GetProcessHeap(), 0, name);
    return q;
  };
  std::string command = !unixName      ? "cmd /c " + (verb == "ln" ? "mklink /J \"" + link + "\" \"" + target + "\""
                                                                   : "rmdir \"" + link + "\"")
                        : verb == "ln" ? "Z:\\bin\\ln -s " + quoted(target) + " " + quoted(link)
                                       : "Z:\\bin\\rm -f " + quoted(link);
  std::wstring line = gbk::ToWide(command);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  // Wine lets the handle go before the Unix program is done.
  for (int i = 0; i < 500 && file::IsLink(link) != (verb == "ln"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return file::IsLink(link) == (verb == "ln");
}

bool MakeLink(const std::string& target, const std::string& link) { return RunLinkCommand("ln", target, link); }
void DropLink(const std::string& link) {
  if (file::IsLink(link)) RunLinkCommand("rm", "", link);
}
#else
bool MakeLink(const std::string& target, const std::string& link) {
  return symlink(file::NativePath(target).c_str(), file::NativePath(link).c_str()) == 0;
}
void DropLink(const std::string& link) { unlink(file::NativePath(link).c_str()); }
#endif

}  // namespace

// A link or junction at any name the store removes, moves or empties: what it leads
// to is never touched. The link is removed as a link, or the operation is refused
// before it touches anything and names the link. (Wine cannot remove a link to a
// folder through the system, so there the refusals are the rule.)
TEST(CaseBackup, NothingIsReachedThroughALink) {
  struct Row {
    const char* name;
    std::string link;    // relative to the program folder ("home") or the export folder ("dest")
    std::string target;  // "outside", "dat" or "bazi_f" (the program's)
    bool refused;        // on every system
    bool keepsHistory;   // the operation leaves the live history as it is
    std::function<bool(MDataBase&, const TempFolder& dest, const TempFolder& other)> run;
  };
  auto exportIt = [](MDataBase& db, const TempFolder& dest, const TempFolder&) { return db.Backup(dest.Dir()); };
  auto openIt = [](MDataBase& db, const TempFolder&, const TempFolder&) { return db.GetCount() >= 0; };
  auto importIt = [](MDataBase& db, const TempFolder&, const TempFolder& o) { return db.Restore(o.Path("bazi0.dat")); };
  auto clearIt = [](MDataBase& db, const TempFolder&, const TempFolder&) { return db.Clear(); };
  std::vector<Row> rows = {
      {"export over a stage that leads to the program's data", "dest:bazi.new", "dat", false, true, exportIt},
      {"export over an old export that leads to the reports", "dest:bazi.old", "bazi_f", false, true, exportIt},
      {"open beside an old history that leads outside", "home:dat\\bazi.old", "outside", false, true, openIt},
      {"open beside a ready stage that leads outside", "home:dat\\bazi.new", "outside", false, true, openIt},
      {"clear of reports with a folder that leads outside", "home:bazi_f\\notes", "outside", false, false, clearIt},
      {"import over a report folder that is a link", "home:bazi_f", "outside", true, false, importIt},
      {"export over a report folder that is a link", "dest:bazi_f", "outside", true, true, exportIt},
  };
#ifndef _WIN32
  // Wine shows a link to a file as the file itself.
  rows.push_back({"export over a data file that is a link", "dest:bazi1.dat", "outside\\a.txt", true, true, exportIt});
#endif
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempFolder home, dest, source, other, outside;
    FillStore(home, 4);
    FillStore(source, 6);
    ExportTo(source, other);
    Picture before;
    ASSERT_TRUE(TakePicture(home, before));
    WriteRaw(outside.Path("a.txt"), "outside a");
    WriteRaw(outside.Path("ready"), "");
    WriteRaw(outside.Path("bazi0.dat"), ReadRaw(other.Path("bazi0.dat")));
    file::CreateDir(outside.Path("inner"));
    WriteRaw(outside.Path("inner\\1.rtf"), "outside report");
    std::string target = row.target == "dat"      ? home.Path("dat")
                         : row.target == "bazi_f" ? home.Path("bazi_f")
                                                  : outside.Path(row.target.substr(std::string("outside").size()));
    bool atHome = row.link.starts_with("home:");
    std::string link = (atHome ? home : dest).Path(row.link.substr(5));
    if (row.link == "home:bazi_f") std::filesystem::remove_all(file::NativePath(link));
    ASSERT_TRUE(MakeLink(target, link)) << link;
    auto outsideBefore = Look(outside.Dir());
    auto datBefore = Look(home.Path("dat\\")), reportsBefore = Look(home.Path("bazi_f\\"));

    MDataBase db;
    bool ok = db.Open(home.Dir(), 0) && row.run(db, dest, other);
    std::printf("%s: %s\n", row.name, ok ? "done" : gbk::ToUtf8(db.LastError()).c_str());
    EXPECT_EQ(Look(outside.Dir()), outsideBefore);
    if (row.target == "dat") {
      EXPECT_EQ(Look(home.Path("dat\\")), datBefore);
    } else if (row.target == "bazi_f") {
      EXPECT_EQ(Look(home.Path("bazi_f\\")), reportsBefore);
    }
    if (!ok) {
      EXPECT_NE(db.LastError().find(link), std::string::npos) << gbk::ToUtf8(db.LastError());
    }
    if (!ok || row.keepsHistory) {
      Picture after;
      ASSERT_TRUE(TakePicture(home, after));
      EXPECT_EQ(after, before);
    }
#ifdef _WIN32
    if (row.refused) {
      EXPECT_FALSE(ok);
    }
#else
    EXPECT_EQ(ok, !row.refused) << gbk::ToUtf8(db.LastError());
    if (!row.refused) {
      EXPECT_FALSE(file::IsLink(link)) << "a link is removed as a link";
    }
#endif
    DropLink(link);
  }
}
