#include "dictionary/Namelibrary.h"

#include "DictFixture.h"
#include "classlib/StrUtils.h"

namespace {

class NameLibraryTest : public DictFixture {};

TEST_F(NameLibraryTest, NewFileHasTheSchemaPlaceholdersAndEmptyGroups) {
  std::string path = tmp.Path("dat\\new.db");
  file::ForceDirectories(tmp.Path("dat"));
  MChineseDict b(tmp.Dir());
  ASSERT_TRUE(b.CreateOrOpen(path)) << b.ErrorText();
  struct Row {
    const char* table;
    const char* sql;
  };
  const Row rows[] = {
      {"word_dict",
       "create table word_dict(id integer primary key,word char(1),truePy varchar(10),pinYin varchar(20),"
       "buShou char(3),bsLen integer,gbLen integer,big5Len integer,kxLen integer,wx char(2),jx char(2),"
       "isFirst char(1),useSex char(1),biHua varchar(40),nameExp varchar(150),normalExp text,words text,"
       "poemExp text,relateWords text,poem text,fourWord text,kxExp text)"},
      {"dict_extra", "create table dict_extra(verCode,primaryId,allWord,buShou,commonWord)"},
      {"dict_group", "create table dict_group(id integer primary key,groupLen integer,wordGroup text)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.table);
    // SQLite keeps the statement as sent, with its first two keywords in capitals.
    std::string sent = r.sql;
    EXPECT_EQ(One(path, std::string("select sql from sqlite_master where name='") + r.table + "'"),
              "CREATE TABLE" + sent.substr(12));
  }
  EXPECT_EQ(One(path, "select verCode||'|'||primaryId||'|'||allWord||'|'||buShou||'|'||commonWord from dict_extra"),
            "1000|0|全部汉字|部首|常用字");
  EXPECT_EQ(One(path, "select count(*) from dict_group where groupLen=0 and wordGroup=' '"), "400");
  EXPECT_EQ(One(path, "select min(id)||'-'||max(id) from dict_group"), "1-400");

  // A complete file is left as it is.
  std::string before, after;
  file::ReadAll(path, before);
  ASSERT_TRUE(MChineseDict(tmp.Dir()).CreateOrOpen(path));
  file::ReadAll(path, after);
  EXPECT_EQ(before, after);
}

TEST_F(NameLibraryTest, InsertsNumberFromOneAndNeutraliseQuotes) {
  std::string path = Build("ChiWord.db", {}, "");
  MChineseDict b(tmp.Dir());
  ASSERT_TRUE(b.CreateOrOpen(path));
  CharRecord a = MakeRecord("李", 7, 7, "a'b");
  a.id = 99;  // ignored: the builder gives the ids
  a.truePy = "l'i";
  for (const CharRecord& r : {a, MakeRecord("王", 4, 4), MakeRecord("张", 11, 7)}) ASSERT_TRUE(b.InsertRecord(r));
  EXPECT_EQ(b.NextId(), 3);
  EXPECT_EQ(Column(path, "select id from word_dict order by id"), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(One(path, "select primaryId from dict_extra"), "3");
  EXPECT_EQ(One(path, "select nameExp from word_dict where id=1"), "a‘b");
  EXPECT_EQ(One(path, "select truePy from word_dict where id=1"), "l‘i");

  // Without a readable primaryId there is no id to give: the insert fails and stores nothing.
  ASSERT_TRUE(ExecSql(path, "update dict_extra set primaryId='x'"));
  EXPECT_FALSE(b.InsertRecord(MakeRecord("明", 8, 8)));
  EXPECT_EQ(b.ErrorText(), U("无法读取额外表的主键id！"));
  EXPECT_EQ(One(path, "select count(*) from word_dict"), "3");
}

TEST_F(NameLibraryTest, OpenFailuresLeaveNoFileChosen) {
  struct Case {
    const char* name;
    const char* breakSql;  // applied to a good file; null: no file at all
    const char* error;
  };
  const Case cases[] = {
      {"missing file", nullptr, "没有姓名学字库文件！"},
      {"missing group table", "drop table dict_group", "数据库表有丢失，数据不全！"},
      {"missing extra table", "drop table dict_extra", "数据库表有丢失，数据不全！"},
      {"empty allWord", "update dict_extra set allWord=''", "无法读取额外表的汉字字符串！"},
      {"allWord shorter than the ids", "update dict_extra set allWord='李王'", "额外表的汉字字符串与汉字数不符！"},
      {"allWord with a half character", "update dict_extra set allWord='李王张a'", "额外表的汉字字符串不完整！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    file::Delete(tmp.Path("dat\\ChiWord.db"));
    if (c.breakSql) {
      ASSERT_TRUE(ExecSql(BuildFull(), c.breakSql));
    }
    file::ForceDirectories(tmp.Path("dat"));
    std::string good = Build("ChiWordMini.db", {MakeRecord("明", 8, 8)}, "");
    MNameLibrary lib(tmp.Dir());
    ASSERT_TRUE(lib.Open(1)) << lib.LastError();
    EXPECT_FALSE(lib.Open(0));
    EXPECT_EQ(lib.LastError(), U(c.error));
    EXPECT_EQ(lib.Variant(), -1);
    // The quick file's characters are gone: no look-up answers from them.
    CharRecord r;
    EXPECT_FALSE(lib.GetCharInfo(U("明"), r));
    EXPECT_EQ(lib.LastError(), U("字库里面没有这个汉字！"));
    // A failed open is checked again next time, and opening never creates the file.
    EXPECT_FALSE(lib.Open(0));
    if (!c.breakSql) {
      EXPECT_FALSE(file::Exists(tmp.Path("dat\\ChiWord.db")));
    }
    file::Delete(good);
  }
}

TEST_F(NameLibraryTest, OpenOfTheRecordedVariantDoesNotTouchTheDisk) {
  BuildFull();
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0)) << lib.LastError();
  EXPECT_EQ(lib.FileName(), "ChiWord.db");
  ASSERT_TRUE(file::Delete(tmp.Path("dat\\ChiWord.db")));
  EXPECT_TRUE(lib.Open(0));
  lib.Reset();
  EXPECT_FALSE(lib.Open(0));
}

TEST_F(NameLibraryTest, IdsArePlacesInTheCharacterString) {
  BuildFull();  // 李 C0EE, 王 CDF5, 张 D5C5
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  struct Case {
    std::string text;
    int id;
  };
  const Case cases[] = {{U("李"), 1},    {U("王"), 2}, {U("张"), 3}, {"\xEE\xCD", 0},
                        {"\xF5\xD5", 0}, {U("明"), 0}, {"", 0},      {U("李王"), 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(gbk::ToUtf8(c.text));
    EXPECT_EQ(lib.IdOfChar(c.text), c.id);
  }
  CharRecord r;
  EXPECT_FALSE(lib.GetCharInfo("\xEE\xCD", r));
  EXPECT_EQ(lib.LastError(), U("字库里面没有这个汉字！"));
  ASSERT_TRUE(lib.GetCharInfo(U("张"), r)) << lib.LastError();
  EXPECT_EQ(r.word, U("张"));
  EXPECT_EQ(r.id, 3);
  EXPECT_EQ(r.kxLen, 11);
  EXPECT_EQ(r.gbLen, 7);
  EXPECT_FALSE(lib.GetRecordById(4, r));
  EXPECT_EQ(lib.LastError(), U("找不到这个汉字的数据！"));
  EXPECT_EQ(r.word, U("张"));  // a failed look-up leaves the record as it was
}

namespace {
void WriteText(const std::string& path, const std::string& data) {
  std::FILE* f = file::Open(path, "wb");
  std::fwrite(data.data(), 1, data.size(), f);
  std::fclose(f);
}
}  // namespace

// A file that is no database, or is cut short, is told apart from one missing a table.
TEST_F(NameLibraryTest, DamagedFileHasItsOwnMessage) {
  struct Case {
    const char* name;
    void (*damage)(const std::string& path);
  };
  const Case cases[] = {
      {"garbage", [](const std::string& p) { WriteText(p, std::string(5000, 'x')); }},
      {"empty", [](const std::string& p) { WriteText(p, ""); }},
      {"cut to 100 bytes",
       [](const std::string& p) {
         std::string data;
         file::ReadAll(p, data);
         WriteText(p, data.substr(0, 100));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    file::Delete(tmp.Path("dat\\ChiWord.db"));
    std::string path = BuildFull();
    c.damage(path);
    MNameLibrary lib(tmp.Dir());
    EXPECT_FALSE(lib.Open(0));
    EXPECT_EQ(lib.LastError(), U("姓名学字库文件已经损坏，无法读取：") + "ChiWord.db");
    EXPECT_EQ(lib.Variant(), -1);
  }
}

// Stroke counts are bytes in the record: one past what any character has is damage,
// not a count to wrap (300 would read as 44).
TEST_F(NameLibraryTest, StrokeCountsOutOfRangeAreRefused) {
  struct Case {
    const char* column;
    const char* value;
    bool ok;
  };
  const Case cases[] = {{"kxLen", "100", true}, {"kxLen", "101", false}, {"kxLen", "300", false},
                        {"gbLen", "-1", false}, {"bsLen", "256", false}, {"big5Len", "x", false},
                        {"gbLen", "0", true}};
  std::string path = BuildFull();
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.column) + "=" + c.value);
    ASSERT_TRUE(ExecSql(path, "update word_dict set bsLen='5', gbLen='5', big5Len='5', kxLen='5' where id=1"));
    ASSERT_TRUE(ExecSql(path, std::string("update word_dict set ") + c.column + "='" + c.value + "' where id=1"));
    CharRecord r;
    ASSERT_TRUE(lib.Open(0));  // a reader opens before its look-ups
    EXPECT_EQ(lib.GetRecordById(1, r), c.ok) << gbk::ToUtf8(lib.LastError());
    if (!c.ok) {
      EXPECT_EQ(lib.LastError(), U("字库中这个汉字的笔画数有误，姓名学字库文件已经损坏！"));
    }
  }
}

TEST_F(NameLibraryTest, VocabularyWordsReadBackAsIndexes) {
  struct Case {
    const char* column;
    const char* text;
    int value;
  };
  const Case cases[] = {{"wx", "水", 0},      {"wx", "木", 1},      {"wx", "火", 2},     {"wx", "土", 3},
                        {"wx", "金", 4},      {"wx", "无", 5},      {"wx", "风", 5},     {"jx", "吉", 0},
                        {"jx", "凶", 1},      {"jx", "平", 2},      {"jx", "好", 2},     {"useSex", "无", 0},
                        {"useSex", "男", 1},  {"useSex", "女", 2},  {"useSex", "中", 0}, {"isFirst", "是", 1},
                        {"isFirst", "否", 0}, {"isFirst", "yes", 0}};
  std::string path = BuildFull();
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.column) + " " + c.text);
    ASSERT_TRUE(ExecSql(path, std::string("update word_dict set ") + c.column + "='" + c.text + "' where id=1"));
    CharRecord r;
    ASSERT_TRUE(lib.Open(0));  // a reader opens before its look-ups
    ASSERT_TRUE(lib.GetRecordById(1, r));
    int got = std::string(c.column) == "wx"       ? r.wx
              : std::string(c.column) == "jx"     ? r.jx
              : std::string(c.column) == "useSex" ? r.useSex
                                                  : r.isFirst;
    EXPECT_EQ(got, c.value);
  }
}

TEST_F(NameLibraryTest, UpdateWritesEveryEditableColumnVerbatim) {
  std::string path = BuildFull();
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  CharRecord r;
  ASSERT_TRUE(lib.GetCharInfo(U("王"), r));
  CharRecord w = r;
  w.word = U("假");  // never written
  w.truePy = "wa'ng";
  w.pinYin = "x', kxExp='hacked";
  w.buShou = U("玉");
  w.bsLen = 5;
  w.gbLen = 4;
  w.big5Len = 99;
  w.kxLen = 5;
  w.wx = 4;
  w.jx = 1;
  w.isFirst = false;
  w.useSex = 1;
  std::vector<std::string*> texts = {&w.biHua,       &w.nameExp, &w.normalExp, &w.words, &w.poemExp,
                                     &w.relateWords, &w.poem,    &w.fourWord,  &w.kxExp};
  for (size_t i = 0; i < texts.size(); ++i) *texts[i] = U("字意") + IntToStr(i) + "');drop table word_dict;--";
  ASSERT_TRUE(lib.UpdateRecord(w)) << lib.LastError();
  CharRecord back;
  ASSERT_TRUE(lib.GetRecordById(2, back));
  EXPECT_EQ(back.word, U("王"));
  EXPECT_EQ(back.id, 2);
  EXPECT_EQ(back.truePy, w.truePy);
  EXPECT_EQ(back.pinYin, w.pinYin);
  EXPECT_EQ(back.buShou, w.buShou);
  EXPECT_EQ(
      std::vector<int>({back.bsLen, back.gbLen, back.big5Len, back.kxLen, back.wx, back.jx, back.isFirst, back.useSex}),
      std::vector<int>({5, 4, 99, 5, 4, 1, 0, 1}));
  std::vector<std::string*> backTexts = {&back.biHua,       &back.nameExp, &back.normalExp, &back.words, &back.poemExp,
                                         &back.relateWords, &back.poem,    &back.fourWord,  &back.kxExp};
  for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(*backTexts[i], *texts[i]) << i;
  EXPECT_EQ(One(path, "select count(*) from word_dict"), "3");

  w.id = 40;
  EXPECT_FALSE(lib.UpdateRecord(w));
  EXPECT_EQ(lib.LastError(), U("无法修改汉字库！"));
}

TEST_F(NameLibraryTest, GroupsFollowTheStrokeCountsAndTheCommonCharacters) {
  std::string path = BuildFull();  // 李 7/7 and 王 4/4 common; 张 11/7
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  ASSERT_TRUE(lib.RebuildGroups()) << lib.LastError();
  struct Case {
    int kind;
    int strokes;
    const char* chars;
  };
  const Case cases[] = {{1, 4, "王"}, {1, 7, "李"}, {1, 11, "张"}, {2, 7, "李张"}, {2, 11, ""},
                        {3, 11, ""},  {3, 7, "李"}, {4, 7, "李"},  {4, 4, "王"},   {1, 5, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(IntToStr(c.kind) + "/" + IntToStr(c.strokes));
    std::vector<int> strokes;
    TStringList groups;
    ASSERT_TRUE(lib.LoadStrokeGroups(c.kind, strokes, groups)) << lib.LastError();
    ASSERT_EQ(groups.Count(), 100);
    EXPECT_EQ(groups[c.strokes - 1], U(c.chars));
    bool listed = std::find(strokes.begin(), strokes.end(), c.strokes) != strokes.end();
    EXPECT_EQ(listed, *c.chars != 0);
  }
  EXPECT_EQ(One(path, "select groupLen||wordGroup from dict_group where id=107"), "2李张");
  EXPECT_EQ(One(path, "select wordGroup from dict_group where id=5"), " ");

  // A count outside 1..100 is left out of every group and named in the error.
  ASSERT_TRUE(ExecSql(path, "update word_dict set kxLen='0' where id=3"));
  EXPECT_FALSE(lib.RebuildGroups());
  EXPECT_EQ(lib.LastError(), U("笔画数超出范围的汉字：张"));
  EXPECT_EQ(One(path, "select wordGroup from dict_group where id=11"), " ");
  EXPECT_EQ(One(path, "select wordGroup from dict_group where id=104"), "王");
}

TEST_F(NameLibraryTest, OneShotInsideABatchKeepsTheBatchConnection) {
  BuildFull();
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  CharRecord r;
  EXPECT_FALSE(lib.GetRecordByIdBatch(1, r));  // no batch open yet
  ASSERT_TRUE(lib.BeginBatch());
  ASSERT_TRUE(lib.GetCharInfo(U("李"), r));
  EXPECT_EQ(lib.GetCommonWords(), U("李王"));
  ASSERT_TRUE(lib.GetCharInfoBatch(U("王"), r)) << lib.LastError();
  EXPECT_EQ(r.id, 2);
  lib.EndBatch();
  EXPECT_EQ(lib.GetRadicals(), U("木"));
  std::string s;
  EXPECT_FALSE(lib.ReadExtraColumn("allWord from word_dict;--", s));
}

}  // namespace
