#include "cases/Database.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "classlib/Files.h"
#include "classlib/StrUtils.h"

namespace {

// Short names of the case kinds, used in every file and folder name.
constexpr const char* kKindNames[] = {"bazi"};

constexpr int64_t kHeaderSize = sizeof(CaseFileHeader);
constexpr int64_t kRecordSize = sizeof(CaseRecord);
// The header counts files in 16 bits, which bounds the store.
constexpr int32_t kMaxFiles = std::numeric_limits<int16_t>::max();
constexpr int32_t kMaxCases = kMaxFiles * MDataBase::kRecordsPerFile;
constexpr size_t kScanChunk = 256;  // records read at a time while scanning

// Journal: "TJNL", uint32 change count, then per change int32 file, int64 offset,
// uint32 length and the bytes; last a uint32 FNV-1a sum of everything before it.
constexpr char kJournalMagic[4] = {'T', 'J', 'N', 'L'};
constexpr uint32_t kMaxChanges = 4;

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

int32_t ExpectedFileCount(int32_t count) { return count == 0 ? 1 : (count - 1) / MDataBase::kRecordsPerFile + 1; }

// Bytes file n must hold at least for the slots the header counts.
int64_t RequiredSize(int32_t n, int32_t count) {
  int64_t records =
      std::clamp<int64_t>(int64_t{count} - int64_t{n} * MDataBase::kRecordsPerFile, 0, MDataBase::kRecordsPerFile);
  return records * kRecordSize + (n == 0 ? kHeaderSize : 0);
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

bool MDataBase::FailFile() { return Fail(file::LastErrorText()); }

std::string MDataBase::DataFile(int32_t n) const { return n == 0 ? firstFile_ : filePrefix_ + IntToStr(n) + ".dat"; }

std::string MDataBase::JournalFile() const { return filePrefix_ + ".jnl"; }

std::string MDataBase::ReportFolder() const { return baseFolder_ + kindName_ + "_f\\"; }

std::pair<int32_t, int64_t> MDataBase::Place(int32_t slot) {
  int32_t n = slot / kRecordsPerFile;
  return {n, int64_t{slot % kRecordsPerFile} * kRecordSize + (n == 0 ? kHeaderSize : 0)};
}

bool MDataBase::Put(std::FILE* f, const void* data, size_t size, const std::string& path) {
  if (faultAt_ > 0 && --faultAt_ == 0) {
    if (faultShort_) {
      std::fwrite(data, 1, size / 2, f);
      std::fflush(f);
    }
    return Fail("cannot write " + path + ": injected failure");
  }
  if (std::fwrite(data, 1, size, f) == size) return true;
  return Fail("cannot write " + path + ": " + gbk::FromUtf8(std::strerror(errno)));
}

// fflush hands the bytes to the system; the sync makes them survive a power cut.
bool MDataBase::FlushToDisk(std::FILE* f) {
  return file::FlushToDisk(f) || Fail("cannot flush a case file: " + gbk::FromUtf8(std::strerror(errno)));
}

bool MDataBase::Open(std::string_view folder, uint8_t kind) {
  if (kind >= std::size(kKindNames)) return Fail(Format("unknown case kind %d", kind));
  kind_ = kind;
  kindName_ = kKindNames[kind];
  baseFolder_ = std::string(folder);
  filePrefix_ = baseFolder_ + "dat\\" + kindName_;
  firstFile_ = filePrefix_ + "0.dat";
  if (!Recover()) return false;
  if (!file::Exists(firstFile_)) {
    CaseFileHeader h{};
    h.kind = kind;
    h.fileCount = 1;
    if (!Commit({HeaderChange(h)})) return false;
  }
  return Prepare();
}

bool MDataBase::ReadHeaderFrom(std::string_view path, CaseFileHeader& h) {
  std::FILE* f = file::Open(path, "rb");
  if (!f) return FailFile();
  bool ok = std::fread(&h, 1, sizeof h, f) == sizeof h;
  std::fclose(f);
  return ok || Fail(std::string(path) + " is not a case data file: too short for a header");
}

bool MDataBase::CheckHeader(const CaseFileHeader& h, const std::string& firstFile, const std::string& prefix) {
  if (h.kind != kind_) return Fail(Format("%s holds cases of kind %d, not %d", firstFile.c_str(), h.kind, kind_));
  if (h.count < 0 || h.count > kMaxCases || h.deletedCount < 0 || h.deletedCount > h.count || h.reuseFlag > 1) {
    return Fail(firstFile + " has a damaged header");
  }
  if (h.fileCount != ExpectedFileCount(h.count)) {
    return Fail(Format("%s counts %d files for %d cases", firstFile.c_str(), h.fileCount, h.count));
  }
  for (int32_t n = 0; n < h.fileCount; ++n) {
    std::string path = n == 0 ? firstFile : prefix + IntToStr(n) + ".dat";
    if (file::Size(path) < RequiredSize(n, h.count)) {
      return Fail(Format("%s is missing or shorter than its header says", path.c_str()));
    }
  }
  return true;
}

// Finishes an interrupted change, then reads and checks the header.
bool MDataBase::Prepare() {
  if (kindName_.empty()) return Fail("the case store is not open");
  return Recover() && ReadHeaderFrom(firstFile_, header_) && CheckHeader(header_, firstFile_, filePrefix_);
}

bool MDataBase::ReadSlot(int32_t slot, CaseRecord& buffer) {
  auto [n, offset] = Place(slot);
  std::string path = DataFile(n);
  std::FILE* f = file::Open(path, "rb");
  if (!f) return FailFile();
  bool ok = std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0 &&
            std::fread(&buffer, 1, sizeof buffer, f) == sizeof buffer;
  std::fclose(f);
  return ok || Fail(Format("cannot read case %d from %s", slot, path.c_str()));
}

// Visits the counted slots in ascending order until visit answers false.
bool MDataBase::Scan(const std::function<bool(int32_t, const CaseRecord&)>& visit) {
  std::vector<CaseRecord> chunk(kScanChunk);
  for (int32_t n = 0; n < header_.fileCount; ++n) {
    std::string path = DataFile(n);
    std::FILE* f = file::Open(path, "rb");
    if (!f) return FailFile();
    bool ok = std::fseek(f, n == 0 ? static_cast<long>(kHeaderSize) : 0, SEEK_SET) == 0;
    int32_t first = n * kRecordsPerFile;
    int32_t left = static_cast<int32_t>(RequiredSize(n, header_.count) / kRecordSize);
    bool more = true;
    while (ok && more && left > 0) {
      size_t want = std::min<size_t>(chunk.size(), static_cast<size_t>(left));
      ok = std::fread(chunk.data(), sizeof(CaseRecord), want, f) == want;
      for (size_t i = 0; ok && more && i < want; ++i) more = visit(first + static_cast<int32_t>(i), chunk[i]);
      first += static_cast<int32_t>(want);
      left -= static_cast<int32_t>(want);
    }
    std::fclose(f);
    if (!ok) return Fail("cannot read the cases of " + path);
    if (!more) return true;
  }
  return true;
}

// The lowest deleted slot; -1 when there is none, -2 when the files cannot be read.
int32_t MDataBase::FindDeletedSlot() {
  int32_t found = -1;
  bool ok = Scan([&](int32_t slot, const CaseRecord& r) {
    if (r.deleted != 1) return true;
    found = slot;
    return false;
  });
  return ok ? found : -2;
}

MDataBase::Change MDataBase::HeaderChange(const CaseFileHeader& h) const {
  return {0, 0, std::string(reinterpret_cast<const char*>(&h), sizeof h)};
}

MDataBase::Change MDataBase::RecordChange(int32_t slot, const CaseRecord& r) const {
  auto [n, offset] = Place(slot);
  return {n, offset, std::string(reinterpret_cast<const char*>(&r), sizeof r)};
}

// Journal first, then the data files: from the moment the journal exists the change
// is as good as made, since the next operation applies it again.
bool MDataBase::Commit(const std::vector<Change>& changes) {
  if (!WriteJournal(changes) || !ApplyChanges(changes)) return false;
  return file::Delete(JournalFile()) || FailFile();
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

  std::string tmp = JournalFile() + ".tmp";
  std::FILE* f = file::Open(tmp, "wb");
  if (!f) return FailFile();
  bool ok = Put(f, data.data(), data.size(), tmp) && FlushToDisk(f);
  ok = std::fclose(f) == 0 && ok;
  if (ok && file::Rename(tmp, JournalFile())) return true;
  if (ok) FailFile();
  std::string keep = lastError_;
  file::Delete(tmp);
  return Fail(keep);
}

// Applies a journal left by an interrupted change. One that does not parse is refused:
// its change cannot be finished, and guessing would corrupt cases.
bool MDataBase::Recover() {
  std::string journal = JournalFile();
  if (!file::Exists(journal)) return true;
  std::string data;
  if (!file::ReadAll(journal, data)) return FailFile();
  std::string damaged = journal + " is damaged; the change it holds cannot be finished";
  uint32_t sum = 0;
  size_t end = data.size() - std::min(data.size(), sizeof sum);
  size_t sumPos = end;
  if (data.size() < sizeof kJournalMagic + 8 || std::memcmp(data.data(), kJournalMagic, 4) != 0 ||
      !Take(data, sumPos, sum) || sum != Checksum(std::string_view(data).substr(0, end))) {
    return Fail(damaged);
  }
  std::string_view body = std::string_view(data).substr(0, end);
  size_t pos = sizeof kJournalMagic;
  uint32_t n = 0;
  if (!Take(body, pos, n) || n == 0 || n > kMaxChanges) return Fail(damaged);
  std::vector<Change> changes(n);
  for (Change& c : changes) {
    uint32_t size = 0;
    if (!Take(body, pos, c.fileNo) || !Take(body, pos, c.offset) || !Take(body, pos, size)) return Fail(damaged);
    bool header = c.fileNo == 0 && c.offset == 0 && size == kHeaderSize;
    int64_t base = c.fileNo == 0 ? kHeaderSize : 0;
    bool record = size == kRecordSize && c.fileNo >= 0 && c.fileNo < kMaxFiles && c.offset >= base &&
                  (c.offset - base) % kRecordSize == 0 && (c.offset - base) / kRecordSize < kRecordsPerFile;
    if ((!header && !record) || body.size() - pos < size) return Fail(damaged);
    c.bytes = std::string(body.substr(pos, size));
    pos += size;
  }
  if (pos != body.size()) return Fail(damaged);
  if (!ApplyChanges(changes)) return false;
  return file::Delete(journal) || FailFile();
}

bool MDataBase::ApplyChanges(const std::vector<Change>& changes) {
  return std::all_of(changes.begin(), changes.end(), [this](const Change& c) { return ApplyChange(c); });
}

bool MDataBase::ApplyChange(const Change& c) {
  std::string path = DataFile(c.fileNo);
  std::FILE* f = file::Open(path, file::Exists(path) ? "r+b" : "w+b");
  if (!f) return FailFile();
  bool ok = std::fseek(f, static_cast<long>(c.offset), SEEK_SET) == 0 || Fail("cannot seek in " + path);
  ok = ok && Put(f, c.bytes.data(), c.bytes.size(), path) && FlushToDisk(f);
  if (std::fclose(f) != 0 && ok) ok = Fail("cannot write " + path);
  return ok;
}

int32_t MDataBase::Add(CaseRecord& record) {
  if (!Prepare()) return -1;
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
      return Commit({RecordChange(slot, record), HeaderChange(h)}) ? slot : -1;
    }
    // The header counted deletions the records do not show: append instead.
    h.deletedCount = 0;
    h.reuseFlag = 0;
  }
  if (h.count == kMaxCases) return Fail("the case store is full"), -1;
  int32_t slot = h.count;
  h.count += 1;
  h.fileCount = static_cast<int16_t>(ExpectedFileCount(h.count));
  record.id = slot;
  return Commit({RecordChange(slot, record), HeaderChange(h)}) ? slot : -1;
}

bool MDataBase::Delete(int32_t id) {
  if (!Prepare()) return false;
  if (id < 0 || id >= header_.count) return Fail(Format("there is no case %d", id));
  CaseRecord r;
  if (!ReadSlot(id, r)) return false;
  if (r.deleted == 1) return Fail(Format("case %d is already deleted", id));
  r.deleted = 1;
  CaseFileHeader h = header_;
  h.deletedCount += 1;
  if (h.deletedCount >= kReuseAfter) h.reuseFlag = 1;
  return Commit({RecordChange(id, r), HeaderChange(h)});
}

bool MDataBase::Read(int32_t id, CaseRecord& buffer) {
  if (!Prepare()) return false;
  if (id < 0 || id >= header_.count) return Fail(Format("there is no case %d", id));
  if (!ReadSlot(id, buffer)) return false;
  return buffer.deleted == 0 || Fail(Format("case %d is deleted", id));
}

bool MDataBase::Write(int32_t id, const CaseRecord& record) {
  if (!Prepare()) return false;
  if (id < 0 || id >= header_.count) return Fail(Format("there is no case %d", id));
  CaseRecord r = record;
  TerminateTexts(r);
  return Commit({RecordChange(id, r)});
}

bool MDataBase::Search(CaseCriteria& criteria, std::vector<int32_t>& ids) {
  ids.clear();
  if (!Prepare()) return false;
  if (header_.kind < 3) criteria.thirdTextMode = 0;
  return Scan([&](int32_t slot, const CaseRecord& r) {
    if (r.deleted != 1 && Matches(criteria, r)) ids.push_back(slot);
    return true;
  });
}

int32_t MDataBase::GetCount() { return Prepare() ? header_.count : -1; }

// The journal goes first, so no interrupted change can bring a cleared case back;
// data file 0 next, so an interrupted clear leaves an empty store.
bool MDataBase::Clear() {
  if (kindName_.empty()) return Fail("the case store is not open");
  for (const std::string& path : {JournalFile(), JournalFile() + ".tmp"}) {
    if (file::Exists(path) && !file::Delete(path)) return FailFile();
  }
  for (int32_t n = 0; file::Exists(DataFile(n)); ++n) {
    if (!file::Delete(DataFile(n))) return FailFile();
  }
  for (const std::string& name : file::List(ReportFolder(), ".rtf")) {
    if (!file::Delete(ReportFolder() + name)) return FailFile();
  }
  return true;
}

bool MDataBase::CopyFile(const std::string& from, const std::string& to) {
  std::FILE* in = file::Open(from, "rb");
  if (!in) return FailFile();
  std::FILE* out = file::Open(to, "wb");
  if (!out) {
    std::fclose(in);
    return FailFile();
  }
  std::vector<char> buf(1 << 20);
  bool ok = true;
  size_t n;
  while (ok && (n = std::fread(buf.data(), 1, buf.size(), in)) > 0) ok = Put(out, buf.data(), n, to);
  if (ok && std::ferror(in)) ok = Fail("cannot read " + from);
  ok = ok && FlushToDisk(out);
  if (std::fclose(out) != 0 && ok) ok = Fail("cannot write " + to);
  std::fclose(in);
  return ok;
}

// Copies to a temporary name beside the target; Publish renames them all at the end,
// so a failed copy (a full disk) replaces nothing.
bool MDataBase::Stage(const std::string& from, const std::string& to, Staged& staged) {
  std::string tmp = to + ".tmp";
  staged.emplace_back(tmp, to);
  return CopyFile(from, tmp);
}

bool MDataBase::StageReports(const std::string& fromFolder, const std::string& toFolder, Staged& staged) {
  if (!file::CreateDir(toFolder)) return FailFile();
  for (const std::string& name : file::List(fromFolder, ".rtf")) {
    if (!Stage(fromFolder + name, toFolder + name, staged)) return false;
  }
  return true;
}

bool MDataBase::Publish(Staged& staged) {
  for (size_t i = 0; i < staged.size(); ++i) {
    if (!file::Rename(staged[i].first, staged[i].second)) {
      FailFile();
      staged.erase(staged.begin(), staged.begin() + static_cast<std::ptrdiff_t>(i));
      Discard(staged);
      return false;
    }
  }
  staged.clear();
  return true;
}

void MDataBase::Discard(Staged& staged) {
  std::string keep = lastError_;
  for (const auto& s : staged) {
    if (file::Exists(s.first)) file::Delete(s.first);
  }
  staged.clear();
  lastError_ = keep;
}

bool MDataBase::Backup(std::string_view destination) {
  if (!Prepare()) return false;
  std::string dest(destination);
  Staged staged;
  bool ok = true;
  for (int32_t n = 0; ok && n < header_.fileCount; ++n) {
    ok = Stage(DataFile(n), dest + kindName_ + IntToStr(n) + ".dat", staged);
  }
  ok = ok && StageReports(ReportFolder(), dest + kindName_ + "_f\\", staged);
  if (!ok) {
    Discard(staged);
    return false;
  }
  return Publish(staged);
}

// The picked file is data file 0 and is checked like one, with the files beside it,
// before anything is copied. Data file 0 is put in place last: until then the store
// keeps its old header (an empty store after Clear), which ignores the rest.
bool MDataBase::Restore(std::string_view path) {
  if (kindName_.empty()) return Fail("the case store is not open");
  std::string folder = ExtractFilePath(path);
  CaseFileHeader h{};
  if (!ReadHeaderFrom(path, h) || !CheckHeader(h, std::string(path), folder + kindName_)) return false;
  Staged staged;
  bool ok = true;
  for (int32_t n = 1; ok && n < h.fileCount; ++n) {
    ok = Stage(folder + kindName_ + IntToStr(n) + ".dat", DataFile(n), staged);
  }
  std::string reports = folder + kindName_ + "_f";
  if (ok && file::DirExists(reports)) ok = StageReports(reports + "\\", ReportFolder(), staged);
  ok = ok && Stage(std::string(path), firstFile_, staged);
  ok = ok && (!file::Exists(JournalFile()) || file::Delete(JournalFile()) || FailFile());
  if (!ok) {
    Discard(staged);
    return false;
  }
  return Publish(staged);
}
