// The case tree and the case commands over a real store, with the dialogs driven by
// messages: save, view, edit, move, search, category rename and delete, and the
// history's export, clear and import.
#include "ui/Casetree.h"

#include <gtest/gtest.h>

#include "cases/CaseScript.h"
#include "cases/FrmFenLei.h"
#include "cases/FrmInfo.h"
#include "cases/FrmSearch.h"
#include "classlib/Files.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"
#include "support/TempFolder.h"

namespace {

using gbk::U;

std::string ReadText(const std::string& path) {
  std::string data;
  file::ReadAll(path, data);
  return data;
}

// Stands in for the main window: the tree, the report view and the held state.
class CaseWindow : public TForm {
 public:
  explicit CaseWindow(TComponent* owner) : TForm(owner) {
    SetText("cases");
    SetClientSize(560, 360);
    Tree = new TTreeView(this);
    Tree->SetBounds(0, 0, 260, 360);
    Tree->SetParent(this);
    Report = new TRichEdit(this);
    Report->SetBounds(264, 0, 296, 360);
    Report->SetParent(this);
    DoCreate();
  }
  TTreeView* Tree;
  TRichEdit* Report;
};

class CaseTree : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    app.Title = "Torvik";
    ASSERT_TRUE(file::ForceDirectories(temp.Path("dat")));
    ASSERT_TRUE(db->Open(temp.Dir(), 0)) << db->LastError();
    owned = std::make_unique<CaseWindow>(&app);
    owned->Show();
  }

  CaseContext Context() {
    CaseContext c{&app,    *owned->Tree, *owned->Report, *db,   ini,   temp.Dir(), held, loaded,
                  shownId, shownPath,    criteria,       chart, birth, {},         {}};
    c.AnalyseBirth = [this](bool writeReport) {
      if (writeReport) owned->Report->SetText(U("报告：") + FieldText(birth.name));
      return true;
    };
    return c;
  }

  // Analyses a new person and stores it under the category through the save dialog.
  bool SaveNew(const char* name, bool male, const char* category) {
    CaseContext c = Context();
    NewCase(c);
    SetText(birth.name, U(name));
    birth.male = male;
    birth.year = 1990;
    birth.month = 5;
    birth.day = 6;
    BirthToCase(birth, held);
    owned->Report->SetText(U("报告：") + U(name));
    chart = true;
    CaseScript s;
    s.OnForm<TFrmFenLei>("TFrmFenLei", [category](TFrmFenLei& f) {
      f.CboFenLei->SetText(U(category));
      CaseScript::Press(f.Btnok);
    });
    return SaveCase(c);
  }

  TTreeNode* Category(const char* name) { return FindCategoryNode(*owned->Tree, U(name)); }
  void Select(TTreeNode* n) { owned->Tree->SetSelected(n); }
  void Restart() {
    db = std::make_unique<MDataBase>();
    ASSERT_TRUE(db->Open(temp.Dir(), 0));
    CaseContext c = Context();
    BuildCaseTree(c, RecentCaseIds(*db));
  }
  std::vector<std::string> Texts() {  // category, then its cases, in tree order
    std::vector<std::string> out;
    TTreeNode* root = owned->Tree->Items().GetFirstNode();
    for (int i = 0; root && i < root->Count(); ++i) {
      out.push_back(gbk::ToUtf8(root->Item(i)->Text()));
      for (int k = 0; k < root->Item(i)->Count(); ++k) out.push_back(gbk::ToUtf8(root->Item(i)->Item(k)->Text()));
    }
    return out;
  }

  TApplication app;
  TempFolder temp;
  TIniFile ini{temp.Path("dat\\init.ini")};
  std::unique_ptr<MDataBase> db = std::make_unique<MDataBase>();
  std::unique_ptr<CaseWindow> owned;
  CaseRecord held{};
  uint8_t loaded = 0;
  int32_t shownId = -1;
  std::string shownPath;
  CaseCriteria criteria;
  bool chart = false;
  BirthRecord birth;
};

TEST_F(CaseTree, HistoryThroughEveryCommand) {
  {
    CaseContext c = Context();
    BuildCaseTree(c, RecentCaseIds(*db));
  }
  EXPECT_TRUE(SaveNew("张三", true, "家人"));
  EXPECT_TRUE(SaveNew("李四", false, "家人"));
  EXPECT_TRUE(SaveNew("王五", true, "朋友"));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"家人", "张三  公1990-5-6|0", "李四  公1990-5-6|1", "朋友",
                                               "王五  公1990-5-6|2"}));
  EXPECT_TRUE(file::Exists(CaseReportPath(temp.Dir(), 2)));

  CaseContext c = Context();
  // Viewing brings back the stored report and the name.
  Select(Category("家人")->Item(1));
  owned->Report->Clear();
  ViewCase(c);
  EXPECT_EQ(loaded, 1);
  EXPECT_EQ(shownId, 1);
  EXPECT_EQ(FieldText(birth.name), U("李四"));
  EXPECT_EQ(owned->Report->Text(), U("报告：李四"));

  // Editing the shown case's details retitles its node and is kept by a later save.
  {
    CaseScript s;
    s.OnForm<TFrmInfo>("TFrmInfo", [](TFrmInfo& f) {
      f.Edtname->SetText(U("李六"));
      CaseScript::Press(f.BitBtn1);
    });
    s.Answer("提示", IDYES);
    s.Answer("完成", IDOK);
    EditCase(c);
  }
  EXPECT_EQ(gbk::ToUtf8(Category("家人")->Item(1)->Text()), "李六  公1990-5-6|1");
  EXPECT_EQ(FieldText(held.name), U("李六"));

  // Moving 张三 to 朋友; showing all lists it there.
  Select(Category("家人")->Item(0));
  std::vector<MoveTarget> targets = MoveTargets(*owned->Tree);
  ASSERT_EQ(targets.size(), 1u);
  EXPECT_EQ(targets[0].caption, U("朋友"));
  MoveCase(c, targets[0]);
  ShowAllCases(c);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"朋友", "张三  公1990-5-6|0", "王五  公1990-5-6|2", "家人",
                                               "李六  公1990-5-6|1"}))
      << "categories in the order their first case is met";
  owned->Tree->FullExpand();
  gui::Pump(200);
  gui::SaveScreenshot(owned->Handle(), gui::ScreenshotPath("CaseTree.png"));

  // Search by name: contains shows the hit; whole-name finds none.
  {
    CaseScript s;
    s.OnForm<TFrmSearch>("TFrmSearch", [](TFrmSearch& f) {
      gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("FrmSearch.png"));
      f.Edtname->SetText(U("王"));
      CaseScript::Press(f.BtnSearch);
    });
    s.Answer("提示", IDYES);
    SearchCases(c);
  }
  EXPECT_EQ(Texts(), (std::vector<std::string>{"朋友", "王五  公1990-5-6|2"}));
  {
    CaseScript s;
    s.OnForm<TFrmSearch>("TFrmSearch", [](TFrmSearch& f) {
      EXPECT_EQ(f.Edtname->Text(), U("王"));  // the last search comes back
      f.ChkName->SetChecked(true);
      CaseScript::Press(f.BtnSearch);
    });
    s.Answer("信息", IDOK);
    s.OnForm<TFrmSearch>("TFrmSearch", [](TFrmSearch& f) { CaseScript::Press(f.BtoCancel); });
    SearchCases(c);
    ASSERT_EQ(s.texts.size(), 1u);
    EXPECT_EQ(s.texts[0], "没有找到符合条件的命例。");
  }

  // An older case of 朋友 outside the tree is renamed with its category.
  CaseRecord old{};
  SetText(old.name, U("赵七"));
  SetText(old.category, U("朋友"));
  ASSERT_EQ(db->Add(old), 3);
  Select(Category("朋友"));
  RenameCategory(c, U(" 同学 "));
  ASSERT_NE(Category("同学"), nullptr);
  CaseRecord r{};
  for (int id : {2, 3}) {
    ASSERT_TRUE(db->Read(id, r));
    EXPECT_EQ(FieldText(r.category), U("同学"));
  }
  ShowAllCases(c);
  Select(Category("同学"));
  {
    CaseScript s;
    s.Answer("注意", IDYES);
    DeleteCategory(c);
  }
  for (int id : {0, 2, 3}) EXPECT_FALSE(db->Read(id, r)) << id;
  EXPECT_EQ(Texts(), (std::vector<std::string>{"家人", "李六  公1990-5-6|1"}));

  // Export, clear, restart, import, restart: the same tree and reports.
  std::string exportDir = temp.Path("export");
  ASSERT_TRUE(file::ForceDirectories(exportDir));
  {
    CaseScript s;
    s.Answer("Torvik", IDOK);
    EXPECT_TRUE(ExportHistory(c, exportDir));
  }
  {
    CaseScript s;
    s.Answer("注意了", IDYES);
    s.Answer("注意了", IDYES);
    s.Answer("Torvik", IDOK);
    EXPECT_TRUE(ClearHistory(c));
  }
  EXPECT_EQ(loaded, 0) << "the close prompt must not write into the cleared store";
  Restart();
  EXPECT_TRUE(Texts().empty());
  CaseContext fresh = Context();
  {
    CaseScript s;
    s.Answer("Torvik", IDOK);
    EXPECT_TRUE(ImportHistory(fresh, exportDir + "\\bazi0.dat"));
  }
  Restart();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"家人", "李六  公1990-5-6|1"}));
  EXPECT_TRUE(file::Exists(CaseReportPath(temp.Dir(), 1)));
}

// Another window changes the history: read again, the tree shows its edit, deletion
// and new case in place (a new case last, as this window adds its own), and keeps its
// open categories and selection.
TEST_F(CaseTree, RefreshShowsWhatAnotherWindowChanged) {
  EXPECT_TRUE(SaveNew("张三", true, "家人"));
  EXPECT_TRUE(SaveNew("李四", false, "家人"));
  EXPECT_TRUE(SaveNew("王五", true, "朋友"));
  CaseContext c = Context();
  BuildCaseTree(c, {2, 1, 0}, true);
  Category("朋友")->Expand(false);
  Select(Category("朋友")->Item(0));

  MDataBase other;
  ASSERT_TRUE(other.Open(temp.Dir(), 0));
  CaseRecord r{};
  ASSERT_TRUE(other.Read(0, r));
  SetText(r.name, U("张七"));
  ASSERT_TRUE(other.Write(0, r, other.Generation()));
  ASSERT_TRUE(other.Delete(1, other.Generation()));
  SetText(r.name, U("赵八"));
  ASSERT_EQ(other.Add(r), 3);

  RefreshCaseTree(c);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"朋友", "王五  公1990-5-6|2", "家人", "张七  公1990-5-6|0",
                                               "赵八  公1990-5-6|3"}));
  RefreshCaseTree(c);  // nothing changed since: nothing moves
  EXPECT_EQ(Texts(), (std::vector<std::string>{"朋友", "王五  公1990-5-6|2", "家人", "张七  公1990-5-6|0",
                                               "赵八  公1990-5-6|3"}));
  EXPECT_EQ(SelectedCaseId(*owned->Tree), 2);
  EXPECT_TRUE(Category("朋友")->Expanded());
  EXPECT_FALSE(file::Exists(CaseReportPath(temp.Dir(), 1))) << "the deleted case's report went with it";
}

TEST_F(CaseTree, RefusedImportLeavesTheHistory) {
  EXPECT_TRUE(SaveNew("张三", true, "家人"));
  std::string other = temp.Path("other");
  ASSERT_TRUE(file::ForceDirectories(other));
  ASSERT_TRUE(file::WriteAtomic(other + "\\bazi0.dat", "not a store at all, just some text"));
  CaseContext c = Context();
  CaseScript s;
  s.Answer("Torvik", IDOK);
  s.Answer("Torvik", IDOK);
  EXPECT_FALSE(ImportHistory(c, other + "\\bazi0.dat"));
  EXPECT_FALSE(ImportHistory(c, temp.Path("dat\\bazi0.dat")));  // the program's own
  EXPECT_EQ(db->GetCount(), 1);
  CaseRecord r{};
  EXPECT_TRUE(db->Read(0, r));
  EXPECT_TRUE(file::Exists(CaseReportPath(temp.Dir(), 0)));
}

TEST_F(CaseTree, FailedReportWriteKeepsNoRecord) {
  {
    CaseContext c = Context();
    BuildCaseTree(c, {});
  }
  // A file where the report folder belongs: the report cannot be written.
  ASSERT_TRUE(file::WriteAtomic(temp.Path("bazi_f"), "x"));
  CaseScript s;
  s.Answer("Torvik", IDOK);
  EXPECT_FALSE(SaveNew("张三", true, "家人"));
  EXPECT_EQ(s.texts.size(), 1u);
  CaseRecord r{};
  EXPECT_FALSE(db->Read(0, r));
  EXPECT_EQ(FindCaseNode(*owned->Tree, 0), nullptr);
}

// Another window imports a history while this one shows case 1: saving it would land
// on the imported case 1. The save says so and offers a new case instead, which keeps
// the shown report; the imported case and its report stay as imported.
TEST_F(CaseTree, AShownCaseOfAReplacedHistoryIsSavedAsANewOne) {
  TempFolder source, exported;
  {
    ASSERT_TRUE(file::ForceDirectories(source.Path("bazi_f")) && file::ForceDirectories(source.Path("dat")));
    MDataBase s;
    ASSERT_TRUE(s.Open(source.Dir(), 0));
    for (const char* name : {"王五", "赵六"}) {
      CaseRecord r{};
      SetText(r.name, U(name));
      SetText(r.category, U("同事"));
      ASSERT_GE(s.Add(r), 0);
      ASSERT_TRUE(file::WriteAtomic(source.Path("bazi_f\\" + IntToStr(r.id) + ".rtf"), U(name)));
    }
    ASSERT_TRUE(s.Backup(exported.Dir()));
  }
  EXPECT_TRUE(SaveNew("张三", true, "家人"));
  EXPECT_TRUE(SaveNew("李四", false, "家人"));
  CaseContext c = Context();
  BuildCaseTree(c, RecentCaseIds(*db), true);
  Select(FindCaseNode(*owned->Tree, 1));
  ViewCase(c);
  ASSERT_EQ(shownId, 1);

  MDataBase other;
  ASSERT_TRUE(other.Open(temp.Dir(), 0));
  ASSERT_TRUE(other.Restore(exported.Path("bazi0.dat"))) << other.LastError();
  owned->Report->SetText(U("李四的新报告"));
  CaseScript s;
  s.Answer("提示", IDYES);  // "要修改……吗？"
  s.Answer("注意", IDYES);  // the offer of a new case
  s.OnForm<TFrmFenLei>("TFrmFenLei", [](TFrmFenLei& f) {
    f.CboFenLei->SetText(U("家人"));
    CaseScript::Press(f.Btnok);
  });
  EXPECT_TRUE(SaveCase(c));
  ASSERT_EQ(s.texts.size(), 2u);
  EXPECT_NE(s.texts[1].find("另存为一个新命例"), std::string::npos) << s.texts[1];

  CaseRecord r{};
  ASSERT_TRUE(db->Read(1, r));
  EXPECT_EQ(gbk::ToUtf8(FieldText(r.name)), "赵六");
  EXPECT_EQ(gbk::ToUtf8(ReadText(CaseReportPath(temp.Dir(), 1))), "赵六");
  ASSERT_TRUE(db->Read(2, r));
  EXPECT_EQ(gbk::ToUtf8(FieldText(r.name)), "李四");
  EXPECT_EQ(shownId, 2);
  owned->Report->Clear();
  ASSERT_TRUE(owned->Report->LoadFromFile(CaseReportPath(temp.Dir(), 2)));
  EXPECT_EQ(gbk::ToUtf8(owned->Report->Text()), "李四的新报告");
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{"家人", "李四  公1990-5-6|2", "同事", "赵六  公-1-0-0|1", "王五  公-1-0-0|0"}));
}

}  // namespace
