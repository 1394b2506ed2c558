// The case store: every analysed case as one fixed-size record in flat data files.
//
// Slot s lives in data file s / 50000 ("dat\bazi0.dat", "dat\bazi1.dat", ...) at
// (s mod 50000) * 1212, plus 20 in file 0, which begins with the header. A slot never
// moves: its number is the case id. The byte layout is fixed (little-endian, GBK text,
// NUL-terminated fields), so files written by any build of the program are the same.
//
// Nothing is half-written: every change (record and header together) is first written
// whole to a journal beside the data files ("dat\bazi.jnl", made by write-then-rename),
// then applied in place, then the journal is removed. An operation that finds a journal
// applies it again first, so a crash leaves each case as before or as after. A journal
// that is damaged is set aside as a copy, and the history opens as its files stand.
//
// Whole histories (import, export, clear) are put together under "bazi.new" beside the
// data files and switched in once complete: a file "ready" in it says that the switch
// has begun, and whoever finds it finishes it. Category renames and deletions are noted
// in "dat\bazi.op" first and finished by the next operation when interrupted.
//
// Open checks the store against its files: the header's counts against the lengths,
// each record's id against its slot, the deleted marks. What can be mended without
// losing a case is mended (Notice tells what); anything else is refused with a message.
// A history that cannot be written (a full disk, a read-only folder) still opens for
// reading; changes are refused with the reason until it can be written again.
//
// Two windows of the program may work on one history: every operation holds a lock on
// it ("dat\bazi.lck") from its first read to its last write, so only one journal is
// ever live and a journal found under the lock is one whose writer died. An operation
// that fails leaves no trace: what it applied is put back and its journal goes. A
// window that finds the history cleared or imported by another since it last looked
// opens it anew; ids it read before name other cases now, so a write or deletion by
// such an id is refused (Replaced tells) rather than land on another person's case.
//
// Nothing the store removes, moves or empties is reached through a link or junction:
// a link found there is removed as a link, and what it leads to stays untouched.
//
// Every operation returns true/false (Add an id or -1) and keeps a last-error text for
// the user (GBK).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "classlib/Gbk.h"

static_assert(std::endian::native == std::endian::little, "the case files are little-endian");

// At offset 0 of data file 0.
struct CaseFileHeader {
  uint8_t kind;
  uint8_t padding[3];
  int32_t count;         // slots ever used, deleted included; the next appended id
  int32_t deletedCount;  // deleted slots not yet reused
  uint8_t reuseFlag;     // 1: the next add reuses a deleted slot
  uint8_t padding2;
  int16_t fileCount;  // (count - 1) / 50000 + 1; 1 in a new store
  // Changes whenever the history is replaced as a whole (clear, import): a window can
  // tell that what it read belongs to another history. 0 in histories made before it.
  uint32_t generation;
};
static_assert(sizeof(CaseFileHeader) == 20);
static_assert(offsetof(CaseFileHeader, generation) == 16);
static_assert(offsetof(CaseFileHeader, count) == 4 && offsetof(CaseFileHeader, deletedCount) == 8);
static_assert(offsetof(CaseFileHeader, reuseFlag) == 12 && offsetof(CaseFileHeader, fileCount) == 14);

// One stored case. Years use astronomical numbering (0 = 1 BC, -119 = 120 BC).
struct CaseRecord {
  int32_t id;       // the slot; set by the store
  uint8_t deleted;  // 1: slot free for reuse; set by the store
  char name[12];
  char category[15];
  int16_t year;
  int16_t month;
  int16_t day;
  int16_t hour;
  int16_t minute;
  uint8_t lunar;
  uint8_t leapMonth;
  uint8_t male;
  uint8_t padding;
  int16_t provinceIndex;
  int16_t cityIndex;
  uint8_t padding2[2];
  float longitude;  // degrees east
  float latitude;   // degrees north
  char note[1002];
  char thirdText[42];  // searched for other case kinds only
  int32_t singleSurname;
  uint8_t reserved[44];
  char place[60];
};
static_assert(sizeof(CaseRecord) == 1212);
static_assert(offsetof(CaseRecord, deleted) == 4 && offsetof(CaseRecord, name) == 5);
static_assert(offsetof(CaseRecord, category) == 17 && offsetof(CaseRecord, year) == 32);
static_assert(offsetof(CaseRecord, month) == 34 && offsetof(CaseRecord, day) == 36);
static_assert(offsetof(CaseRecord, hour) == 38 && offsetof(CaseRecord, minute) == 40);
static_assert(offsetof(CaseRecord, lunar) == 42 && offsetof(CaseRecord, leapMonth) == 43);
static_assert(offsetof(CaseRecord, male) == 44 && offsetof(CaseRecord, provinceIndex) == 46);
static_assert(offsetof(CaseRecord, cityIndex) == 48 && offsetof(CaseRecord, longitude) == 52);
static_assert(offsetof(CaseRecord, latitude) == 56 && offsetof(CaseRecord, note) == 60);
static_assert(offsetof(CaseRecord, thirdText) == 1062 && offsetof(CaseRecord, singleSurname) == 1104);
static_assert(offsetof(CaseRecord, reserved) == 1108 && offsetof(CaseRecord, place) == 1152);

// What a search looks for. Modes: 0 ignore, 1 the field contains the text, 2 equals it.
struct CaseCriteria {
  char name[12] = {};
  char category[14] = {};
  char thirdText[42] = {};
  uint8_t sex = 0;       // wanted value of the record's male byte
  int16_t yearFrom = 0;  // stored numbering, inclusive
  int16_t yearTo = 0;
  uint16_t province = 0xFFFF;  // 0xFFFF: any
  uint8_t nameMode = 0;
  uint8_t categoryMode = 0;
  uint8_t thirdTextMode = 0;
  uint8_t sexOn = 0;
  uint8_t yearOn = 0;
};

// Puts text into a fixed field, cut at a character boundary so the NUL always fits.
template <size_t N>
void SetText(char (&field)[N], std::string_view text) {
  std::string cut = gbk::CutAtCharBoundary(text, N - 1);
  cut.copy(field, cut.size());
  for (size_t i = cut.size(); i < N; ++i) field[i] = '\0';
}

// The text of a fixed field, up to its NUL or its width.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return std::string(field, n);
}

class MDataBase {
 public:
  static constexpr int32_t kRecordsPerFile = 50000;
  static constexpr int32_t kReuseAfter = 30;  // deletions gathered before slots are reused

  MDataBase();
  virtual ~MDataBase();
  MDataBase(const MDataBase&) = delete;
  MDataBase& operator=(const MDataBase&) = delete;

  // folder: the program folder with its trailing backslash. Creates data file 0 when missing.
  bool Open(std::string_view folder, uint8_t kind);
  // Stores the record in a reused or a new slot and sets its id and deleted fields; -1 on failure.
  int32_t Add(CaseRecord& record);
  // generation: Generation() when the id was read; another history's id is refused.
  bool Delete(int32_t id, uint32_t generation);
  // True when id names a live record, whose bytes are then in buffer.
  bool Read(int32_t id, CaseRecord& buffer);
  // The history the last operation worked on, for a later Write or Delete of what it read.
  uint32_t Generation() const { return generation_; }
  // The last Write, Delete or WriteReport was refused because the history was cleared or
  // imported after the case was read.
  bool Replaced() const { return replaced_; }
  // Read of many ids at the cost of one: the store is checked once and each data file
  // opened once for ids in ascending or descending order. Visits, in the order given,
  // each record that Read would give; false when a file could not be read.
  bool ReadMany(const std::vector<int32_t>& ids, const std::function<void(const CaseRecord&)>& visit);
  // Overwrites a live slot with the record as given; generation as for Delete.
  bool Write(int32_t id, const CaseRecord& record, uint32_t generation);
  // Writes the report of a live case ("bazi_f\<id>.rtf" in the program folder, made
  // when missing) whole or not at all; generation as for Delete.
  bool WriteReport(int32_t id, std::string_view text, uint32_t generation);
  // Ids of the matching live records, ascending.
  bool Search(CaseCriteria& criteria, std::vector<int32_t>& ids);
  // Slots ever used, deleted included; -1 on failure.
  int32_t GetCount();
  // Replaces the history by an empty one: every case and every report goes.
  bool Clear();
  // Copies the data files and reports into destination (with trailing backslash).
  bool Backup(std::string_view destination);
  // Replaces the whole history by the data files and reports beside the data file 0 at path.
  bool Restore(std::string_view path);
  // Puts every live case of category `from` under `to`; generation as for Delete.
  bool RenameCategory(std::string_view from, std::string_view to, uint32_t generation);
  // Deletes every live case of the category; their reports stay. Generation as for Delete.
  bool DeleteCategory(std::string_view name, uint32_t generation);

  const std::string& LastError() const { return lastError_; }
  // What the last Open mended or set aside, for the user (GBK); empty when nothing.
  const std::string& Notice() const { return notice_; }

  // How long an operation waits for another window to finish with the history.
  void SetLockWait(int milliseconds) { lockWaitMs_ = milliseconds; }

  // Test hook: the nth file write from now fails; shortWrite lets half its bytes through first.
  void FailWrite(int nth, bool shortWrite) {
    faultAt_ = nth;
    faultShort_ = shortWrite;
  }
  // Test hook: asked before every call that opens, writes, flushes, renames, deletes or
  // makes a file or folder, with the call's number counted from 1 and the path it works
  // on; false fails the call.
  void SetFaultHook(std::function<bool(int call)> hook) {
    SetPathFaultHook(hook ? [hook](int call, const std::string&) { return hook(call); } : PathHook());
  }
  using PathHook = std::function<bool(int call, const std::string& path)>;
  void SetPathFaultHook(PathHook hook) {
    hook_ = std::move(hook);
    calls_ = 0;
  }
  // Test hook: a disk with this many bytes free from now on (-1: unbounded). A write
  // that would grow the files by more puts what fits and fails as on a full disk.
  void SetFreeSpace(int64_t bytes) { freeSpace_ = bytes; }

 private:
  struct Change {
    int32_t fileNo;
    int64_t offset;
    std::string bytes;
  };
  // Where a whole history lives: its data files and its report folder (no backslash).
  struct Home {
    std::string dataFolder;
    std::string reportFolder;
  };
  enum class CategoryOp : uint8_t { Rename = 1, Delete = 2 };
  // Whether the store opened: not yet (or another window held it), refused for good,
  // for reading only (its files cannot be written), or fully.
  enum class Access : uint8_t { Pending, Refused, ReadOnly, Ready };
  // Holds the history's lock while it lives (DatabaseSystem.cpp).
  class Held {
   public:
    explicit Held(MDataBase& db);
    ~Held();
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    bool held = false;
    bool busy = false;  // another window holds it

   private:
    MDataBase& db_;
  };

  bool Fail(std::string text);
  bool FailUtf8(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Note(std::string text);
  std::string DataFile(int32_t n) const;
  std::string DataName(int32_t n) const;
  std::string JournalFile() const;
  std::string OpFile() const;
  std::string ReportFolder() const;
  Home ProgramHome() const;
  static std::pair<int32_t, int64_t> Place(int32_t slot);

  // Every file-system call that changes something goes through these.
  bool Allowed(const std::string& path);
  bool NotALink(const std::string& path);
  std::FILE* FsOpen(const std::string& path, const char* mode);
  bool FsRename(const std::string& from, const std::string& to);
  bool FsRenameDir(const std::string& from, const std::string& to);
  bool FsDelete(const std::string& path);
  bool FsCreateDir(const std::string& path);
  bool FsRemoveDir(const std::string& path);
  bool Put(std::FILE* f, const void* data, size_t size, const std::string& path);
  bool TakeSpace(std::FILE* f, size_t size, size_t& fits);
  bool Close(std::FILE* f, const std::string& path, bool ok);
  bool FlushToDisk(std::FILE* f, const std::string& path);
  bool WriteWhole(const std::string& path, std::string_view data);
  bool WriteAtomic(const std::string& path, std::string_view data);
  bool SetAside(const std::string& path, std::string& keptAs);

  // The lock (DatabaseSystem.cpp). busy: another window holds it.
  bool Lock(bool& busy);
  void Unlock();
  bool CannotMakeLock(const std::string& path);
  bool CutFile(std::FILE* f, int64_t size, const std::string& path);
  bool Busy();

  bool OpenUnderLock();
  bool ReadAsItStands();
  bool Prepare(const Held& lock, bool writing);
  bool SameHistory();
  bool Current(uint32_t generation);
  bool LiveSlot(int32_t id);
  bool ReadHeaderFrom(std::string_view path, CaseFileHeader& h);
  bool CheckHeader(const CaseFileHeader& h, const std::string& firstFile, const std::string& prefix);
  bool ReadSlot(int32_t slot, CaseRecord& buffer);
  bool ReadAt(std::FILE* f, const std::string& path, int32_t slot, CaseRecord& buffer);
  bool Scan(int32_t slots, const std::function<bool(int32_t, const CaseRecord&)>& visit);
  int32_t FindDeletedSlot();
  static constexpr int32_t kReportFile = -1;  // a change that deletes a report
  Change DropReport(int32_t id) const;
  bool ApplyDropReport(int64_t id);
  bool Commit(const std::vector<Change>& changes);
  using Sizes = std::vector<std::pair<int32_t, int64_t>>;  // data file, length (-1: absent)
  bool TakeBefore(const std::vector<Change>& changes, std::vector<Change>& before, Sizes& sizes);
  bool PutBack(const std::vector<Change>& before, const Sizes& sizes);
  bool WriteJournal(const std::vector<Change>& changes);
  bool Recover();
  bool ParseJournal(std::string_view data, std::vector<Change>& changes);
  bool ChangesFit(const std::vector<Change>& changes);
  bool ApplyChanges(const std::vector<Change>& changes);
  bool ApplyToFile(const std::vector<Change>& changes, size_t first, size_t end);
  Change HeaderChange(const CaseFileHeader& h) const;
  Change RecordChange(int32_t slot, const CaseRecord& r) const;

  // The check at open (DatabaseCheck.cpp).
  bool CheckStore();
  bool SetAsideStrayFiles(int32_t firstStray);
  bool CommitRepairs(std::vector<Change>& records, const CaseFileHeader& h);

  // Category operations (DatabaseCategory.cpp).
  using Records = std::vector<std::pair<int32_t, CaseRecord>>;
  bool RunCategoryOp(CategoryOp op, const std::string& from, const std::string& to, bool undoOnFailure);
  bool ChangeCategoryCases(CategoryOp op, const std::string& from, const std::string& to, Records& done);
  bool UndoCategoryCases(const Records& done, const CaseFileHeader& h);
  bool ResumeCategoryOp();

  // Whole histories (DatabaseSwitch.cpp).
  std::string StageFolder(const Home& h) const;
  std::string OldFolder(const Home& h) const;
  bool CopyFile(const std::string& from, const std::string& to);
  bool SwitchBegun(const Home& h) const;
  bool SettleSwitch(const Home& h);
  bool Stage(const Home& to, const std::string& firstFile, const std::string& fromReports, int32_t files);
  bool Switch(const Home& h);
  bool SwitchIn(const Home& h);
  bool ReadyToStage(const Home& h);
  bool RollForward(const Home& h);
  bool MoveIn(const Home& h, const std::string& name);
  bool MoveAside(const Home& h, const std::string& name);
  bool RemoveTree(const std::string& folder);
  bool ClearLink(const std::string& path);
  uint32_t NextGeneration();
  bool SetGeneration(const std::string& firstFile, uint32_t generation);
  void ClearAway(const std::string& folder);
  void FinishSwitch(const Home& h);
  bool OutsideLiveHistory(const std::string& destination);

  std::string baseFolder_;
  std::string filePrefix_;
  std::string firstFile_;
  std::string kindName_;
  uint8_t kind_ = 0;
  CaseFileHeader header_{};
  uint32_t generation_ = 0;  // of the history last opened
  bool replaced_ = false;
  std::string lastError_;
  std::string notice_;
  Access access_ = Access::Pending;
  std::string refusal_;       // why the store was refused or is read-only
  bool writeFailed_ = false;  // a call that changes a file failed since this was cleared
  intptr_t lock_ = -1;        // the lock file's handle or descriptor while held
  int lockDepth_ = 0;
  int lockWaitMs_ = 5000;
  int faultAt_ = 0;
  bool faultShort_ = false;
  PathHook hook_;
  int calls_ = 0;
  int64_t freeSpace_ = -1;
};
