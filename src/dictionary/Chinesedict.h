// The dictionary's builders and maintenance commands.
//
// MChineseDict creates a database file with the dictionary's three tables (or
// completes an existing one), appends characters under ids it allocates itself
// and writes the strings of dict_extra. Between BeginBatch and EndBatch its
// inserts share one connection and one transaction, so a build of thousands of
// characters commits once. The commands below are those the dictionary editor
// runs by command word; each reports in `message` what the editor shows.
#pragma once

#include <functional>
#include <string>

#include "dictionary/Namelibrary.h"

class MChineseDict {
 public:
  // `programFolder` as for MNameLibrary: empty means the executable's folder.
  explicit MChineseDict(std::string programFolder = {});
  ~MChineseDict();
  MChineseDict(const MChineseDict&) = delete;
  MChineseDict& operator=(const MChineseDict&) = delete;

  bool CreateOrOpen(const std::string& path);
  bool CreateWordTable();
  bool CreateExtraTable();
  bool CreateGroupTable();
  bool TableExists(const std::string& table);
  int32_t ReadPrimaryId();
  bool InsertRecord(const CharRecord& rec);
  bool UpdateExtraStrings(const std::string& all, const std::string& radicals, const std::string& common);

  // One connection and transaction for a run of inserts; EndBatch commits.
  bool BeginBatch();
  bool EndBatch();

  const std::string& ErrorText() const { return errorText; }
  int32_t NextId() const { return nextId; }
  const std::string& AppDir() const { return appDir; }

 private:
  bool Fail(std::string text);
  bool FailGbk(const char* utf8);
  bool ExecOneShot(const std::string& sql, std::string& error);

  std::string appDir;
  std::string dbPathUtf8;
  std::string dbPath;
  int32_t nextId = 0;
  sqlite3* db = nullptr;  // kept open only inside a batch
  std::string errorText;
};

// Caption text while a long build runs (the editor shows it); may be empty.
using ProgressFn = std::function<void(const std::string&)>;

// "迷你字库": "dat\ChiWordMini.db" from "3.3.01版字库\hanzi.dat" and the full file `lib` has open.
bool MakeMiniDb(MNameLibrary& lib, std::string& message, const ProgressFn& progress = {});
// "简化字库": the reduced copy "ChiWord.db" in the program folder.
bool MakeSimplifiedDb(MNameLibrary& lib, std::string& message);
// "导入字库": replaces the current dictionary file by `chosen`, restoring the old one on failure.
bool ImportDictionary(MNameLibrary& lib, const std::string& chosen, std::string& message);
// "修改康熙": Kangxi stroke counts from lines "字 count".
bool FixKangxiStrokes(MNameLibrary& lib, const std::string& txtPath, std::string& message);
// "六爻字库": "LyWord.txt" in the program folder.
bool ExportLiuyaoWords(MNameLibrary& lib, std::string& message);
// "安卓快速数据": the quick file as source arrays in "安卓版汉字数据".
bool ExportJavaData(MNameLibrary& lib, std::string& message);
