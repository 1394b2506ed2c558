// The case store's check of itself when it is opened: the header against the lengths
// of the data files, each record's id against its slot, the deleted marks. What can be
// mended without losing a case is mended and told in Notice; the rest is refused.
#include <cstring>

#include "cases/Database.h"
#include "cases/DatabaseInternal.h"
#include "classlib/Files.h"
#include "classlib/StrUtils.h"

using namespace casestore;

namespace {

// More damaged records than this is no store that lost a few bits but another file.
constexpr size_t kMaxMended = 4 * kChunk;

bool Blank(const CaseRecord& r) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&r);
  return std::all_of(bytes, bytes + sizeof r, [](unsigned char b) { return b == 0; });
}

// A record as the store writes it: in the slot its id names, deleted 0 or 1.
bool Sound(int32_t slot, const CaseRecord& r) { return r.id == slot && r.deleted <= 1 && !Blank(r); }

bool SameCounts(const CaseFileHeader& a, const CaseFileHeader& b) {
  return a.count == b.count && a.deletedCount == b.deletedCount && a.reuseFlag == b.reuseFlag &&
         a.fileCount == b.fileCount;
}

// What a scan of everything on disk found.
struct Findings {
  std::vector<std::pair<int32_t, CaseRecord>> mended;  // records within the count, set right
  int32_t idsMended = 0, marksMended = 0;
  int32_t deleted = 0;         // deleted slots within the count
  int32_t firstBlank = -1;     // an empty slot within the count: a lost case
  int32_t lastSoundTail = -1;  // the last whole case past the count
  int32_t tailDeleted = 0;     // deleted cases past the count, up to lastSoundTail
  int32_t firstBadTail = -1;   // data past the count that is no case of this store
  bool blankInTail = false;
};

void Examine(int32_t slot, const CaseRecord& r, int32_t count, Findings& f, int32_t& runningTailDeleted) {
  if (slot >= count) {
    if (Blank(r)) {
      f.blankInTail = true;
    } else if (!Sound(slot, r) || f.blankInTail) {
      if (f.firstBadTail < 0) f.firstBadTail = slot;
    } else {
      runningTailDeleted += r.deleted;
      f.lastSoundTail = slot;
      f.tailDeleted = runningTailDeleted;
    }
    return;
  }
  if (slot > 0 && Blank(r)) {
    if (f.firstBlank < 0) f.firstBlank = slot;
    return;
  }
  CaseRecord fixed = r;
  if (r.id != slot) {
    fixed.id = slot;
    ++f.idsMended;
  }
  // A flipped bit leaves an odd mark from 1 and an even one from 0.
  if (r.deleted > 1) {
    fixed.deleted = r.deleted & 1;
    ++f.marksMended;
  }
  f.deleted += fixed.deleted;
  if (fixed.id != r.id || fixed.deleted != r.deleted) f.mended.emplace_back(slot, fixed);
}

}  // namespace

bool MDataBase::CheckStore() {
  CaseFileHeader h{};
  if (!ReadHeaderFrom(firstFile_, h)) return false;
  if (h.kind != kind_) return FailUtf8("%s是另一种命例（%d）的历史记录，不能使用。", firstFile_.c_str(), h.kind);

  // Whole records on disk, file after file while each is full.
  int32_t onDisk = 0, past = 0;
  for (;; ++past) {
    int64_t size = past < kMaxFiles ? file::Size(DataFile(past)) : -1;
    if (size < 0) break;
    int64_t whole = std::max<int64_t>(0, size - (past == 0 ? kHeaderSize : 0)) / kRecordSize;
    onDisk += static_cast<int32_t>(std::min<int64_t>(whole, kRecordsPerFile));
    if (whole < kRecordsPerFile) {
      ++past;
      break;
    }
  }
  bool countSane = h.count >= 0 && h.count <= kMaxCases;
  if (countSane && h.count > onDisk) {
    return FailUtf8(
        "历史记录数据文件比文件头所记的短：文件头记有%d个命例，文件里只有%d个，有命例已经丢失。"
        "历史记录不能打开。",
        h.count, onDisk);
  }
  int32_t count = countSane ? h.count : 0;
  Findings f;
  int32_t runningTailDeleted = 0;
  bool tooMany = false;
  bool ok = Scan(onDisk, [&](int32_t slot, const CaseRecord& r) {
    Examine(slot, r, count, f, runningTailDeleted);
    tooMany = f.mended.size() > kMaxMended;
    return !tooMany && f.firstBlank < 0;
  });
  if (!ok) return false;
  if (tooMany) return FailUtf8("%s里损坏的命例记录太多，不像是历史记录文件，不能打开。", firstFile_.c_str());
  if (f.firstBlank >= 0) {
    return FailUtf8("第%d号命例的记录是空的：历史记录数据文件已经损坏，有命例已经丢失。历史记录不能打开。",
                    f.firstBlank);
  }
  if (f.firstBadTail >= 0) {
    return FailUtf8("历史记录数据文件在第%d号命例的位置还有不明的数据，为免覆盖，历史记录不能打开。", f.firstBadTail);
  }

  CaseFileHeader fixed = h;
  fixed.count = f.lastSoundTail >= 0 ? f.lastSoundTail + 1 : count;
  fixed.fileCount = static_cast<int16_t>(ExpectedFileCount(fixed.count));
  fixed.deletedCount = f.deleted + f.tailDeleted;
  if (fixed.deletedCount == 0 || fixed.reuseFlag > 1) fixed.reuseFlag = 0;
  if (fixed.deletedCount >= kReuseAfter) fixed.reuseFlag = 1;
  if (fixed.count != h.count) {
    Note(Format(gbk::U("历史记录文件头记的命例数（%d）与数据文件不符，已按数据文件改为%d。").c_str(), h.count,
                fixed.count));
  } else if (!SameCounts(fixed, h)) {
    Note(gbk::U("历史记录文件头的计数有误，已按数据文件改正。"));
  }
  if (f.idsMended > 0) Note(Format(gbk::U("有%d个命例记录的编号与位置不符，已按位置改正。").c_str(), f.idsMended));
  if (f.marksMended > 0) Note(Format(gbk::U("有%d个命例记录的删除标记已经损坏，已改正。").c_str(), f.marksMended));

  std::vector<Change> records;
  for (const auto& [slot, r] : f.mended) records.push_back(RecordChange(slot, r));
  if ((!records.empty() || !SameCounts(fixed, h)) && !CommitRepairs(records, fixed)) return false;
  return SetAsideStrayFiles(past);
}

// Records first, a chunk to a journal, the header with the last chunk.
bool MDataBase::CommitRepairs(std::vector<Change>& records, const CaseFileHeader& h) {
  if (records.empty()) return Commit({HeaderChange(h)});
  for (size_t i = 0; i < records.size(); i += kChunk) {
    size_t end = std::min(records.size(), i + kChunk);
    std::vector<Change> part(records.begin() + static_cast<std::ptrdiff_t>(i),
                             records.begin() + static_cast<std::ptrdiff_t>(end));
    if (end == records.size()) part.push_back(HeaderChange(h));
    if (!Commit(part)) return false;
  }
  return true;
}

// Data files past the last one the records run into belong to no case here; an add
// that reached them would mix their old records in. They are kept under another name.
bool MDataBase::SetAsideStrayFiles(int32_t firstStray) {
  for (int32_t n = firstStray; n < kMaxFiles && file::Exists(DataFile(n)); ++n) {
    std::string keptAs;
    if (!SetAside(DataFile(n), keptAs)) return false;
    Note(Format(gbk::U("数据文件%s不属于这份历史记录，已另存为%s。").c_str(), DataFile(n).c_str(), keptAs.c_str()));
  }
  return true;
}
