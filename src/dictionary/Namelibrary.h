// The character dictionary: the program's one access object to "dat\ChiWord.db"
// (full) and "dat\ChiWordMini.db" (quick).
//
// Text in and out is GBK; the files hold UTF-8, and every value is converted on
// its own as it enters an SQL text or comes back. Every literal that goes into SQL
// is quoted with its apostrophes doubled, so no stored text can alter a statement.
//
// Each file's characters and stroke groups are held in memory: read with one
// statement each on the first look-up, then answered without SQLite. The memory
// copy belongs to the file as it was (size, modification time and SQLite's change
// counter): Open and BeginBatch check that, and a file changed by another program
// or connection is checked and read again, so a reader that opens before its
// look-ups, as every reader does, sees the file as it is. Our own writes
// (UpdateRecord, RebuildGroups) keep the copy true. A read of the records or groups that
// fails (a damaged file) is not tried again before the next Open or BeginBatch: the
// look-ups in between fail at once, so a loop over many characters reads a damaged file
// once, not once per character.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/TStringList.h"

struct sqlite3;

// One character as the dictionary hands it out and takes it back.
struct CharRecord {
  std::string word;  // 2 bytes GBK
  int32_t id = 0;
  std::string truePy;
  std::string pinYin;
  std::string buShou;  // the radical, one character
  uint8_t bsLen = 0;
  uint8_t gbLen = 0;
  uint8_t big5Len = 0;
  uint8_t kxLen = 0;
  uint8_t wx = 5;  // 0 水 1 木 2 火 3 土 4 金 5 none
  uint8_t jx = 2;  // 0 吉 1 凶 2 平
  bool isFirst = false;
  uint8_t useSex = 0;  // 0 either, 1 男, 2 女
  std::string biHua;
  std::string nameExp;
  std::string normalExp;
  std::string words;
  std::string poemExp;
  std::string relateWords;
  std::string poem;
  std::string fourWord;
  std::string kxExp;
};

// One result row (column name to UTF-8 value) and the rows of one result.
using TMapValue = std::map<std::string, std::string>;
using TContentValues = std::vector<TMapValue>;

// The SQLite side shared by the dictionary object and its builders.
namespace dictsql {

constexpr int kColumnCount = 22;
constexpr int kFullCount = 20892;  // characters of the full file
// The columns of word_dict in table order (also CharRecord's field order).
extern const char* const kWordColumns[kColumnCount];
extern const char* const kGroupColumns[3];

// The value between single quotes, apostrophes doubled.
std::string Quote(std::string_view utf8);
// Every "'" replaced by the GBK "‘", as the writers store apostrophes.
std::string ReplaceApostrophes(std::string_view gbk);
// GBK-aware search: 1-based byte position of `ch` in `s`, never inside a character; 0 when absent.
size_t FindChar(std::string_view s, std::string_view ch);

// The 22 values of a record in column order, as UTF-8 text (not quoted).
std::vector<std::string> RecordValues(const CharRecord& rec);
// Raw UTF-8 lines in column order into a record.
void LinesToRecord(const TStringList& lines, CharRecord& rec);
// Whether the four stroke counts of raw lines are numbers from 0 to 100.
bool StrokesInRange(const TStringList& lines);

// Runs one query on an open connection. On failure `error` holds SQLite's message.
bool Query(sqlite3* db, const std::string& sql, TContentValues& rows, std::string& error);
bool Exec(sqlite3* db, const std::string& sql, std::string& error);
// Opens the file (UTF-8 path); `create` allows a new file. Null on failure, with the reason.
sqlite3* OpenDb(const std::string& pathUtf8, bool create, std::string& error);
void CloseDb(sqlite3*& db);
// The name SQLite is handed for a program path (GBK, '\' separators).
std::string Utf8Path(const std::string& path);

}  // namespace dictsql

class MNameLibrary {
 public:
  // `programFolder` is the folder that holds "dat\"; empty means the executable's folder.
  explicit MNameLibrary(std::string programFolder = {});
  ~MNameLibrary();
  MNameLibrary(const MNameLibrary&) = delete;
  MNameLibrary& operator=(const MNameLibrary&) = delete;

  // 0 "ChiWord.db", 1 "ChiWordMini.db". A failure leaves no file chosen.
  bool Open(int variant);
  bool BeginBatch();
  void EndBatch();
  bool TableExists(const std::string& table);

  bool GetCharInfo(std::string_view ch, CharRecord& rec);
  bool GetRecordById(int id, CharRecord& rec);
  bool GetCharInfoBatch(std::string_view ch, CharRecord& rec);
  bool GetRecordByIdBatch(int id, CharRecord& rec);
  int32_t IdOfChar(std::string_view ch) const;
  // GetCharInfoBatch without the copy, for loops over many characters: the record held
  // in memory, valid until the next write, Open or Reset; null on failure (see LastError).
  const CharRecord* FindCharBatch(std::string_view ch);

  // Kind 1..4: all/common characters by Kangxi/simplified strokes. Line k of `groups`
  // holds the characters of k + 1 strokes; `strokes` lists the non-empty counts.
  bool LoadStrokeGroups(int kind, std::vector<int>& strokes, TStringList& groups);
  std::string GetRadicals();
  std::string GetCommonWords();
  bool ReadExtraColumn(const std::string& column, std::string& out);

  bool UpdateRecord(const CharRecord& rec);
  bool RebuildGroups();
  // The reduced copy of the open file, written as "ChiWord.db" into the program folder.
  bool BuildSimplifiedDb();

  const std::string& LastError() const { return lastError; }
  // The statements this object has sent to SQLite so far (for the benchmarks).
  int64_t Statements() const { return statements; }
  const std::string& FileName() const { return fileName; }
  const std::string& AppDir() const { return appDir; }
  const std::string& AllWord() const { return allWord; }
  int Variant() const { return variant; }
  // Forgets the chosen file, so the next Open checks and reads it again.
  void Reset();
  // Reads from another program folder from the next Open on (empty: the executable's).
  void SetProgramFolder(std::string folder);

 private:
  // One row of dict_group as a look-up wants it.
  struct GroupRow {
    bool present = false;
    bool nonEmpty = false;  // groupLen above 0
    std::string chars;      // wordGroup trimmed, GBK
  };
  // Size, modification time and SQLite's change counter of a file: any write moves one.
  struct FileMark {
    int64_t size = -1;
    int64_t stamp = -1;
    uint32_t counter = 0;
    bool operator==(const FileMark&) const = default;
  };
  // What the program holds of one file, true while the file keeps `mark`.
  struct FileCache {
    FileMark mark;
    bool checked = false;  // Open's checks passed at `mark`
    std::string allWord;
    std::vector<int32_t> ids;  // by a character's two bytes (lead * 256 + trail); 0 absent
    bool recordsLoaded = false;
    std::vector<CharRecord> records;  // in id order
    std::vector<bool> damaged;        // by place in records: a stroke count out of range
    bool groupsLoaded = false;
    std::vector<GroupRow> groups;  // by row id
    // A read failed since the last Open or BeginBatch: why, to answer without reading.
    bool recordsFailed = false;
    bool groupsFailed = false;
    std::string failure;
    void TryAgain() { recordsFailed = groupsFailed = false; }
  };

  bool Fail(std::string text);
  bool FailGbk(const char* utf8);
  bool Ask(sqlite3* conn, const std::string& sql, TContentValues& rows);
  bool HasTable(sqlite3* conn, const std::string& table);
  bool ReadExtra(sqlite3* conn, const std::string& column, std::string& out);
  bool CheckFile(sqlite3* conn, FileCache& cache);
  bool CheckAllWord(sqlite3* conn, const std::string& all);

  FileMark MarkOf() const;
  FileCache* Cache();
  const FileCache* Cache() const;
  bool Refresh();
  void AfterOwnWrite(bool wasCurrent);
  bool LoadRecords(FileCache& cache);
  bool LoadGroups(FileCache& cache);
  CharRecord* FindRecord(int id);
  bool ReadRecord(int id, CharRecord& rec);
  bool Usable(const CharRecord* rec);
  void PatchRecord(const std::vector<std::string>& values);
  bool WriteGroups(const std::vector<std::string>& groups);
  bool CopyGroups(sqlite3* target, std::string& error);

  std::string programFolder;
  std::string appDir;
  std::string dbPathUtf8;
  std::string dbPath;
  sqlite3* db = nullptr;
  std::string allWord;
  int variant = -1;
  std::string fileName;
  std::string lastError;
  FileCache caches[2];  // "ChiWord.db", "ChiWordMini.db"
  int slot = 0;         // the one of fileName
  int64_t statements = 0;
};

// Row lists by a list of column names, an absent column giving an empty line.
void RowToLines(const TMapValue& row, const char* const* columns, int count, TStringList& lines);
TContentValues RowsFromTable(char** table, int rows, int columns);
