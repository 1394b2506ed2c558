// Whole histories: export, import and clear. A new history is put together in the
// folder "bazi.new" beside the data files it is to replace, all of it: data files and
// a report folder. Then the file "ready" is made in it, and from that moment the new
// history counts: the old files are moved into "bazi.old", the new ones into place,
// data file 0 last, and the two folders go. Whoever finds "ready" (the next Open, the
// next export to that folder) finishes the move; whoever finds "bazi.new" without it
// throws the unfinished copy away. So a crash leaves the old history or the new one.
// A new history in the program's folder gets the next generation in its header before
// it is marked ready, so every window sees that it changed.
#include <ctime>

#include "cases/Database.h"
#include "cases/DatabaseInternal.h"
#include "classlib/Files.h"
#include "classlib/StrUtils.h"

using namespace casestore;

namespace {

constexpr const char* kReady = "ready";

}  // namespace

std::string MDataBase::StageFolder(const Home& h) const { return h.dataFolder + kindName_ + ".new\\"; }

std::string MDataBase::OldFolder(const Home& h) const { return h.dataFolder + kindName_ + ".old\\"; }

bool MDataBase::CopyFile(const std::string& from, const std::string& to) {
  std::FILE* in = file::Open(from, "rb");
  if (!in) return FailUtf8("无法打开文件%s：%s", from.c_str(), file::LastReason().c_str());
  std::FILE* out = FsOpen(to, "wb");
  if (!out) {
    std::fclose(in);
    return false;
  }
  // A data file in a few writes, a report in one.
  std::vector<char> buf(static_cast<size_t>(std::clamp<int64_t>(file::Size(from), 4096, 8 << 20)));
  bool ok = true;
  size_t n;
  while (ok && (n = std::fread(buf.data(), 1, buf.size(), in)) > 0) ok = Put(out, buf.data(), n, to);
  if (ok && std::ferror(in)) ok = FailUtf8("无法读出文件%s。", from.c_str());
  ok = Close(out, to, ok && FlushToDisk(out, to));
  std::fclose(in);
  return ok;
}

// A folder with everything in it. A link, the folder itself or anything in it, is
// removed as a link: what it leads to is no part of the folder.
bool MDataBase::RemoveTree(const std::string& folder) {
  if (file::IsLink(folder)) return ClearLink(folder);
  if (!file::DirExists(folder)) return true;
  std::string dir = IncludeTrailingBackslash(folder);
  for (const std::string& name : file::ListLinks(dir)) {
    if (!ClearLink(dir + name)) return false;
  }
  for (const std::string& name : file::ListFolders(dir)) {
    if (!RemoveTree(dir + name)) return false;
  }
  for (const std::string& name : file::List(dir, "")) {
    if (!FsDelete(dir + name)) return false;
  }
  return FsRemoveDir(dir);
}

// Tidying after a switch, when nothing depends on it any more: what cannot be removed
// (a file held open elsewhere, or one that may not be deleted) is moved out of the way
// under another name and told, so that it stands in the way of no later switch.
void MDataBase::ClearAway(const std::string& folder) {
  if (RemoveTree(folder)) return;
  std::string why = lastError_, name = folder;
  while (!name.empty() && ExtractFileName(name).empty()) name.pop_back();
  for (int i = 1; i < 1000 && !file::IsLink(name); ++i) {
    std::string aside = name + ".left" + (i == 1 ? std::string() : IntToStr(i));
    if (file::DirExists(aside) || file::Exists(aside)) continue;
    if (FsRenameDir(folder, aside)) {
      Note(Format(gbk::U("无法删除%s：%s。它已改名为%s，可以自行删除。").c_str(), name.c_str(), why.c_str(),
                  aside.c_str()));
      return;
    }
    break;
  }
  Note(Format(gbk::U("无法删除%s：%s。请自行删除。").c_str(), name.c_str(), why.c_str()));
}

bool MDataBase::ClearLink(const std::string& path) {
  if (!Allowed(path)) return false;
  if (file::RemoveLink(path)) return true;
  writeFailed_ = true;
  return FailUtf8("无法删除链接%s：%s", path.c_str(), file::LastReason().c_str());
}

// A stage behind a link was never made by a switch: its "ready" is no switch's.
bool MDataBase::SwitchBegun(const Home& h) const {
  return !file::IsLink(StageFolder(h)) && file::Exists(StageFolder(h) + kReady);
}

bool MDataBase::SettleSwitch(const Home& h) {
  if (SwitchBegun(h)) return RollForward(h);
  ClearAway(StageFolder(h));
  ClearAway(OldFolder(h));
  return true;
}

// A new switch needs both folders free; one left by an earlier switch that could be
// neither removed nor moved aside is the user's to remove. Nothing the switch moves
// may be a link: it is refused before anything is touched.
bool MDataBase::ReadyToStage(const Home& h) {
  for (const std::string& folder : {StageFolder(h), OldFolder(h)}) {
    if (!NotALink(folder)) return false;
    if (file::DirExists(folder) || file::Exists(folder)) {
      return FailUtf8("文件夹%s无法删除，请先自行删除它。", folder.c_str());
    }
  }
  for (const std::string& name : file::ListLinks(h.dataFolder)) {
    if (SameText(std::string_view(name).substr(0, kindName_.size()), kindName_) && !NotALink(h.dataFolder + name)) {
      return false;
    }
  }
  return NotALink(h.reportFolder);
}

// Copies a whole history into the stage folder: data file 0 from firstFile and files 1
// to files - 1 from beside it, and the reports of fromReports, if it is a folder. The
// stage gets a report folder whenever either side has one, so that reports the new
// history lacks go with the old one.
bool MDataBase::Stage(const Home& to, const std::string& firstFile, const std::string& fromReports, int32_t files) {
  std::string stage = StageFolder(to);
  if (!FsCreateDir(stage)) return false;
  for (int32_t n = 0; n < files; ++n) {
    std::string from = n == 0 ? firstFile : ExtractFilePath(firstFile) + DataName(n);
    if (!CopyFile(from, stage + DataName(n))) return false;
  }
  bool reports = !fromReports.empty() && file::DirExists(fromReports);
  if (!reports && !file::DirExists(to.reportFolder)) return true;
  std::string into = stage + kindName_ + "_f\\";
  if (!FsCreateDir(into)) return false;
  if (!reports) return true;
  std::string from = IncludeTrailingBackslash(fromReports);
  for (const std::string& name : file::List(from, ".rtf")) {
    if (!CopyFile(from + name, into + name)) return false;
  }
  return true;
}

bool MDataBase::Switch(const Home& h) {
  std::FILE* f = FsOpen(StageFolder(h) + kReady, "wb");
  if (!f) return false;
  std::fclose(f);
  return RollForward(h);
}

// Each step looks at what is still staged, so it can be run again after a crash.
bool MDataBase::RollForward(const Home& h) {
  std::string stage = StageFolder(h), old = OldFolder(h);
  std::string first = stage + DataName(0);
  if (file::Exists(first)) {
    CaseFileHeader nh{};
    if (!ReadHeaderFrom(first, nh)) return false;
    if (nh.count < 0 || nh.count > kMaxCases) return FailUtf8("%s的文件头已经损坏。", first.c_str());
    int32_t files = ExpectedFileCount(nh.count);
    if ((file::IsLink(old) && !ClearLink(old)) || !FsCreateDir(old)) return false;
    for (int32_t n = 1; n < files; ++n) {
      if (!MoveIn(h, DataName(n))) return false;
    }
    for (int32_t n = files; n < kMaxFiles && file::Exists(h.dataFolder + DataName(n)); ++n) {
      if (!MoveAside(h, DataName(n))) return false;
    }
    // Unfinished changes of the old history go with it.
    for (const char* suffix : {".jnl", ".jnl.tmp", ".op", ".op.tmp"}) {
      if (file::Exists(h.dataFolder + kindName_ + suffix) && !MoveAside(h, kindName_ + suffix)) return false;
    }
    std::string staged = stage + kindName_ + "_f";
    if (file::DirExists(staged)) {
      if (file::DirExists(h.reportFolder) && !FsRenameDir(h.reportFolder, old + kindName_ + "_f")) return false;
      if (!FsRenameDir(staged, h.reportFolder)) return false;
    }
    if (!MoveIn(h, DataName(0))) return false;
  }
  // The new history is in place: what is left is tidying.
  FsDelete(stage + kReady);
  ClearAway(stage);
  ClearAway(old);
  return true;
}

bool MDataBase::MoveIn(const Home& h, const std::string& name) {
  std::string staged = StageFolder(h) + name, target = h.dataFolder + name;
  if (!file::Exists(staged)) return true;
  if (file::Exists(target) && !FsRename(target, OldFolder(h) + name)) return false;
  return FsRename(staged, target);
}

bool MDataBase::MoveAside(const Home& h, const std::string& name) {
  return FsRename(h.dataFolder + name, OldFolder(h) + name);
}

namespace {

// The folder above path, "" at the top.
std::string Parent(std::string path) {
  while (!path.empty() && ExtractFileName(path).empty()) path.pop_back();
  return ExtractFilePath(path);
}

}  // namespace

// An export into the program folder would make the live data files and report folder
// its own, and its switch would carry the live reports off into "bazi.old"; one inside
// "dat" or the report folder would copy the history into itself. Links and other
// spellings of those folders are the same folders.
bool MDataBase::OutsideLiveHistory(const std::string& destination) {
  Home live = ProgramHome();
  if (file::SameEntry(destination, baseFolder_) || file::SameEntry(destination + kindName_ + "_f", live.reportFolder) ||
      file::SameEntry(destination + DataName(0), firstFile_)) {
    return FailUtf8("不能导出到软件自己的文件夹%s，请另选一个文件夹。", destination.c_str());
  }
  for (std::string p = destination; !p.empty(); p = Parent(p)) {
    if (file::SameEntry(p, live.dataFolder) || file::SameEntry(p, live.reportFolder)) {
      return FailUtf8("不能导出到历史记录自己的文件夹%s里，请另选一个文件夹。", p.c_str());
    }
  }
  return true;
}

// Whether the history is still the one this window last opened.
bool MDataBase::SameHistory() {
  CaseFileHeader h{};
  return !SwitchBegun(ProgramHome()) && ReadHeaderFrom(firstFile_, h) && h.generation == generation_;
}

// One past the live history's; a history whose header cannot be read gets one from the
// clock, which no window can have seen.
uint32_t MDataBase::NextGeneration() {
  CaseFileHeader h{};
  return ReadHeaderFrom(firstFile_, h) ? h.generation + 1 : static_cast<uint32_t>(std::time(nullptr));
}

bool MDataBase::SetGeneration(const std::string& firstFile, uint32_t generation) {
  std::FILE* f = FsOpen(firstFile, "r+b");
  if (!f) return false;
  bool ok = std::fseek(f, offsetof(CaseFileHeader, generation), SEEK_SET) == 0 &&
            Put(f, &generation, sizeof generation, firstFile) && FlushToDisk(f, firstFile);
  return Close(f, firstFile, ok);
}

bool MDataBase::Backup(std::string_view destination) {
  notice_.clear();
  Held lock(*this);
  if (!Prepare(lock, false)) return false;
  std::string dest = IncludeTrailingBackslash(destination);
  if (!OutsideLiveHistory(dest)) return false;
  Home to{dest, dest + kindName_ + "_f"};
  if (!SettleSwitch(to) || !ReadyToStage(to)) return false;
  if (!Stage(to, firstFile_, ReportFolder(), header_.fileCount)) {
    std::string keep = lastError_;
    RemoveTree(StageFolder(to));
    return Fail(keep);
  }
  return Switch(to);
}

// The picked file is data file 0 and is checked like one, with the files beside it,
// before anything is copied. Once the new history is marked ready it counts: a move
// cut short is finished by the next operation or start.
bool MDataBase::Restore(std::string_view path) {
  notice_.clear();
  if (kindName_.empty()) return FailUtf8("历史记录还没有打开。");
  Held lock(*this);
  if (!lock.held) return false;
  std::string from(path), folder = ExtractFilePath(path);
  if (file::Exists(folder + kindName_ + ".new\\" + kReady)) {
    return FailUtf8("%s里的历史记录没有导出完，不能导入。", folder.c_str());
  }
  CaseFileHeader h{};
  if (!ReadHeaderFrom(from, h) || !CheckHeader(h, from, folder + kindName_)) return false;
  Home home = ProgramHome();
  if (!SettleSwitch(home) || !ReadyToStage(home)) return false;
  if (!Stage(home, from, folder + kindName_ + "_f", h.fileCount) ||
      !SetGeneration(StageFolder(home) + DataName(0), NextGeneration())) {
    std::string keep = lastError_;
    RemoveTree(StageFolder(home));
    return Fail(keep);
  }
  return SwitchIn(home);
}

// The cleared history is switched in like any other: an empty data file 0 and, when
// there was one, an empty report folder. Works on a store that refuses to open.
bool MDataBase::Clear() {
  notice_.clear();
  if (kindName_.empty()) return FailUtf8("历史记录还没有打开。");
  Held lock(*this);
  if (!lock.held) return false;
  Home home = ProgramHome();
  if (!SettleSwitch(home) || !ReadyToStage(home)) return false;
  CaseFileHeader h{};
  h.kind = kind_;
  h.fileCount = 1;
  h.generation = NextGeneration();
  std::string stage = StageFolder(home);
  bool ok = FsCreateDir(stage) &&
            WriteWhole(stage + DataName(0), std::string_view(reinterpret_cast<const char*>(&h), sizeof h)) &&
            Stage(home, "", "", 0);
  if (!ok) {
    std::string keep = lastError_;
    RemoveTree(stage);
    return Fail(keep);
  }
  return SwitchIn(home);
}

// Switch for the program's own history: marked ready, the new history counts even when
// moving it into place is cut short, since the next operation or start finishes that.
// Either way the store is opened and checked anew by the next operation.
bool MDataBase::SwitchIn(const Home& h) {
  if (!Switch(h)) {
    if (!file::Exists(StageFolder(h) + kReady)) return false;
    Note(Format(gbk::U("新的历史记录还没有完全放好（%s），下次启动软件时会放好。").c_str(), lastError_.c_str()));
  }
  access_ = Access::Pending;
  return true;
}
