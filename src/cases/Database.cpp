#include "cases/Database.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "cases/DatabaseInternal.h"
#include "classlib/Files.h"
#include "classlib/StrUtils.h"

using namespace casestore;

namespace {

// Short names of the case kinds, used in every file and folder name.
constexpr const char* kKindNames[] = {"bazi"};

// Journal: "TJNL", uint32 change count, then per change int32 file, int64 offset,
// uint32 length and the bytes; last a uint32 FNV-1a sum of everything before it. File
// -1 with no bytes stands for the report of the case whose id is the offset, to delete.
constexpr char kJournalMagic[4] = {'T', 'J', 'N', 'L'};
constexpr uint32_t kMaxChanges = kChunk + 2;  // the records, the header, a report

uint32_t Checksum(std::string_view bytes) {
  uint32_t h = 2166136261u;
  for (unsigned char c : bytes) h = (h ^ c) * 16777619u;
  return h;
}

template <class T>
void Append(std::string& out, T value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Reads a T at pos, moving pos on; false when the bytes run out.
template <class T>
bool Take(std::string_view in, size_t& pos, T& value) {
  if (in.size() - pos < sizeof value) return false;
  std::memcpy(&value, in.data() + pos, sizeof value);
  pos += sizeof value;
  return true;
}

// Contains, matching only where a character starts, so half of one character and half
// of the next never pass for a third.
bool ContainsText(std::string_view field, std::string_view want) {
  if (want.empty()) return true;
  for (size_t i = 0; i + want.size() <= field.size(); i += gbk::CharLength(field, i)) {
    if (field.compare(i, want.size(), want) == 0) return true;
  }
  return false;
}

template <size_t N, size_t M>
bool TextMatches(uint8_t mode, const char (&field)[N], const char (&want)[M]) {
  if (mode == 1) return ContainsText(FieldText(field), FieldText(want));
  if (mode == 2) return FieldText(field) == FieldText(want);
  return true;
}

bool Matches(const CaseCriteria& c, const CaseRecord& r) {
  return TextMatches(c.nameMode, r.name, c.name) && TextMatches(c.categoryMode, r.category, c.category) &&
         TextMatches(c.thirdTextMode, r.thirdText, c.thirdText) && (!c.sexOn || r.male == c.sex) &&
         (!c.yearOn || (c.yearFrom <= r.year && r.year <= c.yearTo)) &&
         (c.province == 0xFFFF || r.provinceIndex == c.province);
}

// A live case: not deleted, and in the slot its id names.
bool Live(int32_t slot, const CaseRecord& r) { return r.deleted == 0 && r.id == slot; }

// Every text field ends inside its width, cut at a character boundary if it did not.
void TerminateTexts(CaseRecord& r) {
  SetText(r.name, FieldText(r.name));
  SetText(r.category, FieldText(r.category));
  SetText(r.note, FieldText(r.note));
  SetText(r.thirdText, FieldText(r.thirdText));
  SetText(r.place, FieldText(r.place));
}

}  // namespace

MDataBase::MDataBase() = default;
MDataBase::~MDataBase() = default;

bool MDataBase::Fail(std::string text) {
  lastError_ = std::move(text);
  return false;
}

bool MDataBase::FailUtf8(const char* format, ...) {
  std::string gbkFormat = gbk::FromUtf8(format);
  va_list args;
  va_start(args, format);
  lastError_ = FormatV(gbkFormat.c_str(), args);
  va_end(args);
  return false;
}

void MDataBase::Note(std::string text) {
  if (!notice_.empty()) notice_ += "\r\n";
  notice_ += text;
}

std::string MDataBase::DataName(int32_t n) const { return kindName_ + IntToStr(n) + ".dat"; }

std::string MDataBase::DataFile(int32_t n) const { return n == 0 ? firstFile_ : filePrefix_ + IntToStr(n) + ".dat"; }

std::string MDataBase::JournalFile() const { return filePrefix_ + ".jnl"; }

std::string MDataBase::OpFile() const { return filePrefix_ + ".op"; }

std::string MDataBase::ReportFolder() const { return baseFolder_ + kindName_ + "_f\\"; }

MDataBase::Home MDataBase::ProgramHome() const { return {baseFolder_ + "dat\\", baseFolder_ + kindName_ + "_f"}; }

std::pair<int32_t, int64_t> MDataBase::Place(int32_t slot) {
  int32_t n = slot / kRecordsPerFile;
  return {n, int64_t{slot % kRecordsPerFile} * kRecordSize + (n == 0 ? kHeaderSize : 0)};
}

bool MDataBase::Allowed(const std::string& path) {
  ++calls_;
  if (!hook_ || hook_(calls_, path)) return true;
  writeFailed_ = true;
  return FailUtf8("无法操作文件%s：模拟故障", path.c_str());
}

// Each wrapper notes a failure to change the files, which a full disk or a read-only
// folder causes; Open then falls back to reading.
std::FILE* MDataBase::FsOpen(const std::string& path, const char* mode) {
  if (!Allowed(path)) return nullptr;
  std::FILE* f = file::Open(path, mode);
  if (!f) {
    writeFailed_ = true;
    FailUtf8("无法打开文件%s：%s", path.c_str(), file::LastReason().c_str());
  }
  return f;
}

// A link is never the store's own: renaming one would move, under Wine, what it leads to.
bool MDataBase::NotALink(const std::string& path) {
  return !file::IsLink(path) ||
         FailUtf8("%s是一个链接，为免动到它所指向的文件或文件夹，这次没有进行。请先自行删除这个链接。", path.c_str());
}

bool MDataBase::FsRename(const std::string& from, const std::string& to) {
  if (!Allowed(from) || !NotALink(from)) return false;
  int64_t replaced = freeSpace_ >= 0 ? file::Size(to) : -1;
  if (file::Rename(from, to)) {
    if (replaced > 0) freeSpace_ += replaced;
    return true;
  }
  writeFailed_ = true;
  return FailUtf8("无法把%s改名为%s：%s", from.c_str(), to.c_str(), file::LastReason().c_str());
}

bool MDataBase::FsRenameDir(const std::string& from, const std::string& to) {
  if (!Allowed(from) || !NotALink(from)) return false;
  if (file::RenameDir(from, to)) return true;
  writeFailed_ = true;
  return FailUtf8("无法把文件夹%s改名为%s：%s", from.c_str(), to.c_str(), file::LastReason().c_str());
}

bool MDataBase::FsDelete(const std::string& path) {
  if (!Allowed(path)) return false;
  int64_t freed = freeSpace_ >= 0 ? file::Size(path) : -1;
  if (file::Delete(path)) {
    if (freed > 0) freeSpace_ += freed;
    return true;
  }
  writeFailed_ = true;
  return FailUtf8("无法删除文件%s：%s", path.c_str(), file::LastReason().c_str());
}

bool MDataBase::FsCreateDir(const std::string& path) {
  if (!Allowed(path)) return false;
  if (file::CreateDir(path)) return true;
  writeFailed_ = true;
  return FailUtf8("无法建立文件夹%s：%s", path.c_str(), file::LastReason().c_str());
}

bool MDataBase::FsRemoveDir(const std::string& path) {
  if (!Allowed(path)) return false;
  if (file::RemoveDir(path)) return true;
  writeFailed_ = true;
  return FailUtf8("无法删除文件夹%s：%s", path.c_str(), file::LastReason().c_str());
}

// The test's full disk: how many of size bytes written at f's position fit.
bool MDataBase::TakeSpace(std::FILE* f, size_t size, size_t& fits) {
  fits = size;
  if (freeSpace_ < 0) return true;
  long pos = std::ftell(f);
  std::fflush(f);
  std::fseek(f, 0, SEEK_END);
  long end = std::ftell(f);
  std::fseek(f, pos, SEEK_SET);
  int64_t grows = std::max<int64_t>(0, int64_t{pos} + static_cast<int64_t>(size) - end);
  if (grows <= freeSpace_) {
    freeSpace_ -= grows;
    return true;
  }
  fits = static_cast<size_t>(std::max<int64_t>(0, end - pos) + freeSpace_);
  freeSpace_ = 0;
  errno = ENOSPC;
  return false;
}

bool MDataBase::Put(std::FILE* f, const void* data, size_t size, const std::string& path) {
  if (faultAt_ > 0 && --faultAt_ == 0) {
    if (faultShort_) {
      std::fwrite(data, 1, size / 2, f);
      std::fflush(f);
    }
    writeFailed_ = true;
    return FailUtf8("无法写入文件%s：模拟故障", path.c_str());
  }
  if (!Allowed(path)) return false;
  size_t fits = size;
  bool room = TakeSpace(f, size, fits);
  if (room && std::fwrite(data, 1, size, f) == size) return true;
  if (!room) {
    std::fwrite(data, 1, fits, f);
    std::fflush(f);
    errno = ENOSPC;
  }
  writeFailed_ = true;
  return FailUtf8("无法写入文件%s：%s", path.c_str(), file::ErrnoReason().c_str());
}

// fflush hands the bytes to the system; the sync makes them survive a power cut.
bool MDataBase::FlushToDisk(std::FILE* f, const std::string& path) {
  if (!Allowed(path)) return false;
  if (file::FlushToDisk(f)) return true;
  writeFailed_ = true;
  return FailUtf8("无法写入文件%s：%s", path.c_str(), file::ErrnoReason().c_str());
}

// Closes f, keeping the first failure (ok false) or else the close's own.
bool MDataBase::Close(std::FILE* f, const std::string& path, bool ok) {
  if (std::fclose(f) == 0 || !ok) return ok;
  writeFailed_ = true;
  return FailUtf8("无法写入文件%s：%s", path.c_str(), file::ErrnoReason().c_str());
}

bool MDataBase::WriteWhole(const std::string& path, std::string_view data) {
  std::FILE* f = FsOpen(path, "wb");
  if (!f) return false;
  return Close(f, path, Put(f, data.data(), data.size(), path) && FlushToDisk(f, path));
}

// Through a temporary name, so the file is either absent or whole.
bool MDataBase::WriteAtomic(const std::string& path, std::string_view data) {
  std::string tmp = path + ".tmp";
  if (WriteWhole(tmp, data) && FsRename(tmp, path)) return true;
  std::string keep = lastError_;
  file::Delete(tmp);
  return Fail(keep);
}

// Renames a damaged file to the first free "<name>.bad", "<name>.bad2", ...
bool MDataBase::SetAside(const std::string& path, std::string& keptAs) {
  for (int i = 1; i < 1000; ++i) {
    keptAs = path + ".bad" + (i == 1 ? std::string() : IntToStr(i));
    if (!file::Exists(keptAs)) return FsRename(path, keptAs);
  }
  return FailUtf8("无法保留损坏的文件%s：同名的副本太多", path.c_str());
}

bool MDataBase::Open(std::string_view folder, uint8_t kind) {
  notice_.clear();
  access_ = Access::Pending;
  if (kind >= std::size(kKindNames)) return FailUtf8("不认识的命例种类%d", kind);
  kind_ = kind;
  kindName_ = kKindNames[kind];
  baseFolder_ = std::string(folder);
  filePrefix_ = baseFolder_ + "dat\\" + kindName_;
  firstFile_ = filePrefix_ + "0.dat";
  Held lock(*this);
  if (lock.busy) return false;
  if (!lock.held) return ReadAsItStands();
  return OpenUnderLock() && Prepare(lock, false);
}

// Finishes what an earlier process left unfinished, makes a missing store and checks
// it. When that needs a write that fails, the store is read as its files stand.
bool MDataBase::OpenUnderLock() {
  CaseFileHeader fresh{};
  fresh.kind = kind_;
  fresh.fileCount = 1;
  writeFailed_ = false;
  if (SettleSwitch(ProgramHome()) && Recover() && (file::Exists(firstFile_) || Commit({HeaderChange(fresh)})) &&
      CheckStore()) {
    access_ = Access::Ready;
    return true;
  }
  if (writeFailed_) return ReadAsItStands();
  access_ = Access::Refused;
  refusal_ = lastError_;
  return false;
}

// Read-only: the header must be sound; nothing is finished, mended or made.
bool MDataBase::ReadAsItStands() {
  std::string why = lastError_;
  if (!ReadHeaderFrom(firstFile_, header_) || !CheckHeader(header_, firstFile_, filePrefix_)) return false;
  generation_ = header_.generation;
  if (access_ != Access::ReadOnly) {
    Note(Format(gbk::U("历史记录现在无法写入，只能查看，不能保存或修改命例：%s").c_str(), why.c_str()));
  }
  access_ = Access::ReadOnly;
  refusal_ = why;
  return true;
}

bool MDataBase::ReadHeaderFrom(std::string_view path, CaseFileHeader& h) {
  std::FILE* f = file::Open(path, "rb");
  if (!f) return FailUtf8("无法打开文件%s：%s", std::string(path).c_str(), file::LastReason().c_str());
  bool ok = std::fread(&h, 1, sizeof h, f) == sizeof h;
  std::fclose(f);
  return ok || FailUtf8("%s不是历史记录文件：连文件头都不完整。", std::string(path).c_str());
}

bool MDataBase::CheckHeader(const CaseFileHeader& h, const std::string& firstFile, const std::string& prefix) {
  if (h.kind != kind_) return FailUtf8("%s是另一种命例（%d）的历史记录，不能使用。", firstFile.c_str(), h.kind);
  if (h.count < 0 || h.count > kMaxCases || h.deletedCount < 0 || h.deletedCount > h.count || h.reuseFlag > 1 ||
      h.fileCount != ExpectedFileCount(h.count)) {
    return FailUtf8("历史记录文件%s的文件头已经损坏。", firstFile.c_str());
  }
  for (int32_t n = 0; n < h.fileCount; ++n) {
    std::string path = n == 0 ? firstFile : prefix + IntToStr(n) + ".dat";
    if (file::Size(path) < RequiredSize(n, h.count)) {
      return FailUtf8("历史记录数据文件%s缺失，或比文件头所记的短：有命例已经丢失。", path.c_str());
    }
  }
  return true;
}

// Under the lock: finishes whatever was interrupted, then reads and checks the
// header. A store that Open refused stays refused, with Open's reason, until another
// window replaces the history; one that could only be read is tried again, and read as
// it stands when that still fails.
bool MDataBase::Prepare(const Held& lock, bool writing) {
  replaced_ = false;
  if (kindName_.empty()) return FailUtf8("历史记录还没有打开。");
  if (lock.busy) return false;
  if (lock.held && (access_ == Access::Ready || access_ == Access::Refused) && !SameHistory()) {
    access_ = Access::Pending;
  }
  if (access_ == Access::Refused) return Fail(refusal_);
  if (!lock.held) return !writing && ReadAsItStands();
  if (access_ != Access::Ready && !OpenUnderLock()) return false;
  if (access_ == Access::ReadOnly) return !writing || Fail(refusal_);
  writeFailed_ = false;
  if (SettleSwitch(ProgramHome()) && Recover() && ReadHeaderFrom(firstFile_, header_) &&
      CheckHeader(header_, firstFile_, filePrefix_) && ResumeCategoryOp()) {
    generation_ = header_.generation;
    return true;
  }
  if (!writeFailed_ || writing) return false;
  return ReadAsItStands();
}

bool MDataBase::ReadSlot(int32_t slot, CaseRecord& buffer) {
  std::string path = DataFile(Place(slot).first);
  std::FILE* f = file::Open(path, "rb");
  if (!f) return FailUtf8("无法打开文件%s：%s", path.c_str(), file::LastReason().c_str());
  bool ok = ReadAt(f, path, slot, buffer);
  std::fclose(f);
  return ok;
}

// f is the slot's data file, named path.
bool MDataBase::ReadAt(std::FILE* f, const std::string& path, int32_t slot, CaseRecord& buffer) {
  bool ok = std::fseek(f, static_cast<long>(Place(slot).second), SEEK_SET) == 0 &&
            std::fread(&buffer, 1, sizeof buffer, f) == sizeof buffer;
  return ok || FailUtf8("无法从%s读出第%d号命例。", path.c_str(), slot);
}

// Visits slots 0 to slots - 1 in ascending order until visit answers false.
bool MDataBase::Scan(int32_t slots, const std::function<bool(int32_t, const CaseRecord&)>& visit) {
  std::vector<CaseRecord> chunk(kChunk);
  for (int32_t n = 0; n < ExpectedFileCount(slots); ++n) {
    std::string path = DataFile(n);
    std::FILE* f = file::Open(path, "rb");
    if (!f) return FailUtf8("无法打开文件%s：%s", path.c_str(), file::LastReason().c_str());
    bool ok = std::fseek(f, n == 0 ? static_cast<long>(kHeaderSize) : 0, SEEK_SET) == 0;
    int32_t first = n * kRecordsPerFile;
    int32_t left = static_cast<int32_t>(RequiredSize(n, slots) / kRecordSize);
    bool more = true;
    while (ok && more && left > 0) {
      size_t want = std::min<size_t>(chunk.size(), static_cast<size_t>(left));
      ok = std::fread(chunk.data(), sizeof(CaseRecord), want, f) == want;
      for (size_t i = 0; ok && more && i < want; ++i) more = visit(first + static_cast<int32_t>(i), chunk[i]);
      first += static_cast<int32_t>(want);
      left -= static_cast<int32_t>(want);
    }
    std::fclose(f);
    if (!ok) return FailUtf8("无法读出%s里的命例。", path.c_str());
    if (!more) return true;
  }
  return true;
}

// The lowest deleted slot; -1 when there is none, -2 when the files cannot be read.
int32_t MDataBase::FindDeletedSlot() {
  int32_t found = -1;
  bool ok = Scan(header_.count, [&](int32_t slot, const CaseRecord& r) {
    if (r.deleted != 1) return true;
    found = slot;
    return false;
  });
  return ok ? found : -2;
}

// A report left by an earlier case of this id (a category deletion keeps them), or by
// a history cleared meanwhile, goes in the same journal as the record that takes the
// slot, so a new case never shows another person's report.
MDataBase::Change MDataBase::DropReport(int32_t id) const { return {kReportFile, id, std::string()}; }

bool MDataBase::ApplyDropReport(int64_t id) {
  std::string path = ReportFolder() + IntToStr(static_cast<int32_t>(id)) + ".rtf";
  return !file::Exists(path) || FsDelete(path);
}

MDataBase::Change MDataBase::HeaderChange(const CaseFileHeader& h) const {
  return {0, 0, std::string(reinterpret_cast<const char*>(&h), sizeof h)};
}

MDataBase::Change MDataBase::RecordChange(int32_t slot, const CaseRecord& r) const {
  auto [n, offset] = Place(slot);
  return {n, offset, std::string(reinterpret_cast<const char*>(&r), sizeof r)};
}

// Journal first, then the data files: from the moment the journal exists the change
// is as good as made, since the next operation applies it again. A change that cannot
// be applied whole (a full disk) is taken back: the bytes it overwrote are put back,
// the files cut to their old lengths and the journal deleted, so a failure reported is
// a change that never happened. A report to delete comes last and is not put back.
bool MDataBase::Commit(const std::vector<Change>& changes) {
  std::vector<Change> before;
  Sizes sizes;
  if (!TakeBefore(changes, before, sizes) || !WriteJournal(changes)) return false;
  if (ApplyChanges(changes)) {
    // Made: a journal that stays is applied again, to the same end, by the next operation.
    FsDelete(JournalFile());
    return true;
  }
  std::string why = lastError_;
  if (PutBack(before, sizes) && FsDelete(JournalFile())) return Fail(why);
  return FailUtf8("%s（这次修改无法撤回，下次打开历史记录时会把它做完）", why.c_str());
}

bool MDataBase::TakeBefore(const std::vector<Change>& changes, std::vector<Change>& before, Sizes& sizes) {
  for (const Change& c : changes) {
    if (c.fileNo == kReportFile) continue;
    std::string path = DataFile(c.fileNo);
    auto known = std::find_if(sizes.begin(), sizes.end(), [&](const auto& s) { return s.first == c.fileNo; });
    int64_t size = known != sizes.end() ? known->second : file::Size(path);
    if (known == sizes.end()) sizes.emplace_back(c.fileNo, size);
    Change old{c.fileNo, c.offset, std::string()};
    int64_t have = std::clamp<int64_t>(size - c.offset, 0, static_cast<int64_t>(c.bytes.size()));
    if (have > 0) {
      std::FILE* f = file::Open(path, "rb");
      if (!f) return FailUtf8("无法打开文件%s：%s", path.c_str(), file::LastReason().c_str());
      old.bytes.resize(static_cast<size_t>(have));
      bool ok = std::fseek(f, static_cast<long>(c.offset), SEEK_SET) == 0 &&
                std::fread(old.bytes.data(), 1, old.bytes.size(), f) == old.bytes.size();
      std::fclose(f);
      if (!ok) return FailUtf8("无法读出文件%s。", path.c_str());
    }
    before.push_back(std::move(old));
  }
  return true;
}

bool MDataBase::PutBack(const std::vector<Change>& before, const Sizes& sizes) {
  for (const auto& [fileNo, size] : sizes) {
    std::string path = DataFile(fileNo);
    if (size < 0) {
      if (file::Exists(path) && !FsDelete(path)) return false;
      continue;
    }
    std::FILE* f = FsOpen(path, "r+b");
    if (!f) return false;
    bool ok = true;
    for (const Change& c : before) {
      if (c.fileNo != fileNo || c.bytes.empty()) continue;
      ok = ok && (std::fseek(f, static_cast<long>(c.offset), SEEK_SET) == 0 ||
                  FailUtf8("无法定位文件%s：%s", path.c_str(), file::ErrnoReason().c_str()));
      ok = ok && Put(f, c.bytes.data(), c.bytes.size(), path);
    }
    ok = ok && CutFile(f, size, path) && FlushToDisk(f, path);
    if (!Close(f, path, ok)) return false;
  }
  return true;
}

bool MDataBase::WriteJournal(const std::vector<Change>& changes) {
  std::string data(kJournalMagic, sizeof kJournalMagic);
  Append(data, static_cast<uint32_t>(changes.size()));
  for (const Change& c : changes) {
    Append(data, c.fileNo);
    Append(data, c.offset);
    Append(data, static_cast<uint32_t>(c.bytes.size()));
    data += c.bytes;
  }
  Append(data, Checksum(data));
  return WriteAtomic(JournalFile(), data);
}

bool MDataBase::ParseJournal(std::string_view data, std::vector<Change>& changes) {
  uint32_t sum = 0;
  size_t end = data.size() - std::min(data.size(), sizeof sum);
  size_t sumPos = end;
  if (data.size() < sizeof kJournalMagic + 8 || std::memcmp(data.data(), kJournalMagic, 4) != 0 ||
      !Take(data, sumPos, sum) || sum != Checksum(data.substr(0, end))) {
    return false;
  }
  std::string_view body = data.substr(0, end);
  size_t pos = sizeof kJournalMagic;
  uint32_t n = 0;
  if (!Take(body, pos, n) || n == 0 || n > kMaxChanges) return false;
  changes.assign(n, Change{});
  for (Change& c : changes) {
    uint32_t size = 0;
    if (!Take(body, pos, c.fileNo) || !Take(body, pos, c.offset) || !Take(body, pos, size)) return false;
    bool header = c.fileNo == 0 && c.offset == 0 && size == kHeaderSize;
    bool report = c.fileNo == kReportFile && size == 0 && c.offset >= 0 && c.offset < kMaxCases;
    int64_t base = c.fileNo == 0 ? kHeaderSize : 0;
    bool record = size == kRecordSize && c.fileNo >= 0 && c.fileNo < kMaxFiles && c.offset >= base &&
                  (c.offset - base) % kRecordSize == 0 && (c.offset - base) / kRecordSize < kRecordsPerFile;
    if ((!header && !record && !report) || body.size() - pos < size) return false;
    c.bytes = std::string(body.substr(pos, size));
    pos += size;
  }
  return pos == body.size();
}

// A change may extend a data file by what it writes, never leave a gap before it: a
// gap would read as cases that were never stored. A file that is shorter than that
// has lost cases, and the store refuses rather than cover the loss.
bool MDataBase::ChangesFit(const std::vector<Change>& changes) {
  for (const Change& c : changes) {
    if (c.fileNo == kReportFile) continue;
    int64_t size = file::Size(DataFile(c.fileNo));
    if (c.offset > std::max<int64_t>(size, 0)) {
      return FailUtf8("历史记录数据文件%s比日志所记的短，已经损坏：有命例已经丢失，历史记录不能打开。",
                      DataFile(c.fileNo).c_str());
    }
  }
  return true;
}

// Applies a journal left by an interrupted change. One that does not parse cannot be
// finished: it is kept as a copy for whoever looks into it, and the history opens as
// its data files stand, each case as it was before that change.
bool MDataBase::Recover() {
  std::string journal = JournalFile();
  if (file::Exists(journal + ".tmp") && !FsDelete(journal + ".tmp")) return false;  // never begun
  if (!file::Exists(journal)) return true;
  std::string data;
  if (!file::ReadAll(journal, data)) {
    return FailUtf8("无法读出历史记录的日志文件%s：%s", journal.c_str(), file::LastReason().c_str());
  }
  std::vector<Change> changes;
  if (!ParseJournal(data, changes)) {
    std::string keptAs;
    if (!SetAside(journal, keptAs)) return false;
    Note(Format(gbk::U("历史记录的日志文件已经损坏，其中一次未完成的修改无法完成，日志已另存为%s。"
                       "历史记录照原样打开，请检查最后保存的命例。")
                    .c_str(),
                keptAs.c_str()));
    return true;
  }
  if (!ChangesFit(changes) || !ApplyChanges(changes)) return false;
  return FsDelete(journal);
}

// Consecutive changes to one file go through one opening and one flush.
bool MDataBase::ApplyChanges(const std::vector<Change>& changes) {
  for (size_t i = 0, j = 0; i < changes.size(); i = j) {
    while (j < changes.size() && changes[j].fileNo == changes[i].fileNo) ++j;
    bool ok = changes[i].fileNo == kReportFile ? ApplyDropReport(changes[i].offset) : ApplyToFile(changes, i, j);
    if (!ok) return false;
  }
  return true;
}

bool MDataBase::ApplyToFile(const std::vector<Change>& changes, size_t first, size_t end) {
  std::string path = DataFile(changes[first].fileNo);
  std::FILE* f = FsOpen(path, file::Exists(path) ? "r+b" : "w+b");
  if (!f) return false;
  bool ok = true;
  for (size_t i = first; ok && i < end; ++i) {
    const Change& c = changes[i];
    ok = std::fseek(f, static_cast<long>(c.offset), SEEK_SET) == 0 ||
         FailUtf8("无法定位文件%s：%s", path.c_str(), file::ErrnoReason().c_str());
    ok = ok && Put(f, c.bytes.data(), c.bytes.size(), path);
  }
  return Close(f, path, ok && FlushToDisk(f, path));
}

int32_t MDataBase::Add(CaseRecord& record) {
  Held lock(*this);
  if (!Prepare(lock, true)) return -1;
  CaseFileHeader h = header_;
  TerminateTexts(record);
  record.deleted = 0;
  if (h.reuseFlag == 1) {
    int32_t slot = FindDeletedSlot();
    if (slot == -2) return -1;
    if (slot >= 0) {
      h.deletedCount = std::max(0, h.deletedCount - 1);
      if (h.deletedCount == 0) h.reuseFlag = 0;
      record.id = slot;
      return Commit({RecordChange(slot, record), HeaderChange(h), DropReport(slot)}) ? slot : -1;
    }
    // The header counted deletions the records do not show: append instead.
    h.deletedCount = 0;
    h.reuseFlag = 0;
  }
  if (h.count == kMaxCases) return FailUtf8("历史记录已满，不能再保存命例。"), -1;
  int32_t slot = h.count;
  h.count += 1;
  h.fileCount = static_cast<int16_t>(ExpectedFileCount(h.count));
  record.id = slot;
  return Commit({RecordChange(slot, record), HeaderChange(h), DropReport(slot)}) ? slot : -1;
}

// An id read from a history that another window has since cleared or imported names
// another case, or none.
bool MDataBase::Current(uint32_t generation) {
  replaced_ = generation != generation_;
  return !replaced_ || FailUtf8(
                           "历史记录%s已被另一个窗口清除或替换（导入），这里的命例是从原来的历史记录读出的。"
                           "为免覆盖别的命例，这次没有改动。",
                           firstFile_.c_str());
}

// Another window may have deleted the case since this one read it.
bool MDataBase::LiveSlot(int32_t id) {
  if (id < 0 || id >= header_.count) return FailUtf8("没有第%d号命例。", id);
  CaseRecord r;
  if (!ReadSlot(id, r)) return false;
  return Live(id, r) || FailUtf8("第%d号命例已经删除。", id);
}

bool MDataBase::Delete(int32_t id, uint32_t generation) {
  Held lock(*this);
  if (!Prepare(lock, true) || !Current(generation) || !LiveSlot(id)) return false;
  CaseRecord r;
  if (!ReadSlot(id, r)) return false;
  r.deleted = 1;
  CaseFileHeader h = header_;
  h.deletedCount += 1;
  if (h.deletedCount >= kReuseAfter) h.reuseFlag = 1;
  // The report goes with the record, so that no other window's case can have taken the
  // id before the report is deleted.
  return Commit({RecordChange(id, r), HeaderChange(h), DropReport(id)});
}

bool MDataBase::Read(int32_t id, CaseRecord& buffer) {
  Held lock(*this);
  if (!Prepare(lock, false)) return false;
  if (id < 0 || id >= header_.count) return FailUtf8("没有第%d号命例。", id);
  if (!ReadSlot(id, buffer)) return false;
  if (buffer.deleted == 1) return FailUtf8("第%d号命例已经删除。", id);
  return Live(id, buffer) || FailUtf8("第%d号命例的记录已经损坏。", id);
}

bool MDataBase::ReadMany(const std::vector<int32_t>& ids, const std::function<void(const CaseRecord&)>& visit) {
  Held lock(*this);
  if (!Prepare(lock, false)) return false;
  bool ok = true;
  int32_t openNo = -1;
  std::string path;
  std::FILE* f = nullptr;
  CaseRecord r;
  for (int32_t id : ids) {
    if (id < 0 || id >= header_.count) continue;
    if (int32_t n = Place(id).first; n != openNo) {
      if (f) std::fclose(f);
      openNo = n;
      path = DataFile(n);
      f = file::Open(path, "rb");
      if (!f) ok = FailUtf8("无法打开文件%s：%s", path.c_str(), file::LastReason().c_str());
    }
    if (!f) continue;
    if (!ReadAt(f, path, id, r)) {
      ok = false;
    } else if (Live(id, r)) {
      visit(r);
    }
  }
  if (f) std::fclose(f);
  return ok;
}

bool MDataBase::Write(int32_t id, const CaseRecord& record, uint32_t generation) {
  Held lock(*this);
  if (!Prepare(lock, true) || !Current(generation) || !LiveSlot(id)) return false;
  CaseRecord r = record;
  r.id = id;  // a record in another slot's name would be refused by every read
  TerminateTexts(r);
  return Commit({RecordChange(id, r)});
}

// Under the lock, so that no clear or import can come between the check and the write.
bool MDataBase::WriteReport(int32_t id, std::string_view text, uint32_t generation) {
  Held lock(*this);
  if (!Prepare(lock, false) || !Current(generation) || !LiveSlot(id)) return false;
  std::string folder = ReportFolder();
  return (file::DirExists(folder) || FsCreateDir(folder)) && WriteAtomic(folder + IntToStr(id) + ".rtf", text);
}

bool MDataBase::Search(CaseCriteria& criteria, std::vector<int32_t>& ids) {
  ids.clear();
  Held lock(*this);
  if (!Prepare(lock, false)) return false;
  if (header_.kind < 3) criteria.thirdTextMode = 0;
  return Scan(header_.count, [&](int32_t slot, const CaseRecord& r) {
    if (Live(slot, r) && Matches(criteria, r)) ids.push_back(slot);
    return true;
  });
}

int32_t MDataBase::GetCount() {
  Held lock(*this);
  return Prepare(lock, false) ? header_.count : -1;
}
