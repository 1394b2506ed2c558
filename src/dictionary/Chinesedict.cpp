#include "dictionary/Chinesedict.h"

#include <sqlite3.h>

#include <array>
#include <vector>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

using namespace dictsql;

namespace {

// Declared types of word_dict, column by column; the last one closes the statement.
const char* const kWordColumnTypes[kColumnCount] = {"%s integer primary key,",
                                                    "%s char(1),",
                                                    "%s varchar(10),",
                                                    "%s varchar(20),",
                                                    "%s char(3),",
                                                    "%s integer,",
                                                    "%s integer,",
                                                    "%s integer,",
                                                    "%s integer,",
                                                    "%s char(2),",
                                                    "%s char(2),",
                                                    "%s char(1),",
                                                    "%s char(1),",
                                                    "%s varchar(40),",
                                                    "%s varchar(150),",
                                                    "%s text,",
                                                    "%s text,",
                                                    "%s text,",
                                                    "%s text,",
                                                    "%s text,",
                                                    "%s text,",
                                                    "%s text);"};
const char* const kExtraColumns[] = {"verCode", "primaryId", "allWord", "buShou", "commonWord"};

constexpr int kHanziRecordSize = 210;  // one record of the source list
constexpr int kHanziRecords = 7064;
constexpr int kJavaGroups = 52;  // stroke counts 0..51
constexpr size_t kJavaFileChars = 1800;
constexpr int kJavaFiles = 5;

std::string ExtraColumnList() {
  std::string s;
  for (const char* c : kExtraColumns) s += Format("%s,", c);
  s.pop_back();
  return s;
}

std::string JoinQuoted(const std::vector<std::string>& values) {
  std::string s;
  for (size_t i = 0; i < values.size(); ++i) s += (i ? ", " : "") + Quote(values[i]);
  return s;
}

using gbk::U;

// The writers store apostrophes as "‘" in every text of a record.
CharRecord WithoutApostrophes(CharRecord r) {
  for (std::string* s : {&r.word, &r.truePy, &r.pinYin, &r.buShou, &r.biHua, &r.nameExp, &r.normalExp, &r.words,
                         &r.poemExp, &r.relateWords, &r.poem, &r.fourWord, &r.kxExp}) {
    *s = ReplaceApostrophes(*s);
  }
  return r;
}

void EmptyLongTexts(CharRecord& r) {
  for (std::string* s :
       {&r.pinYin, &r.biHua, &r.normalExp, &r.words, &r.poemExp, &r.relateWords, &r.poem, &r.fourWord, &r.kxExp}) {
    s->clear();
  }
}

}  // namespace

MChineseDict::MChineseDict(std::string programFolder)
    : appDir(IncludeTrailingBackslash(programFolder.empty() ? file::ProgramFolder() : programFolder)) {}

MChineseDict::~MChineseDict() { CloseDb(db); }

bool MChineseDict::Fail(std::string text) {
  errorText = std::move(text);
  return false;
}

bool MChineseDict::FailGbk(const char* utf8) { return Fail(U(utf8)); }

bool MChineseDict::ExecOneShot(const std::string& sql, std::string& error) {
  if (db) return Exec(db, sql, error);
  sqlite3* conn = OpenDb(dbPathUtf8, false, error);
  if (!conn) return false;
  bool ok = Exec(conn, sql, error);
  CloseDb(conn);
  return ok;
}

bool MChineseDict::CreateOrOpen(const std::string& path) {
  CloseDb(db);
  dbPath = path;
  dbPathUtf8 = Utf8Path(path);
  if (file::Exists(path)) {
    if (!TableExists("word_dict") && !CreateWordTable()) return false;
    if (!TableExists("dict_extra") && !CreateExtraTable()) return false;
    return TableExists("dict_group") || CreateGroupTable();
  }
  std::string error;
  sqlite3* conn = OpenDb(dbPathUtf8, true, error);
  if (!conn) return FailGbk("无法创建或者打开数据库！");
  CloseDb(conn);
  return CreateWordTable() && CreateExtraTable() && CreateGroupTable();
}

bool MChineseDict::CreateWordTable() {
  std::string sql = "create table word_dict(";
  for (int i = 0; i < kColumnCount; ++i) sql += Format(kWordColumnTypes[i], kWordColumns[i]);
  std::string error;
  return ExecOneShot(sql, error) || FailGbk("无法创建数据主表！");
}

bool MChineseDict::CreateExtraTable() {
  std::string error;
  if (!ExecOneShot("create table dict_extra(" + ExtraColumnList() + ");", error)) return FailGbk("无法创建额外表！");
  std::string sql = "insert into dict_extra(" + ExtraColumnList() + ") values (" + Format("%d, %d, ", 1000, nextId) +
                    "'全部汉字', '部首', '常用字' );";
  return ExecOneShot(sql, error) || FailGbk("无法往额外表写入数据！");
}

bool MChineseDict::CreateGroupTable() {
  std::string error;
  std::string sql = "create table dict_group(" + Format("%s integer primary key,", "id") +
                    Format("%s integer,", "groupLen") + Format("%s text);", "wordGroup");
  if (!ExecOneShot(sql, error)) return FailGbk("无法创建额外表！");
  // The 400 empty rows go in as one transaction, and a failed one fails the table.
  sqlite3* conn = OpenDb(dbPathUtf8, false, error);
  bool ok = conn && Exec(conn, "begin;", error);
  for (int i = 1; ok && i <= 400; ++i) {
    ok = Exec(conn, "insert into dict_group values (" + IntToStr(i) + ", 0, ' ');", error);
  }
  ok = ok && Exec(conn, "commit;", error);
  CloseDb(conn);
  return ok || Fail(error);
}

bool MChineseDict::TableExists(const std::string& table) {
  std::string error;
  sqlite3* conn = db ? db : OpenDb(dbPathUtf8, false, error);
  if (!conn) return Fail(error);
  TContentValues rows;
  bool ok =
      Query(conn, "select name from sqlite_master where type='table' and name=" + Quote(table) + ";", rows, error);
  if (conn != db) CloseDb(conn);
  if (!ok) return Fail(error);
  return !rows.empty() && !rows[0].empty();
}

int32_t MChineseDict::ReadPrimaryId() {
  std::string error;
  sqlite3* conn = db ? db : OpenDb(dbPathUtf8, false, error);
  TContentValues rows;
  bool ok = conn && Query(conn, "select primaryId from dict_extra", rows, error);
  if (conn != db) CloseDb(conn);
  if (!ok) {
    Fail(error);
    return -1;
  }
  long long id = -1;
  if (!rows.empty()) {
    auto it = rows[0].find("primaryId");
    if (it == rows[0].end() || !TryStrToInt(it->second, id)) id = -1;
  }
  if (id < 0) FailGbk("无法读取额外表的主键id！");
  return static_cast<int32_t>(id);
}

bool MChineseDict::InsertRecord(const CharRecord& rec) {
  // Without a readable id there is no place to put the character.
  int32_t last = ReadPrimaryId();
  if (last < 0) return false;
  CharRecord r = WithoutApostrophes(rec);
  r.id = last + 1;
  std::string error;
  bool ok = ExecOneShot("insert into word_dict values (" + JoinQuoted(RecordValues(r)) + ");", error) &&
            ExecOneShot("update dict_extra set primaryId=" + IntToStr(r.id) + ";", error);
  if (!ok) return Fail(error);
  nextId = r.id;
  return true;
}

bool MChineseDict::UpdateExtraStrings(const std::string& all, const std::string& radicals, const std::string& common) {
  std::string sql = "update dict_extra set allWord=" + Quote(gbk::ToUtf8(all)) +
                    " ,commonWord=" + Quote(gbk::ToUtf8(common)) + " ,buShou=" + Quote(gbk::ToUtf8(radicals)) + " ;";
  std::string error;
  return ExecOneShot(sql, error) || Fail(error);
}

bool MChineseDict::BeginBatch() {
  CloseDb(db);
  std::string error;
  db = OpenDb(dbPathUtf8, false, error);
  if (!db) return Fail(error);
  return Exec(db, "begin;", error) || Fail(error);
}

bool MChineseDict::EndBatch() {
  if (!db) return false;
  std::string error;
  bool ok = Exec(db, "commit;", error);
  CloseDb(db);
  return ok || Fail(error);
}

bool MNameLibrary::BuildSimplifiedDb() {
  MChineseDict builder(appDir);
  if (!builder.CreateOrOpen(appDir + fileName)) return Fail(builder.ErrorText());
  std::string error;
  sqlite3* target = OpenDb(Utf8Path(appDir + fileName), false, error);
  if (!target) return Fail(error);
  bool ok = Exec(target, "begin;", error) && BeginBatch();
  int count = static_cast<int>(allWord.size() / 2);
  for (int id = 1; ok && id <= count; ++id) {
    CharRecord r;
    if (!GetRecordByIdBatch(id, r)) continue;
    for (std::string* s : {&r.biHua, &r.words, &r.poemExp, &r.relateWords, &r.poem, &r.fourWord, &r.kxExp}) {
      *s = gbk::FromUtf8("无");
    }
    ok = Exec(target, "insert into word_dict values (" + JoinQuoted(RecordValues(r)) + ");", error);
  }
  EndBatch();
  std::string radicals = GetRadicals();
  std::string common = GetCommonWords();
  // The copy's highest id is the source's own character count, so its ids stay in step with allWord.
  ok = ok && Exec(target,
                  "update dict_extra set primaryId=" + IntToStr(count) + ", allWord=" + Quote(gbk::ToUtf8(allWord)) +
                      " ,buShou=" + Quote(gbk::ToUtf8(radicals)) + " , commonWord=" + Quote(gbk::ToUtf8(common)) + " ;",
                  error);
  ok = ok && CopyGroups(target, error) && Exec(target, "commit;", error);
  CloseDb(target);
  return ok || Fail(error);
}

bool MNameLibrary::CopyGroups(sqlite3* target, std::string& error) {
  sqlite3* source = OpenDb(dbPathUtf8, false, error);
  if (!source) return false;
  bool ok = true;
  for (int id = 1; ok && id <= 400; ++id) {
    TContentValues rows;
    ok = Query(source, "select * from dict_group where id=" + IntToStr(id) + ";", rows, error);
    if (!ok || rows.empty()) continue;
    TStringList g;
    RowToLines(rows[0], kGroupColumns, 3, g);
    ok = Exec(target,
              "update dict_group set groupLen=" + Quote(g[1]) + " ,wordGroup=" + Quote(g[2]) +
                  "  where id=" + IntToStr(id) + ";",
              error);
  }
  CloseDb(source);
  return ok;
}

namespace {

// The characters of the source list: each record starts with one NUL-terminated GBK text.
std::vector<std::string> ReadHanziList(const std::string& path) {
  std::string data;
  std::vector<std::string> list;
  if (!file::ReadAll(path, data)) return list;
  for (size_t i = 0; i + kHanziRecordSize <= data.size() && list.size() < kHanziRecords; i += kHanziRecordSize) {
    std::string_view rec(data.data() + i, kHanziRecordSize);
    list.emplace_back(rec.substr(0, rec.find('\0')));
  }
  return list;
}

}  // namespace

bool MakeMiniDb(MNameLibrary& lib, std::string& message, const ProgressFn& progress) {
  std::vector<std::string> list = ReadHanziList(lib.AppDir() + U("3.3.01版字库\\hanzi.dat"));
  if (list.empty()) {
    message = U("无法读取汉字列表文件！");
    return false;
  }
  std::string common = lib.GetCommonWords();
  std::string all, radicals, commonNew;
  // A fresh file: ids continuing an old one would fall out of step with allWord.
  std::string target = lib.AppDir() + "dat\\ChiWordMini.db";
  file::Delete(target);
  MChineseDict builder(lib.AppDir());
  if (!builder.CreateOrOpen(target) || !builder.BeginBatch()) {
    message = builder.ErrorText();
    return false;
  }
  if (!lib.BeginBatch()) {
    builder.EndBatch();
    message = lib.LastError();
    return false;
  }
  int count = 0;
  for (const std::string& ch : list) {
    CharRecord r;
    if (!lib.GetCharInfoBatch(ch, r)) continue;
    EmptyLongTexts(r);
    // Only a stored character joins the strings, so ids and allWord stay in step.
    if (!builder.InsertRecord(r)) continue;
    all += r.word;
    if (!FindChar(radicals, r.buShou)) radicals += r.buShou;
    if (FindChar(common, r.word)) commonNew += r.word;
    if (count % 100 == 0 && progress) progress(IntToStr(count));
    ++count;
  }
  lib.EndBatch();
  if (!builder.EndBatch() || !builder.UpdateExtraStrings(all, radicals, commonNew)) {
    message = builder.ErrorText();
    return false;
  }
  if (progress) progress(U("汉字归组！"));
  MNameLibrary mini(lib.AppDir());
  if (!mini.Open(1) || !mini.RebuildGroups()) {
    message = mini.LastError();
    return false;
  }
  message = IntToStr(count) + U("个汉字：迷你字库创建成功，请关闭软件！");
  return true;
}

bool MakeSimplifiedDb(MNameLibrary& lib, std::string& message) {
  if (!lib.BuildSimplifiedDb()) {
    message = lib.LastError();
    return false;
  }
  message = U("已经在软件目录下生成一个简化版的字库文件“ChiWord.db”！");
  return true;
}

bool ImportDictionary(MNameLibrary& lib, const std::string& chosen, std::string& message) {
  if (!file::Exists(chosen)) {
    message = U("不存在的文件，无法导入！");
    return false;
  }
  // The import replaces the full file, the one it then checks by opening variant 0.
  std::string folder = IncludeTrailingBackslash(lib.AppDir().empty() ? file::ProgramFolder() : lib.AppDir());
  std::string target = folder + "dat\\ChiWord.db";
  std::string backup = ChangeFileExt(target, ".bak");
  if (!file::Copy(target, backup, false)) {
    message = file::LastErrorText();
    return false;
  }
  if (!file::Copy(chosen, target, false)) {
    message = file::LastErrorText();
    file::Delete(backup);
    return false;
  }
  lib.Reset();
  if (lib.Open(0)) {
    file::Delete(backup);
    message = U("成功导入新的字库文件！");
    return true;
  }
  file::Delete(target);
  file::Rename(backup, target);
  lib.Reset();
  lib.Open(0);
  message = U("导入新字库失败，恢复使用旧字库！");
  return false;
}

bool FixKangxiStrokes(MNameLibrary& lib, const std::string& txtPath, std::string& message) {
  TStringList lines;
  if (!file::Exists(txtPath) || !lines.LoadFromFile(txtPath)) {
    message = U("不存在的文件，无法加载！");
    return false;
  }
  const std::string comma = U("，");
  std::string failed;
  for (const std::string& line : lines) {
    std::string t = Trim(line);
    if (t.size() < 4) continue;
    size_t p = Pos(" ", t);
    if (p < 3) {
      failed += t + comma;
      continue;
    }
    std::string ch = Copy(t, 1, 2);
    long long n = StrToIntDef(Trim(Copy(t, 4, t.size())), 0);
    CharRecord r;
    bool ok = lib.GetCharInfo(ch, r) && n >= 1 && n <= 99;
    if (ok) {
      r.kxLen = static_cast<uint8_t>(n);
      ok = lib.UpdateRecord(r);
    }
    if (!ok) failed += ch + comma;
  }
  message = failed.empty() ? U("全部修改成功！") : U("无法修改笔画的汉字：") + failed;
  return failed.empty();
}

bool ExportLiuyaoWords(MNameLibrary& lib, std::string& message) {
  if (!lib.Open(0) || !lib.BeginBatch()) {
    message = lib.LastError();
    return false;
  }
  TStringList out;
  int count = static_cast<int>(lib.AllWord().size() / 2);
  for (int id = 1; id <= count; ++id) {
    CharRecord r;
    if (lib.GetRecordByIdBatch(id, r)) out.Add(Format("%s %d %d", r.word.c_str(), r.kxLen, r.gbLen));
  }
  lib.EndBatch();
  std::string path = lib.AppDir() + "LyWord.txt";
  if (!out.SaveToFile(path)) {
    message = file::LastErrorText();
    return false;
  }
  message = path;
  return true;
}

namespace {

std::string OrSpace(const std::string& s, const char* empty) { return Format("%s$", s.empty() ? empty : s.c_str()); }

std::string JavaLine(const CharRecord& r) {
  std::string line =
      Format("%s$", r.word.c_str()) + OrSpace(r.truePy, " ") + OrSpace(r.pinYin, " ") + OrSpace(r.buShou, " ");
  for (int v : {int(r.bsLen), int(r.gbLen), int(r.big5Len), int(r.kxLen), int(r.wx), int(r.jx), r.isFirst ? 1 : 0,
                int(r.useSex)}) {
    line += Format("%d$", v);
  }
  return line + OrSpace(r.biHua, " ") + OrSpace(r.nameExp, gbk::FromUtf8("无。").c_str());
}

void AddArray(std::vector<std::string>& out, const std::string& head, const std::vector<std::string>& items) {
  out.push_back("\t" + head);
  for (const std::string& s : items) out.push_back(Format("\t\t\"%s\",", s.c_str()));
  out.push_back("\t\t};");
  out.push_back("");
}

bool WriteJavaFile(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += gbk::ToUtf8(l) + "\r\n";
  return file::WriteAtomic(path, text);
}

}  // namespace

bool ExportJavaData(MNameLibrary& lib, std::string& message) {
  if (!lib.Open(1) || !lib.BeginBatch()) {
    message = lib.LastError();
    return false;
  }
  std::string folder = lib.AppDir() + U("安卓版汉字数据");
  std::vector<std::string> kx(kJavaGroups), gb(kJavaGroups);
  std::vector<std::vector<std::string>> groups(kJavaGroups);
  int count = static_cast<int>(lib.AllWord().size() / 2);
  for (int id = 1; id <= count; ++id) {
    CharRecord r;
    // The arrays end at 51 strokes; a character beyond them has no place and is left out.
    if (!lib.GetRecordByIdBatch(id, r) || r.kxLen >= kJavaGroups || r.gbLen >= kJavaGroups) continue;
    kx[r.kxLen] += r.word;
    gb[r.gbLen] += r.word;
    groups[r.kxLen].push_back(JavaLine(r));
  }
  lib.EndBatch();
  if (!file::ForceDirectories(folder)) {
    message = file::LastErrorText();
    return false;
  }
  int g = 0;
  for (int i = 0; i < kJavaFiles && g < kJavaGroups; ++i) {
    std::string name = Format("DictData_%d", i);
    std::vector<std::string> out = {"package me.Karvell.Name;", "", Format("public class %s {", name.c_str()), ""};
    if (i == 0) {
      out.push_back("\t" + U("// 常用汉字康熙笔画，1-51画，对应数组[1]-[51]"));
      AddArray(out, "public static final String StrWordKx[] = {", kx);
      AddArray(out, "public static final String StrWordGb[] = {", gb);
    }
    // Each file takes at least one group, then more while the running count (which starts at the
    // first group's size) stays below the limit.
    size_t chars = groups[g].size();
    do {
      AddArray(out, Format("public static final String HZ_%d[] = {", g), groups[g]);
      chars += groups[g].size();
      ++g;
    } while (g < kJavaGroups && chars < kJavaFileChars);
    out.push_back("}");
    if (!WriteJavaFile(folder + "\\" + name + ".java", out)) {
      message = file::LastErrorText();
      return false;
    }
  }
  message = U("已经保存到：") + folder;
  return true;
}
