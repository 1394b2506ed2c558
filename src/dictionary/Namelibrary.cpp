#include "dictionary/Namelibrary.h"

#include <sqlite3.h>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace dictsql {

const char* const kWordColumns[kColumnCount] = {"id",          "word",    "truePy",   "pinYin",    "buShou", "bsLen",
                                                "gbLen",       "big5Len", "kxLen",    "wx",        "jx",     "isFirst",
                                                "useSex",      "biHua",   "nameExp",  "normalExp", "words",  "poemExp",
                                                "relateWords", "poem",    "fourWord", "kxExp"};
const char* const kGroupColumns[3] = {"id", "groupLen", "wordGroup"};

namespace {

// The stored words of the small vocabularies, in UTF-8 as the files hold them.
const char* const kElementWords[] = {"水", "木", "火", "土", "金", "无"};
const char* const kClassWords[] = {"吉", "凶", "平"};
const char* const kSexWords[] = {"无", "男", "女"};

template <size_t N>
uint8_t IndexOfWord(const char* const (&words)[N], const std::string& value, uint8_t fallback) {
  for (size_t i = 0; i < N; ++i) {
    if (value == words[i]) return static_cast<uint8_t>(i);
  }
  return fallback;
}

template <size_t N>
std::string WordAt(const char* const (&words)[N], uint8_t index, size_t fallback) {
  return words[index < N ? index : fallback];
}

uint8_t StrokeValue(const std::string& text) { return static_cast<uint8_t>(StrToIntDef(text, 0)); }

// No character has more strokes than this; a larger count is a damaged dictionary, not
// a number to wrap into a byte.
constexpr long long kMaxStrokes = 100;  // the stroke groups go as far

}  // namespace

bool StrokesInRange(const TStringList& l) {
  for (int i = 5; i <= 8; ++i) {
    long long v = StrToIntDef(l[i], -1);
    if (v < 0 || v > kMaxStrokes) return false;
  }
  return true;
}

namespace {

// ASCII is the same in both encodings; most stored values are, so they skip the converter.
bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::string ToUtf8(std::string_view s) { return IsAscii(s) ? std::string(s) : gbk::ToUtf8(s); }
std::string FromUtf8(std::string_view s) { return IsAscii(s) ? std::string(s) : gbk::FromUtf8(s); }

}  // namespace

std::string Quote(std::string_view utf8) {
  std::string q(1, '\'');
  q += StringReplace(utf8, "'", "''");
  q += '\'';
  return q;
}

std::string ReplaceApostrophes(std::string_view gbk) {
  static const std::string kQuoteMark = gbk::FromUtf8("‘");
  std::string out;
  for (size_t i = 0; i < gbk.size(); i += gbk::CharLength(gbk, i)) {
    size_t n = gbk::CharLength(gbk, i);
    if (n == 1 && gbk[i] == '\'') {
      out += kQuoteMark;
    } else {
      out.append(gbk.substr(i, n));
    }
  }
  return out;
}

size_t FindChar(std::string_view s, std::string_view ch) {
  if (ch.empty()) return 0;
  for (size_t i = 0; i < s.size(); i += gbk::CharLength(s, i)) {
    if (s[i] == ch[0] && s.compare(i, ch.size(), ch) == 0) return i + 1;
  }
  return 0;
}

std::vector<std::string> RecordValues(const CharRecord& r) {
  return {IntToStr(r.id),
          ToUtf8(r.word),
          ToUtf8(r.truePy),
          ToUtf8(r.pinYin),
          ToUtf8(r.buShou),
          IntToStr(r.bsLen),
          IntToStr(r.gbLen),
          IntToStr(r.big5Len),
          IntToStr(r.kxLen),
          WordAt(kElementWords, r.wx, 5),
          WordAt(kClassWords, r.jx, 2),
          r.isFirst ? "是" : "否",
          WordAt(kSexWords, r.useSex, 0),
          ToUtf8(r.biHua),
          ToUtf8(r.nameExp),
          ToUtf8(r.normalExp),
          ToUtf8(r.words),
          ToUtf8(r.poemExp),
          ToUtf8(r.relateWords),
          ToUtf8(r.poem),
          ToUtf8(r.fourWord),
          ToUtf8(r.kxExp)};
}

void LinesToRecord(const TStringList& l, CharRecord& r) {
  auto text = [&](int i) { return FromUtf8(l[i]); };
  r.word = text(1);
  r.id = static_cast<int32_t>(StrToIntDef(l[0], 0));
  r.truePy = text(2);
  r.pinYin = text(3);
  r.buShou = text(4);
  r.bsLen = StrokeValue(l[5]);
  r.gbLen = StrokeValue(l[6]);
  r.big5Len = StrokeValue(l[7]);
  r.kxLen = StrokeValue(l[8]);
  r.wx = IndexOfWord(kElementWords, l[9], 5);
  r.jx = IndexOfWord(kClassWords, l[10], 2);
  r.isFirst = l[11] == "是";
  r.useSex = IndexOfWord(kSexWords, l[12], 0);
  r.biHua = text(13);
  r.nameExp = text(14);
  r.normalExp = text(15);
  r.words = text(16);
  r.poemExp = text(17);
  r.relateWords = text(18);
  r.poem = text(19);
  r.fourWord = text(20);
  r.kxExp = text(21);
}

bool Query(sqlite3* db, const std::string& sql, TContentValues& rows, std::string& error) {
  char** table = nullptr;
  int nRow = 0;
  int nColumn = 0;
  char* message = nullptr;
  rows.clear();
  if (sqlite3_get_table(db, sql.c_str(), &table, &nRow, &nColumn, &message) != SQLITE_OK) {
    error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
  }
  rows = RowsFromTable(table, nRow, nColumn);
  sqlite3_free_table(table);
  return true;
}

bool Exec(sqlite3* db, const std::string& sql, std::string& error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
  }
  return true;
}

sqlite3* OpenDb(const std::string& pathUtf8, bool create, std::string& error) {
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(pathUtf8.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    error = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

void CloseDb(sqlite3*& db) {
  sqlite3_close(db);
  db = nullptr;
}

// SQLite takes UTF-8 names; the native build also wants '/' separators.
std::string Utf8Path(const std::string& path) {
#ifdef _WIN32
  return gbk::ToUtf8(path);
#else
  return file::NativePath(path);
#endif
}

}  // namespace dictsql

using namespace dictsql;

namespace {

bool IsExtraColumn(const std::string& column) {
  for (const char* c : {"verCode", "primaryId", "allWord", "buShou", "commonWord"}) {
    if (column == c) return true;
  }
  return false;
}

std::string Value(const TMapValue& row, const char* column) {
  auto it = row.find(column);
  return it == row.end() ? std::string() : it->second;
}

}  // namespace

void RowToLines(const TMapValue& row, const char* const* columns, int count, TStringList& lines) {
  lines.Clear();
  for (int i = 0; i < count; ++i) lines.Add(Value(row, columns[i]));
}

TContentValues RowsFromTable(char** table, int rows, int columns) {
  TContentValues out;
  out.reserve(rows);
  for (int i = 0; i < rows; ++i) {
    TMapValue row;
    for (int j = 0; j < columns; ++j) {
      const char* v = table[columns * (i + 1) + j];
      row[table[j]] = v ? v : "";  // NULL reads as empty text
    }
    out.push_back(std::move(row));
  }
  return out;
}

MNameLibrary::MNameLibrary(std::string folder) : programFolder(std::move(folder)) {}

MNameLibrary::~MNameLibrary() = default;

bool MNameLibrary::Fail(std::string text) {
  lastError = std::move(text);
  return false;
}

bool MNameLibrary::FailGbk(const char* utf8) { return Fail(gbk::FromUtf8(utf8)); }

bool MNameLibrary::Ask(sqlite3* conn, const std::string& sql, TContentValues& rows) {
  ++statements;
  std::string error;
  return Query(conn, sql, rows, error) || Fail(error);
}

bool MNameLibrary::Open(int v) {
  if (v == variant) return Refresh();
  if (v == 0) fileName = "ChiWord.db";
  if (v == 1) fileName = "ChiWordMini.db";
  // Until every check passes no file is chosen, so a failed open is retried next time
  // and no look-up reads a stale character string.
  variant = -1;
  allWord.clear();
  appDir = IncludeTrailingBackslash(programFolder.empty() ? file::ProgramFolder() : programFolder);
  dbPath = appDir + "dat\\" + fileName;
  dbPathUtf8 = Utf8Path(dbPath);
  if (fileName.empty() || !file::Exists(dbPath)) return FailGbk("没有姓名学字库文件！");
  slot = fileName == "ChiWordMini.db" ? 1 : 0;
  FileCache& cache = caches[slot];
  FileMark now = MarkOf();
  // A file checked before and unchanged since needs no second look.
  if (!cache.checked || !(cache.mark == now)) {
    cache = FileCache{};
    cache.mark = now;
    std::string error;
    sqlite3* conn = OpenDb(dbPathUtf8, false, error);
    if (!conn) return Fail(error);
    bool ok = CheckFile(conn, cache);
    CloseDb(conn);
    if (!ok) {
      cache = FileCache{};
      return false;
    }
  }
  cache.TryAgain();
  allWord = cache.allWord;
  variant = v;
  return true;
}

void MNameLibrary::Reset() {
  variant = -1;
  allWord.clear();
  for (FileCache& c : caches) c = FileCache{};
}

void MNameLibrary::SetProgramFolder(std::string folder) {
  programFolder = std::move(folder);
  Reset();
}

bool MNameLibrary::CheckFile(sqlite3* conn, FileCache& cache) {
  // A file that is no database at all (cut short, overwritten) is not a missing table.
  TContentValues probe;
  if (cache.mark.size == 0 || !Ask(conn, "select count(*) from sqlite_master;", probe)) {
    return Fail(gbk::U("姓名学字库文件已经损坏，无法读取：") + fileName);
  }
  for (const char* table : {"word_dict", "dict_extra", "dict_group"}) {
    if (!HasTable(conn, table)) return FailGbk("数据库表有丢失，数据不全！");
  }
  if (!ReadExtra(conn, "allWord", cache.allWord) || !CheckAllWord(conn, cache.allWord)) return false;
  cache.ids.assign(0x10000, 0);
  for (size_t i = 0; i + 1 < cache.allWord.size(); i += 2) {
    int32_t& id =
        cache.ids[static_cast<unsigned char>(cache.allWord[i]) << 8 | static_cast<unsigned char>(cache.allWord[i + 1])];
    if (id == 0) id = static_cast<int32_t>(i / 2 + 1);  // the first place counts
  }
  cache.checked = true;
  return true;
}

bool MNameLibrary::CheckAllWord(sqlite3* conn, const std::string& all) {
  // Ids are places in allWord: it must be whole two-byte characters, one per id.
  for (size_t i = 0; i < all.size(); i += 2) {
    if (gbk::CharLength(all, i) != 2) return FailGbk("额外表的汉字字符串不完整！");
  }
  TContentValues rows;
  if (!Ask(conn, "select primaryId from dict_extra", rows)) return false;
  if (rows.empty() || StrToIntDef(Value(rows[0], "primaryId"), -1) != static_cast<long long>(all.size() / 2)) {
    return FailGbk("额外表的汉字字符串与汉字数不符！");
  }
  return true;
}

bool MNameLibrary::BeginBatch() {
  EndBatch();
  if (!Refresh()) return false;
  std::string error;
  db = OpenDb(dbPathUtf8, false, error);
  return db || Fail(error);
}

void MNameLibrary::EndBatch() { CloseDb(db); }

bool MNameLibrary::HasTable(sqlite3* conn, const std::string& table) {
  TContentValues rows;
  std::string sql = "select name from sqlite_master where type='table' and name=" + Quote(table) + ";";
  return Ask(conn, sql, rows) && !rows.empty() && !rows[0].empty();
}

bool MNameLibrary::TableExists(const std::string& table) {
  std::string error;
  sqlite3* conn = OpenDb(dbPathUtf8, false, error);
  if (!conn) return Fail(error);
  bool ok = HasTable(conn, table);
  CloseDb(conn);
  return ok;
}

bool MNameLibrary::ReadExtra(sqlite3* conn, const std::string& column, std::string& out) {
  if (!IsExtraColumn(column)) return FailGbk("无法读取额外表的汉字字符串！");
  TContentValues rows;
  if (!Ask(conn, Format("select %s from dict_extra", column.c_str()), rows)) return false;
  out = rows.empty() ? std::string() : gbk::FromUtf8(Value(rows[0], column.c_str()));
  return !out.empty() || FailGbk("无法读取额外表的汉字字符串！");
}

bool MNameLibrary::ReadExtraColumn(const std::string& column, std::string& out) {
  if (!IsExtraColumn(column)) return FailGbk("无法读取额外表的汉字字符串！");
  std::string error;
  sqlite3* conn = OpenDb(dbPathUtf8, false, error);
  if (!conn) return Fail(error);
  bool ok = ReadExtra(conn, column, out);
  CloseDb(conn);
  return ok;
}

std::string MNameLibrary::GetRadicals() {
  std::string s;
  return ReadExtraColumn("buShou", s) ? s : std::string();
}

std::string MNameLibrary::GetCommonWords() {
  std::string s;
  return ReadExtraColumn("commonWord", s) ? s : std::string();
}

bool MNameLibrary::UpdateRecord(const CharRecord& rec) {
  std::vector<std::string> values = RecordValues(rec);
  std::string sql = "update word_dict set ";
  for (int i = 2; i < kColumnCount; ++i) {
    if (i > 2) sql += ", ";
    sql += Format("%s=%s", kWordColumns[i], Quote(values[i]).c_str());
  }
  sql += " where id=" + IntToStr(rec.id) + ";";
  const FileCache* cache = Cache();
  const bool current = cache && cache->mark == MarkOf();
  std::string error;
  sqlite3* conn = OpenDb(dbPathUtf8, false, error);
  ++statements;
  bool ok = conn && Exec(conn, sql, error) && sqlite3_changes(conn) > 0;
  CloseDb(conn);
  if (!ok) return FailGbk("无法修改汉字库！");
  if (current) PatchRecord(values);
  AfterOwnWrite(current);
  return true;
}

bool MNameLibrary::RebuildGroups() {
  std::string common;
  if (!ReadExtraColumn("commonWord", common)) return false;
  std::vector<std::string> groups(400);  // all/Kangxi, all/simplified, common/Kangxi, common/simplified
  std::string outOfRange;
  if (!BeginBatch()) return false;
  int count = static_cast<int>(allWord.size() / 2);
  for (int id = 1; id <= count; ++id) {
    CharRecord r;
    if (!GetRecordByIdBatch(id, r)) continue;
    // A count outside 1..100 has no group: skip it, and say so below.
    if (r.kxLen < 1 || r.kxLen > 100 || r.gbLen < 1 || r.gbLen > 100) {
      outOfRange += r.word;
      continue;
    }
    groups[r.kxLen - 1] += r.word;
    groups[100 + r.gbLen - 1] += r.word;
    if (FindChar(common, r.word)) {
      groups[200 + r.kxLen - 1] += r.word;
      groups[300 + r.gbLen - 1] += r.word;
    }
  }
  EndBatch();
  const FileCache* cache = Cache();
  const bool current = cache && cache->mark == MarkOf();
  bool written = WriteGroups(groups);
  // Whatever part was written, the groups are read again from the file.
  if (FileCache* c = Cache()) {
    c->groupsLoaded = false;
    c->groups.clear();
  }
  AfterOwnWrite(current);
  if (!written) return false;
  if (!outOfRange.empty()) return Fail(gbk::FromUtf8("笔画数超出范围的汉字：") + outOfRange);
  return true;
}

bool MNameLibrary::WriteGroups(const std::vector<std::string>& groups) {
  std::string error;
  sqlite3* conn = OpenDb(dbPathUtf8, false, error);
  if (!conn) return Fail(error);
  // One transaction: the 400 rows change together or not at all.
  bool ok = Exec(conn, "begin;", error);
  for (int i = 0; ok && i < 400; ++i) {
    const std::string& g = groups[i];
    std::string text = g.empty() ? " " : gbk::ToUtf8(g);
    ++statements;
    ok = Exec(conn,
              "update dict_group set groupLen=" + IntToStr(g.size() / 2) + ", wordGroup=" + Quote(text) +
                  "  where id=" + IntToStr(i + 1) + ";",
              error);
  }
  ok = ok && Exec(conn, "commit;", error);
  std::string ignored;
  if (!ok) Exec(conn, "rollback;", ignored);
  CloseDb(conn);
  return ok || Fail(error);
}
