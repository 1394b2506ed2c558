// The dictionary object's memory copy of a file: its marks, its loading and the
// look-ups it answers.
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "dictionary/Namelibrary.h"

using namespace dictsql;

namespace {

constexpr size_t kHeaderSize = 28;     // an SQLite file's header up to its change counter
constexpr size_t kCounterOffset = 24;  // the change counter, 4 bytes big-endian
constexpr int kGroupRows = 400;

// Hands each row of `sql` to `take` as raw UTF-8 lines in the order of `columns`; a column
// the result lacks, and a NULL, give an empty line. One prepared statement for all rows.
bool EachRow(sqlite3* conn, const std::string& sql, const char* const* columns, int count,
             const std::function<void(const TStringList&)>& take, std::string& error) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(conn, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    error = sqlite3_errmsg(conn);
    return false;
  }
  std::vector<int> where(count, -1);
  for (int j = 0; j < sqlite3_column_count(st); ++j) {
    for (int i = 0; i < count; ++i) {
      if (std::strcmp(sqlite3_column_name(st, j), columns[i]) == 0) where[i] = j;
    }
  }
  TStringList lines;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    lines.Clear();
    for (int i = 0; i < count; ++i) {
      const unsigned char* t = where[i] < 0 ? nullptr : sqlite3_column_text(st, where[i]);
      lines.Add(t ? reinterpret_cast<const char*>(t) : "");
    }
    take(lines);
  }
  if (rc != SQLITE_DONE) error = sqlite3_errmsg(conn);
  sqlite3_finalize(st);
  return rc == SQLITE_DONE;
}

}  // namespace

MNameLibrary::FileMark MNameLibrary::MarkOf() const {
  FileMark m;
  std::string head;
  if (!file::Peek(dbPath, kHeaderSize, m.size, m.stamp, head)) return FileMark{};
  // Two writes within one tick of the file clock can leave size and time alike;
  // SQLite counts every committed change in the header.
  if (head.size() == kHeaderSize) {
    const auto* c = reinterpret_cast<const unsigned char*>(head.data()) + kCounterOffset;
    m.counter = uint32_t{c[0]} << 24 | uint32_t{c[1]} << 16 | uint32_t{c[2]} << 8 | c[3];
  }
  return m;
}

MNameLibrary::FileCache* MNameLibrary::Cache() { return variant < 0 ? nullptr : &caches[slot]; }

const MNameLibrary::FileCache* MNameLibrary::Cache() const { return const_cast<MNameLibrary*>(this)->Cache(); }

bool MNameLibrary::Refresh() {
  FileCache* cache = Cache();
  if (!cache) return true;  // nothing chosen: the look-ups say so themselves
  FileMark now = MarkOf();
  // A file gone since answers from memory as before; a changed one is checked and read again.
  if (now.size < 0 || now == cache->mark) {
    cache->TryAgain();  // a new operation reads once more what failed before
    return true;
  }
  int v = variant;
  *cache = FileCache{};
  variant = -1;
  return Open(v);
}

void MNameLibrary::AfterOwnWrite(bool wasCurrent) {
  FileCache* cache = Cache();
  if (!cache) return;
  if (wasCurrent) {
    cache->mark = MarkOf();
    return;
  }
  // Someone else wrote before us: whatever we hold may be stale.
  cache->recordsLoaded = cache->groupsLoaded = false;
  cache->records.clear();
  cache->groups.clear();
  cache->mark = FileMark{};
}

bool MNameLibrary::LoadRecords(FileCache& cache) {
  if (cache.recordsFailed) return Fail(cache.failure);
  std::string error;
  sqlite3* conn = db ? db : OpenDb(dbPathUtf8, false, error);
  if (!conn) return Fail(error);
  cache.records.clear();
  cache.damaged.clear();
  cache.records.reserve(cache.allWord.size() / 2);
  ++statements;
  bool ok = EachRow(
      conn, "select * from word_dict order by id;", kWordColumns, kColumnCount,
      [&](const TStringList& lines) {
        cache.records.emplace_back();
        LinesToRecord(lines, cache.records.back());
        cache.damaged.push_back(!StrokesInRange(lines));
      },
      error);
  if (conn != db) CloseDb(conn);
  if (!ok) {
    cache.records.clear();
    cache.damaged.clear();
    cache.recordsFailed = true;
    cache.failure = error;
    return Fail(error);
  }
  cache.recordsLoaded = true;
  return true;
}

bool MNameLibrary::LoadGroups(FileCache& cache) {
  if (cache.groupsFailed) return Fail(cache.failure);
  std::string error;
  sqlite3* conn = db ? db : OpenDb(dbPathUtf8, false, error);
  if (!conn) return Fail(error);
  cache.groups.assign(kGroupRows + 1, GroupRow{});
  ++statements;
  bool ok = EachRow(
      conn, "select * from dict_group;", kGroupColumns, 3,
      [&](const TStringList& lines) {
        long long id = StrToIntDef(lines[0], 0);
        if (id < 1 || id > kGroupRows) return;
        GroupRow& g = cache.groups[id];
        g.present = true;
        g.nonEmpty = StrToIntDef(lines[1], 0) > 0;
        // The one-space placeholder of an empty group becomes empty.
        g.chars = gbk::FromUtf8(Trim(lines[2]));
      },
      error);
  if (conn != db) CloseDb(conn);
  if (!ok) {
    cache.groups.clear();
    cache.groupsFailed = true;
    cache.failure = error;
    return Fail(error);
  }
  cache.groupsLoaded = true;
  return true;
}

CharRecord* MNameLibrary::FindRecord(int id) {
  FileCache* cache = Cache();
  if (!cache) {
    FailGbk("没有打开字库！");
    return nullptr;
  }
  if (!cache->recordsLoaded && !LoadRecords(*cache)) return nullptr;
  std::vector<CharRecord>& r = cache->records;
  // Ids run from 1 without gaps in the files the builders write; any other file is searched.
  if (id >= 1 && static_cast<size_t>(id) <= r.size() && r[id - 1].id == id) return &r[id - 1];
  auto it = std::lower_bound(r.begin(), r.end(), id, [](const CharRecord& c, int v) { return c.id < v; });
  return it != r.end() && it->id == id ? &*it : nullptr;
}

// A record whose stroke counts are out of range comes from a damaged file and is not handed out.
bool MNameLibrary::Usable(const CharRecord* rec) {
  const FileCache* cache = Cache();
  const size_t at = static_cast<size_t>(rec - cache->records.data());
  return !cache->damaged[at] || FailGbk("字库中这个汉字的笔画数有误，姓名学字库文件已经损坏！");
}

bool MNameLibrary::ReadRecord(int id, CharRecord& rec) {
  const CharRecord* found = FindRecord(id);
  if (!found) return lastError.empty() ? FailGbk("找不到这个汉字的数据！") : false;
  if (!Usable(found)) return false;
  rec = *found;
  return true;
}

void MNameLibrary::PatchRecord(const std::vector<std::string>& values) {
  FileCache* cache = Cache();
  if (!cache || !cache->recordsLoaded) return;
  CharRecord* found = FindRecord(static_cast<int>(StrToIntDef(values[0], 0)));
  if (!found) return;
  CharRecord& rec = *found;
  // What a read of the row gives now: the new values back from UTF-8, id and word as stored.
  TStringList lines;
  for (const std::string& v : values) lines.Add(v);
  const std::string word = rec.word;
  LinesToRecord(lines, rec);
  rec.word = word;
  cache->damaged[static_cast<size_t>(found - cache->records.data())] = !StrokesInRange(lines);
}

int32_t MNameLibrary::IdOfChar(std::string_view ch) const {
  const FileCache* cache = Cache();
  if (!cache || ch.size() != 2 || cache->ids.empty()) return 0;
  return cache->ids[static_cast<unsigned char>(ch[0]) << 8 | static_cast<unsigned char>(ch[1])];
}

bool MNameLibrary::GetRecordById(int id, CharRecord& rec) {
  lastError.clear();
  return ReadRecord(id, rec);
}

bool MNameLibrary::GetRecordByIdBatch(int id, CharRecord& rec) {
  lastError.clear();
  if (!db) return FailGbk("没有打开字库！");
  return ReadRecord(id, rec);
}

bool MNameLibrary::GetCharInfo(std::string_view ch, CharRecord& rec) {
  int32_t id = IdOfChar(ch);
  if (id < 1) return FailGbk("字库里面没有这个汉字！");
  lastError.clear();
  return ReadRecord(id, rec);
}

bool MNameLibrary::GetCharInfoBatch(std::string_view ch, CharRecord& rec) {
  const CharRecord* found = FindCharBatch(ch);
  if (found) rec = *found;
  return found;
}

const CharRecord* MNameLibrary::FindCharBatch(std::string_view ch) {
  int32_t id = IdOfChar(ch);
  if (id < 1) {
    FailGbk("字库里面没有这个汉字！");
    return nullptr;
  }
  lastError.clear();
  if (!db) {
    FailGbk("没有打开字库！");
    return nullptr;
  }
  const CharRecord* found = FindRecord(id);
  if (!found && lastError.empty()) FailGbk("找不到这个汉字的数据！");
  return found && Usable(found) ? found : nullptr;
}

bool MNameLibrary::LoadStrokeGroups(int kind, std::vector<int>& strokes, TStringList& groups) {
  strokes.clear();
  groups.Clear();
  if (kind < 1 || kind > 4) return FailGbk("笔画分组的种类不对！");
  FileCache* cache = Cache();
  if (!cache) return FailGbk("没有打开字库！");
  if (!cache->groupsLoaded && !LoadGroups(*cache)) return false;
  const int first = kind * 100 - 99;
  for (int k = 0; k < 100; ++k) {
    const GroupRow& g = cache->groups[first + k];
    if (!g.present) return false;
    groups.Add(g.chars);  // line k: the characters of k + 1 strokes
    if (g.nonEmpty) strokes.push_back(k + 1);
  }
  return true;
}
