#include "dictionary/Chinesedict.h"

#include "DictFixture.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"

namespace {

class ChineseDictTest : public DictFixture {
 protected:
  void WriteHanziList(const std::vector<const char*>& chars) {
    std::string data;
    for (const char* c : chars) {
      std::string rec = U(c);
      rec.resize(210, '\0');
      data += rec;
    }
    file::ForceDirectories(tmp.Path(U("3.3.01版字库")));
    ASSERT_TRUE(file::WriteAtomic(tmp.Path(U("3.3.01版字库\\hanzi.dat")), data));
  }
  void WriteGbkLines(const std::string& name, const char* utf8) {
    ASSERT_TRUE(file::WriteAtomic(tmp.Path(name), U(utf8)));
  }
};

TEST_F(ChineseDictTest, ReducedCopyKeepsMeaningsAndShortFields) {
  BuildFull();
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  ASSERT_TRUE(lib.RebuildGroups());
  std::string message;
  ASSERT_TRUE(MakeSimplifiedDb(lib, message)) << gbk::ToUtf8(message);
  EXPECT_EQ(message, U("已经在软件目录下生成一个简化版的字库文件“ChiWord.db”！"));
  std::string copy = tmp.Path("ChiWord.db");
  EXPECT_EQ(One(copy, "select count(*) from word_dict"), "3");
  EXPECT_EQ(One(copy,
                "select count(*) from word_dict where nameExp='good' and normalExp='x' and biHua='无' and "
                "words='无' and poemExp='无' and relateWords='无' and poem='无' and fourWord='无' and "
                "kxExp='无' and pinYin='py2' and kxLen+gbLen>0"),
            "3");
  // The copy's highest id is the source's character count (the full file's is 20892).
  EXPECT_EQ(One(copy, "select primaryId||allWord||buShou||commonWord from dict_extra"), "3李王张木李王");
  EXPECT_EQ(One(copy, "select groupLen||wordGroup from dict_group where id=107"), "2李张");
  EXPECT_EQ(One(copy, "select count(*) from dict_group where wordGroup=' '"), "391");

  // A second run into the same file cannot insert the same ids again: it reports that.
  EXPECT_FALSE(MakeSimplifiedDb(lib, message));
  EXPECT_NE(message.find("UNIQUE"), std::string::npos) << message;
}

TEST_F(ChineseDictTest, QuickFileTakesTheListedCharactersWithoutLongTexts) {
  BuildFull();
  // A stale quick file from an earlier run must not shift the new ids.
  Build("ChiWordMini.db", {MakeRecord("明", 8, 8)}, "");
  WriteHanziList({"张", "明", "李"});  // 明 is not in the full file
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  std::vector<std::string> captions;
  std::string message;
  ASSERT_TRUE(MakeMiniDb(lib, message, [&](const std::string& c) { captions.push_back(c); })) << gbk::ToUtf8(message);
  EXPECT_EQ(message, U("2个汉字：迷你字库创建成功，请关闭软件！"));
  EXPECT_EQ(captions, (std::vector<std::string>{"0", U("汉字归组！")}));
  std::string mini = tmp.Path("dat\\ChiWordMini.db");
  EXPECT_EQ(Column(mini, "select id||word from word_dict order by id"), (std::vector<std::string>{"1张", "2李"}));
  EXPECT_EQ(One(mini, "select primaryId||allWord||buShou||commonWord from dict_extra"), "2张李木李");
  EXPECT_EQ(One(mini,
                "select count(*) from word_dict where pinYin='' and biHua='' and normalExp='' and words='' "
                "and poemExp='' and relateWords='' and poem='' and fourWord='' and kxExp='' and "
                "nameExp='good' and truePy='py'"),
            "2");
  EXPECT_EQ(One(mini, "select wordGroup from dict_group where id=107"), "张李");
  EXPECT_EQ(One(mini, "select wordGroup from dict_group where id=307"), "李");
  EXPECT_EQ(lib.Variant(), 0);

  file::Delete(tmp.Path(U("3.3.01版字库\\hanzi.dat")));
  EXPECT_FALSE(MakeMiniDb(lib, message));
  EXPECT_EQ(message, U("无法读取汉字列表文件！"));
}

TEST_F(ChineseDictTest, KangxiFixSetsListedCountsAndNamesTheFailures) {
  std::string path = BuildFull();
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  std::string message;
  WriteGbkLines("fix.txt", "李 8\r\n  王 6  \r\n");
  EXPECT_TRUE(FixKangxiStrokes(lib, tmp.Path("fix.txt"), message));
  EXPECT_EQ(message, U("全部修改成功！"));
  EXPECT_EQ(Column(path, "select kxLen from word_dict order by id"), (std::vector<std::string>{"8", "6", "11"}));

  struct Case {
    const char* line;
    const char* listed;  // "" when the line is skipped
  };
  const Case cases[] = {
      {"张 0", "张，"},   {"张 100", "张，"},   {"张 x", "张，"},   {"明 9", "明，"},
      {"abcd", "abcd，"}, {"a bcd", "a bcd，"}, {"张12", "张12，"}, {"张 ", ""},
      {"李", ""},         {"张李 5", "张，"},   {"ab 7", "ab，"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    WriteGbkLines("fix.txt", c.line);
    EXPECT_EQ(FixKangxiStrokes(lib, tmp.Path("fix.txt"), message), *c.listed == 0);
    EXPECT_EQ(message, *c.listed ? U("无法修改笔画的汉字：") + U(c.listed) : U("全部修改成功！"));
  }
  EXPECT_EQ(Column(path, "select kxLen from word_dict order by id"), (std::vector<std::string>{"8", "6", "11"}));
  EXPECT_FALSE(FixKangxiStrokes(lib, tmp.Path("none.txt"), message));
  EXPECT_EQ(message, U("不存在的文件，无法加载！"));
}

TEST_F(ChineseDictTest, ImportReplacesTheFullFileOrRestoresIt) {
  BuildFull();
  MNameLibrary lib(tmp.Dir());
  ASSERT_TRUE(lib.Open(0));
  std::string message;
  EXPECT_FALSE(ImportDictionary(lib, tmp.Path("none.db"), message));
  EXPECT_EQ(message, U("不存在的文件，无法导入！"));

  // A file without its group table is refused and the old file comes back.
  std::string other = Build("other.db", {MakeRecord("明", 8, 8)}, "");
  ASSERT_TRUE(file::Copy(other, tmp.Path("broken.db"), false));
  ASSERT_TRUE(ExecSql(tmp.Path("broken.db"), "drop table dict_group"));
  EXPECT_FALSE(ImportDictionary(lib, tmp.Path("broken.db"), message));
  EXPECT_EQ(message, U("导入新字库失败，恢复使用旧字库！"));
  EXPECT_EQ(lib.IdOfChar(U("张")), 3);
  EXPECT_FALSE(file::Exists(tmp.Path("dat\\ChiWord.bak")));

  ASSERT_TRUE(ImportDictionary(lib, other, message));
  EXPECT_EQ(message, U("成功导入新的字库文件！"));
  EXPECT_EQ(lib.IdOfChar(U("明")), 1);
  EXPECT_EQ(lib.IdOfChar(U("张")), 0);
  EXPECT_FALSE(file::Exists(tmp.Path("dat\\ChiWord.bak")));
}

TEST_F(ChineseDictTest, ExportsListTheCharactersByStrokes) {
  BuildFull();
  // The quick file: 李 and 明, then enough 5- and 6-stroke characters to need a second source file.
  std::string all = U("李明");
  {
    std::string mini = Build("ChiWordMini.db", {MakeRecord("李", 7, 7), MakeRecord("明", 8, 8, "")}, "");
    MChineseDict b(tmp.Dir());
    ASSERT_TRUE(b.CreateOrOpen(mini) && b.BeginBatch());
    for (int i = 0; i < 1900; ++i) {
      ASSERT_TRUE(b.InsertRecord(MakeRecord("甲", i < 1000 ? 5 : 6, 5)));
      all += U("甲");
    }
    ASSERT_TRUE(b.EndBatch() && b.UpdateExtraStrings(all, U("木"), ""));
  }
  MNameLibrary lib(tmp.Dir());
  std::string message;
  ASSERT_TRUE(ExportLiuyaoWords(lib, message)) << gbk::ToUtf8(message);
  EXPECT_EQ(message, tmp.Dir() + "LyWord.txt");
  TStringList ly;
  ASSERT_TRUE(ly.LoadFromFile(message));
  EXPECT_EQ(ly.Text(), U("李 7 7\r\n王 4 4\r\n张 11 7\r\n"));

  ASSERT_TRUE(ExportJavaData(lib, message)) << gbk::ToUtf8(message);
  EXPECT_EQ(lib.Variant(), 1);
  std::string folder = tmp.Dir() + U("安卓版汉字数据");
  EXPECT_EQ(message, U("已经保存到：") + folder);
  std::string java, second;
  ASSERT_TRUE(file::ReadAll(folder + "\\DictData_0.java", java));
  ASSERT_TRUE(file::ReadAll(folder + "\\DictData_1.java", second));
  EXPECT_EQ(java.rfind("package me.Karvell.Name;\r\n\r\npublic class DictData_0 {\r\n\r\n", 0), 0u);
  EXPECT_NE(java.find("public static final String StrWordKx[] = {"), std::string::npos);
  // 1000 characters of 5 strokes and 900 of 6 pass the 1800 of a file: 7 and 8 go to the next.
  EXPECT_EQ(second.find("StrWordKx"), std::string::npos);
  EXPECT_NE(java.find("HZ_6[]"), std::string::npos);
  EXPECT_EQ(java.find("HZ_7[]"), std::string::npos);
  EXPECT_NE(second.find("HZ_7[]"), std::string::npos);
  EXPECT_NE(second.find("public class DictData_1 {"), std::string::npos);
  EXPECT_FALSE(file::Exists(folder + "\\DictData_2.java"));
  EXPECT_NE(second.find("\t\t\"李$py$py2$木$4$7$7$7$1$0$1$2$x$good$\",\r\n"), std::string::npos);
  EXPECT_NE(second.find("\t\t\"明$py$py2$木$4$8$8$8$1$0$1$2$x$无。$\",\r\n"), std::string::npos);
  EXPECT_EQ(second.substr(second.size() - 3), "}\r\n");
}

}  // namespace
