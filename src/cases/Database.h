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
// applies it again first, so a crash leaves each case as before or as after. Records
// beyond the header's count (an interrupted append) are ignored.
//
// Every operation returns true/false (Add an id or -1) and keeps a last-error text.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
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
  uint8_t reserved[4];
};
static_assert(sizeof(CaseFileHeader) == 20);
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
  bool Delete(int32_t id);
  // True when id names a live record, whose bytes are then in buffer.
  bool Read(int32_t id, CaseRecord& buffer);
  // Overwrites a slot with the record as given (id and deleted included).
  bool Write(int32_t id, const CaseRecord& record);
  // Ids of the matching live records, ascending.
  bool Search(CaseCriteria& criteria, std::vector<int32_t>& ids);
  // Slots ever used, deleted included; -1 on failure.
  int32_t GetCount();
  // Deletes every data file and every report; the next Open makes a new store.
  bool Clear();
  // Copies the data files and reports into destination (with trailing backslash).
  bool Backup(std::string_view destination);
  // Copies in the data files and reports that lie beside the data file 0 at path.
  bool Restore(std::string_view path);

  const std::string& LastError() const { return lastError_; }

  // Test hook: the nth file write from now fails; shortWrite lets half its bytes through first.
  void FailWrite(int nth, bool shortWrite) {
    faultAt_ = nth;
    faultShort_ = shortWrite;
  }

 private:
  struct Change {
    int32_t fileNo;
    int64_t offset;
    std::string bytes;
  };

  bool Fail(std::string text);
  bool FailFile();
  std::string DataFile(int32_t n) const;
  std::string JournalFile() const;
  std::string ReportFolder() const;
  static std::pair<int32_t, int64_t> Place(int32_t slot);
  bool Put(std::FILE* f, const void* data, size_t size, const std::string& path);
  bool FlushToDisk(std::FILE* f);

  bool Prepare();
  bool ReadHeaderFrom(std::string_view path, CaseFileHeader& h);
  bool CheckHeader(const CaseFileHeader& h, const std::string& firstFile, const std::string& prefix);
  bool ReadSlot(int32_t slot, CaseRecord& buffer);
  bool Scan(const std::function<bool(int32_t, const CaseRecord&)>& visit);
  int32_t FindDeletedSlot();
  bool Commit(const std::vector<Change>& changes);
  bool WriteJournal(const std::vector<Change>& changes);
  bool Recover();
  bool ApplyChanges(const std::vector<Change>& changes);
  bool ApplyChange(const Change& c);
  using Staged = std::vector<std::pair<std::string, std::string>>;  // temporary copy, final name
  bool CopyFile(const std::string& from, const std::string& to);
  bool Stage(const std::string& from, const std::string& to, Staged& staged);
  bool StageReports(const std::string& fromFolder, const std::string& toFolder, Staged& staged);
  bool Publish(Staged& staged);
  void Discard(Staged& staged);
  Change HeaderChange(const CaseFileHeader& h) const;
  Change RecordChange(int32_t slot, const CaseRecord& r) const;

  std::string baseFolder_;
  std::string filePrefix_;
  std::string firstFile_;
  std::string kindName_;
  uint8_t kind_ = 0;
  CaseFileHeader header_{};
  std::string lastError_;
  int faultAt_ = 0;
  bool faultShort_ = false;
};
