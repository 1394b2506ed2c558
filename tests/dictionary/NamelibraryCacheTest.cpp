// The dictionary's memory copy stays true: after our own writes, after writes by another
// connection or object, after a file is replaced, and across a change of file.
#include <algorithm>

#include "DictFixture.h"
#include "classlib/StrUtils.h"
#include "dictionary/Namelibrary.h"

namespace {

class NameLibraryCacheTest : public DictFixture {
 protected:
  // Opens the full file and reads every record and group once, so later reads come from memory.
  void OpenWarm(MNameLibrary& lib) {
    ASSERT_TRUE(lib.Open(0)) << lib.LastError();
    CharRecord r;
    ASSERT_TRUE(lib.GetRecordById(1, r)) << lib.LastError();
    std::vector<int> strokes;
    TStringList groups;
    ASSERT_TRUE(lib.LoadStrokeGroups(1, strokes, groups)) << lib.LastError();
  }

  // The nameExp of a character as each kind of read returns it; "<fail>" when one fails.
  static std::vector<std::string> EveryRead(MNameLibrary& lib, const char* word) {
    std::vector<std::string> out;
    CharRecord r;
    out.push_back(lib.GetCharInfo(U(word), r) ? r.nameExp : "<fail>");
    out.push_back(lib.GetRecordById(lib.IdOfChar(U(word)), r) ? r.nameExp : "<fail>");
    if (!lib.BeginBatch()) return {"<no batch>"};
    out.push_back(lib.GetCharInfoBatch(U(word), r) ? r.nameExp : "<fail>");
    const CharRecord* p = lib.FindCharBatch(U(word));
    out.push_back(p ? p->nameExp : "<fail>");
    lib.EndBatch();
    return out;
  }

  static std::vector<std::string> Four(const std::string& s) { return {s, s, s, s}; }

  static std::string Group(MNameLibrary& lib, int kind, int strokes) {
    std::vector<int> counts;
    TStringList groups;
    return lib.LoadStrokeGroups(kind, counts, groups) ? groups[strokes - 1] : "<fail>";
  }
};

TEST_F(NameLibraryCacheTest, ReadsAfterOurUpdateGiveTheNewValues) {
  std::string path = BuildFull();
  MNameLibrary lib(tmp.Dir());
  OpenWarm(lib);
  CharRecord r;
  ASSERT_TRUE(lib.GetCharInfo(U("王"), r));
  r.nameExp = U("新的字意");
  r.kxLen = 9;
  r.word = U("假");  // the word column is never written
  ASSERT_TRUE(lib.UpdateRecord(r)) << lib.LastError();
  EXPECT_EQ(EveryRead(lib, "王"), Four(U("新的字意")));
  ASSERT_TRUE(lib.GetCharInfo(U("王"), r));
  EXPECT_EQ(r.word, U("王"));
  EXPECT_EQ(r.kxLen, 9);
  // The file holds what memory holds, and a fresh object reads the same.
  EXPECT_EQ(One(path, "select nameExp from word_dict where id=2"), "新的字意");
  MNameLibrary other(tmp.Dir());
  ASSERT_TRUE(other.Open(0));
  EXPECT_EQ(EveryRead(other, "王"), Four(U("新的字意")));
  // Our own write does not cost a second reading of the file.
  const int64_t before = lib.Statements();
  ASSERT_TRUE(lib.Open(0));
  EXPECT_EQ(EveryRead(lib, "王"), Four(U("新的字意")));
  EXPECT_EQ(lib.Statements(), before);
}

TEST_F(NameLibraryCacheTest, ReadsAfterAnotherConnectionsChangeGiveTheNewValues) {
  std::string path = BuildFull();
  struct Case {
    const char* name;
    bool viaBatch;    // the check at BeginBatch rather than at Open
    bool sameLength;  // a change that leaves the file's size as it was
  };
  const Case cases[] = {{"open, longer text", false, false},
                        {"open, same length", false, true},
                        {"batch, longer text", true, false},
                        {"batch, same length", true, true}};
  MNameLibrary lib(tmp.Dir());
  OpenWarm(lib);
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.sameLength ? Format("t%03d", ++n) : std::string(static_cast<size_t>(500 * ++n), 'x');
    ASSERT_TRUE(ExecSql(path, "update word_dict set nameExp='" + text + "' where id=1"));
    CharRecord r;
    if (c.viaBatch) {
      ASSERT_TRUE(lib.BeginBatch()) << lib.LastError();
      ASSERT_TRUE(lib.GetCharInfoBatch(U("李"), r)) << lib.LastError();
      lib.EndBatch();
    } else {
      ASSERT_TRUE(lib.Open(0)) << lib.LastError();
      ASSERT_TRUE(lib.GetCharInfo(U("李"), r)) << lib.LastError();
    }
    EXPECT_EQ(r.nameExp, text);
  }
}

TEST_F(NameLibraryCacheTest, AnotherObjectsWritesReachTheRecordsAndTheGroups) {
  BuildFull();  // 李 7/7 and 王 4/4 common; 张 11/7
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  ASSERT_TRUE(lib.RebuildGroups()) << lib.LastError();
  OpenWarm(lib);
  EXPECT_EQ(Group(lib, 1, 7), U("李"));

  // The editor's own object writes a new stroke count and regroups.
  MNameLibrary editor(tmp.Dir());
  ASSERT_TRUE(editor.Open(0));
  CharRecord r;
  ASSERT_TRUE(editor.GetCharInfo(U("张"), r));
  r.kxLen = 7;
  ASSERT_TRUE(editor.UpdateRecord(r));
  ASSERT_TRUE(editor.RebuildGroups()) << editor.LastError();

  ASSERT_TRUE(lib.Open(0));
  EXPECT_EQ(Group(lib, 1, 7), U("李张"));
  EXPECT_EQ(Group(lib, 1, 11), "");
  ASSERT_TRUE(lib.GetCharInfo(U("张"), r));
  EXPECT_EQ(r.kxLen, 7);

  // And our own regrouping is read back at once.
  ASSERT_TRUE(ExecSql(tmp.Path("dat\\ChiWord.db"), "update word_dict set kxLen='4' where id=3"));
  ASSERT_TRUE(lib.Open(0));
  ASSERT_TRUE(lib.RebuildGroups()) << lib.LastError();
  EXPECT_EQ(Group(lib, 1, 4), U("王张"));
  EXPECT_EQ(Group(lib, 1, 7), U("李"));
}

TEST_F(NameLibraryCacheTest, AReplacedFileIsCheckedAndReadAgain) {
  BuildFull();
  MNameLibrary lib(tmp.Dir());
  OpenWarm(lib);
  EXPECT_EQ(lib.IdOfChar(U("明")), 0);

  // Another program writes a new file in its place, with a new character.
  file::Delete(tmp.Path("dat\\ChiWord.db"));
  Build("ChiWord.db", {MakeRecord("明", 8, 8, "bright"), MakeRecord("李", 7, 7, "plum")}, U("明"));
  ASSERT_TRUE(lib.Open(0)) << lib.LastError();
  EXPECT_EQ(lib.AllWord(), U("明李"));
  EXPECT_EQ(lib.IdOfChar(U("明")), 1);
  EXPECT_EQ(lib.IdOfChar(U("王")), 0);
  EXPECT_EQ(EveryRead(lib, "李"), Four("plum"));

  // A broken replacement fails the check as a first open does, and is checked again next time.
  ASSERT_TRUE(ExecSql(tmp.Path("dat\\ChiWord.db"), "drop table dict_group"));
  EXPECT_FALSE(lib.Open(0));
  EXPECT_EQ(lib.LastError(), U("数据库表有丢失，数据不全！"));
  CharRecord r;
  EXPECT_FALSE(lib.GetCharInfo(U("李"), r));
  EXPECT_FALSE(lib.Open(0));
}

TEST_F(NameLibraryCacheTest, EachFileKeepsItsCopyAcrossAChangeOfFile) {
  BuildFull();
  Build("ChiWordMini.db", {MakeRecord("李", 7, 7, "mini")}, U("李"));
  MNameLibrary lib(tmp.Dir());
  OpenWarm(lib);
  ASSERT_TRUE(lib.Open(1));
  CharRecord r;
  ASSERT_TRUE(lib.GetCharInfo(U("李"), r));
  EXPECT_EQ(r.nameExp, "mini");
  EXPECT_EQ(lib.IdOfChar(U("王")), 0);

  // Back and forth with no file changed: no statement at all.
  const int64_t before = lib.Statements();
  for (int v : {0, 1, 0}) {
    SCOPED_TRACE(v);
    ASSERT_TRUE(lib.Open(v));
    ASSERT_TRUE(lib.GetCharInfo(U("李"), r));
    EXPECT_EQ(r.nameExp, v == 0 ? "good" : "mini");
  }
  EXPECT_EQ(lib.Statements(), before);

  // A change to the file not in use is seen when it is chosen again.
  ASSERT_TRUE(ExecSql(tmp.Path("dat\\ChiWordMini.db"), "update word_dict set nameExp='mini2' where id=1"));
  ASSERT_TRUE(lib.Open(1));
  ASSERT_TRUE(lib.GetCharInfo(U("李"), r));
  EXPECT_EQ(r.nameExp, "mini2");
}

TEST_F(NameLibraryCacheTest, OurUpdateAfterAnotherWriterKeepsBothChanges) {
  std::string path = BuildFull();
  MNameLibrary lib(tmp.Dir());
  OpenWarm(lib);
  CharRecord r;
  ASSERT_TRUE(lib.GetCharInfo(U("王"), r));
  // Another writer changes 李 before our update of 王, with no Open between.
  ASSERT_TRUE(ExecSql(path, "update word_dict set nameExp='theirs' where id=1"));
  r.nameExp = "ours";
  ASSERT_TRUE(lib.UpdateRecord(r));
  ASSERT_TRUE(lib.Open(0));
  EXPECT_EQ(EveryRead(lib, "李"), Four("theirs"));
  EXPECT_EQ(EveryRead(lib, "王"), Four("ours"));
}

}  // namespace
