// A program folder in a temp folder with a small dictionary built by the program's own
// builder, and direct SQLite access to check what the files hold.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "dictionary/Chinesedict.h"
#include "dictionary/Namelibrary.h"
#include "support/TempFolder.h"

using gbk::U;

inline CharRecord MakeRecord(const char* word, int kx, int gb, const char* nameExp = "good") {
  CharRecord r;
  r.word = U(word);
  r.truePy = "py";
  r.pinYin = "py2";
  r.buShou = U("木");
  r.bsLen = 4;
  r.gbLen = static_cast<uint8_t>(gb);
  r.big5Len = static_cast<uint8_t>(kx);
  r.kxLen = static_cast<uint8_t>(kx);
  r.wx = 1;
  r.jx = 0;
  r.isFirst = true;
  r.useSex = 2;
  r.nameExp = U(nameExp);
  for (std::string* s :
       {&r.biHua, &r.normalExp, &r.words, &r.poemExp, &r.relateWords, &r.poem, &r.fourWord, &r.kxExp}) {
    *s = "x";
  }
  return r;
}

// Runs one query on a file and returns the first column of each row.
inline std::vector<std::string> Column(const std::string& path, const std::string& sql) {
  std::vector<std::string> out;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(dictsql::Utf8Path(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
      while (sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* t = sqlite3_column_text(st, 0);
        out.push_back(t ? reinterpret_cast<const char*>(t) : "<null>");
      }
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return out;
}

inline std::string One(const std::string& path, const std::string& sql) {
  std::vector<std::string> v = Column(path, sql);
  return v.empty() ? "<none>" : v[0];
}

inline bool ExecSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(dictsql::Utf8Path(path).c_str(), &db) == SQLITE_OK &&
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

class DictFixture : public ::testing::Test {
 protected:
  // Builds dat\<name> with the given characters (ids in order); common = the common characters.
  std::string Build(const std::string& name, const std::vector<CharRecord>& recs, const std::string& common) {
    file::ForceDirectories(tmp.Path("dat"));
    std::string path = tmp.Path("dat\\" + name);
    MChineseDict b(tmp.Dir());
    EXPECT_TRUE(b.CreateOrOpen(path)) << b.ErrorText();
    std::string all, radicals;
    for (const CharRecord& r : recs) {
      EXPECT_TRUE(b.InsertRecord(r));
      all += r.word;
      if (!dictsql::FindChar(radicals, r.buShou)) radicals += r.buShou;
    }
    EXPECT_TRUE(b.UpdateExtraStrings(all, radicals, common));
    return path;
  }
  // As Build, with the inserts in one transaction.
  void BuildBatched(const std::string& name, const std::vector<CharRecord>& recs, const std::string& common) {
    file::ForceDirectories(tmp.Path("dat"));
    MChineseDict b(tmp.Dir());
    ASSERT_TRUE(b.CreateOrOpen(tmp.Path("dat\\" + name))) << b.ErrorText();
    ASSERT_TRUE(b.BeginBatch());
    std::string all, radicals;
    for (const CharRecord& r : recs) {
      ASSERT_TRUE(b.InsertRecord(r));
      all += r.word;
      if (!dictsql::FindChar(radicals, r.buShou)) radicals += r.buShou;
    }
    ASSERT_TRUE(b.EndBatch()) << b.ErrorText();
    ASSERT_TRUE(b.UpdateExtraStrings(all, radicals, common));
  }
  std::string BuildFull() {
    return Build("ChiWord.db", {MakeRecord("李", 7, 7), MakeRecord("王", 4, 4), MakeRecord("张", 11, 7)}, U("李王"));
  }

  TempFolder tmp;
};
