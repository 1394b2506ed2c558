// The case history through the main window as a user meets it: names analysed and
// stored with setting "save" on, the tree's popup (the right click picks its node),
// view, edit, move, search, category commands, export, clear, import and restarts.
#include <windows.h>
// after <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <chrono>
#include <functional>
#include <vector>

#include "cases/CaseScript.h"
#include "cases/FrmFenLei.h"
#include "cases/FrmInfo.h"
#include "cases/FrmSearch.h"
#include "classlib/Files.h"
#include "classlib/InputBox.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"
#include "support/ProgramCopy.h"
#include "support/TempFolder.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

// Types the path into the open dialog's file name box and confirms it.
bool ChooseFile(HWND dialog, const std::string& path) {
  std::wstring w = gbk::ToWide(path);
  for (int id : {0x47c, 0x480}) SetDlgItemTextW(dialog, id, w.c_str());  // the name combo and edit
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  return true;
}

class CaseHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    app.Title = "Riveri 3.5";
    TIniFile set(dir + "dat\\set.ini");
    ASSERT_TRUE(set.WriteBool("set", "save", true));
  }
  void TearDown() override {
    Stop();
    if (!exported.empty()) {
      for (const std::string& f : file::List(exported + "\\bazi_f\\", ".rtf"))
        file::Delete(exported + "\\bazi_f\\" + f);
      file::RemoveDir(exported + "\\bazi_f");
      for (const std::string& f : file::List(exported + "\\", ".dat"))
        if (f.rfind("bazi", 0) == 0) file::Delete(exported + "\\" + f);
    }
  }

  void Start() {
    FrmMain = new TFrmMain(&app, dir);
    FrmMain->Show();
    gui::Pump(200);
  }
  void Stop() {
    delete FrmMain;
    FrmMain = nullptr;
  }
  void Finish(CaseScript& s) {
    for (int i = 0; i < 600 && !s.Done(); ++i) gui::Pump(20);
    EXPECT_TRUE(s.Done()) << "a step of the script was never taken";
    gui::Pump(100);
  }

  // 新建命例, then the name typed and 测名 pressed; the save dialog is answered with the
  // category.
  void Analyse(const char* name, bool male, const char* category) {
    SCOPED_TRACE(name);
    FrmMain->mnuF_NewClick(nullptr);
    FrmMain->birth.male = male;
    gui::SetText(FrmMain->LedtName->Handle(), U(name));
    CaseScript s;
    s.OnForm<TFrmFenLei>("TFrmFenLei", [category](TFrmFenLei& f) {
      f.CboFenLei->SetText(U(category));
      CaseScript::Press(f.Btnok);
    });
    SendMessageW(FrmMain->BtnPai->Handle(), BM_CLICK, 0, 0);
    Finish(s);
  }

  TTreeNode* Root() { return FrmMain->Tree->Items().GetFirstNode(); }
  TTreeNode* Category(const char* name) { return FindCategoryNode(*FrmMain->Tree, U(name)); }
  TTreeNode* CaseNamed(const char* name) {
    TTreeNode* root = Root();
    for (int i = 0; root && i < root->Count(); ++i)
      for (int k = 0; k < root->Item(i)->Count(); ++k)
        if (root->Item(i)->Item(k)->Text().rfind(U(name) + " ", 0) == 0) return root->Item(i)->Item(k);
    return nullptr;
  }
  // Category, then the names of its cases, in tree order.
  std::vector<std::string> Tree() {
    std::vector<std::string> out;
    TTreeNode* root = Root();
    for (int i = 0; root && i < root->Count(); ++i) {
      out.push_back(gbk::ToUtf8(root->Item(i)->Text()));
      for (int k = 0; k < root->Item(i)->Count(); ++k) {
        std::string t = root->Item(i)->Item(k)->Text();
        out.push_back(gbk::ToUtf8(t.substr(0, t.find(' '))));
      }
    }
    return out;
  }

  // A right click on the node; the popup is read, then `keys` are pressed in it
  // (none: it is closed).
  void RightClick(TTreeNode* n, std::vector<WORD> keys = {}) {
    ASSERT_NE(n, nullptr);
    HWND tree = FrmMain->Tree->Handle();
    RECT r{};
    TreeView_GetItemRect(tree, n->ItemId(), &r, TRUE);
    // On the part of the text in sight: a long case text runs past a narrow tree.
    RECT client{};
    GetClientRect(tree, &client);
    POINT p{(r.left + std::min(r.right, client.right)) / 2, (r.top + r.bottom) / 2};
    POINT screen = p;
    ClientToScreen(tree, &screen);
    CaseScript s;
    s.Then([this, keys] {
      HWND menu = gui::WaitTopWindow(GetCurrentProcessId(), "#32768", "", 0);
      if (!menu || !IsWindowVisible(menu)) return false;
      selectedAtPopup = FrmMain->Tree->Selected();
      moveTargets.clear();
      for (int i = 0; i < FrmMain->pop_move->Count(); ++i)
        moveTargets.push_back(gbk::ToUtf8(FrmMain->pop_move->Items(i)->Caption()));
      if (keys.empty()) EndMenu();
      for (WORD k : keys) PostMessageW(menu, WM_KEYDOWN, k, 0);
      return true;
    });
    // What the tree control sends itself after a right click at that point.
    PostMessageW(tree, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree), MAKELPARAM(screen.x, screen.y));
    Finish(s);
  }

  // The category node's name through the input box.
  void Answer(CaseScript& s, const char* typed) {
    s.OnForm<TInputQueryForm>("TInputQueryForm", [typed](TInputQueryForm& f) {
      f.Edit->SetText(U(typed));
      CaseScript::Press(f.BtnOk);
    });
  }

  std::vector<CaseRecord> Stored() {
    std::vector<int32_t> ids;
    CaseCriteria all;
    CaseDb.Search(all, ids);
    std::vector<CaseRecord> out;
    for (int32_t id : ids) {
      CaseRecord r{};
      if (CaseDb.Read(id, r)) out.push_back(r);
    }
    return out;
  }

  std::string Report() { return FrmMain->RedtName->Text(); }

  TApplication app;
  // The program folder of this test's own: the shipped data and settings, no history.
  ProgramCopy program{{"dat\\ChiWord.db", "dat\\ChiWordMini.db", "dat\\dili.ini", "dat\\set.ini", "skins"}};
  std::string dir = program.Dir();
  std::string exported;  // an export folder outside the temporary one, removed after
  TTreeNode* selectedAtPopup = nullptr;
  std::vector<std::string> moveTargets;
  TempFolder temp;
};

TEST_F(CaseHistory, StoredCasesThroughTheTreeExportClearAndImport) {
  Start();
  Analyse("张三", true, "家人");
  Analyse("李四一", false, "家人");
  Analyse("王五", true, "朋友");
  ASSERT_EQ(Tree(), (std::vector<std::string>{"家人", "张三", "李四一", "朋友", "王五"}));
  EXPECT_EQ(CaseNamed("李四一")->ImageIndex(), kImageFemale);
  EXPECT_TRUE(gui::SaveScreenshot(FrmMain->Handle(), gui::ScreenshotPath("main-window-case-tree.png")));

  // The right click picks the node under the mouse; a case offers the other category.
  FrmMain->Tree->SetSelected(Root());
  RightClick(CaseNamed("张三"));
  EXPECT_EQ(selectedAtPopup, CaseNamed("张三"));
  EXPECT_EQ(moveTargets, (std::vector<std::string>{"朋友"}));
  EXPECT_TRUE(FrmMain->pop_ming_pai->Enabled());
  EXPECT_FALSE(FrmMain->pop_class_edit->Enabled());
  RightClick(Category("家人"));
  EXPECT_EQ(selectedAtPopup, Category("家人"));
  EXPECT_FALSE(FrmMain->pop_ming_pai->Enabled());
  EXPECT_TRUE(FrmMain->pop_class_delete->Enabled());
  EXPECT_TRUE(FrmMain->pop_node_kai->Enabled());

  // 查看命例, the first item: the stored report and the name come back.
  FrmMain->mnuF_NewClick(nullptr);
  gui::SetText(FrmMain->LedtName->Handle(), "");
  RightClick(CaseNamed("张三"), {VK_DOWN, VK_RETURN});
  EXPECT_EQ(CurCaseLoaded, 1);
  EXPECT_EQ(FrmMain->LedtName->Text(), U("张三"));
  EXPECT_EQ(Report().substr(0, Report().find('\r')), U("姓名：张三  出生地：未知地。"));

  // 编辑命例: the details dialog renames the shown case; the node and the held case follow.
  {
    CaseScript s;
    s.OnForm<TFrmInfo>("TFrmInfo", [](TFrmInfo& f) {
      f.Edtname->SetText(U("张三丰"));
      EXPECT_TRUE(gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("case-details-dialog.png")));
      CaseScript::Press(f.BitBtn1);
    });
    s.Answer("提示", IDYES);
    s.Answer("完成", IDOK);
    FrmMain->pop_ming_edit->Click();
    Finish(s);
  }
  ASSERT_NE(CaseNamed("张三丰"), nullptr);
  EXPECT_EQ(FieldText(FrmMain->heldCase.name), U("张三丰"));

  // 移动到 › 朋友 through the menu itself.
  RightClick(CaseNamed("李四一"), {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
  gui::Pump(200);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"家人", "张三丰", "朋友", "王五", "李四一"}));

  // 查找 by name: contained, then whole.
  struct Search {
    const char* name;
    bool whole;
    const char* answer;  // caption of the box
    std::vector<std::string> tree;
  };
  const Search searches[] = {
      {"三", false, "提示", {"家人", "张三丰"}},
      {"三", true, "信息", {"家人", "张三丰"}},
      {"王五", true, "提示", {"朋友", "王五"}},
  };
  for (const Search& row : searches) {
    SCOPED_TRACE(std::string(row.name) + (row.whole ? " whole" : " part"));
    CaseScript s;
    s.OnForm<TFrmSearch>("TFrmSearch", [&row](TFrmSearch& f) {
      f.Edtname->SetText(U(row.name));
      f.ChkName->SetChecked(row.whole);
      CaseScript::Press(f.BtnSearch);
    });
    s.Answer(row.answer, std::string(row.answer) == "提示" ? IDYES : IDOK);
    if (std::string(row.answer) == "信息")
      s.OnForm<TFrmSearch>("TFrmSearch", [](TFrmSearch& f) { CaseScript::Press(f.BtoCancel); });
    FrmMain->pop_search->Click();
    Finish(s);
    EXPECT_EQ(Tree(), row.tree);
  }
  FrmMain->pop_s_full->Click();
  gui::Pump(100);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"家人", "张三丰", "朋友", "李四一", "王五"}));

  // An older case of 朋友 that the tree does not list is renamed with it, but a delete
  // takes only the cases the tree lists.
  CaseRecord older = Stored().back();
  SetText(older.name, U("赵六"));
  ASSERT_GE(CaseDb.Add(older), 0);
  {
    CaseScript s;
    Answer(s, "同学");
    FrmMain->Tree->SetSelected(Category("朋友"));
    FrmMain->pop_class_edit->Click();
    Finish(s);
  }
  EXPECT_NE(Category("同学"), nullptr);
  for (const CaseRecord& r : Stored()) {
    SCOPED_TRACE(gbk::ToUtf8(FieldText(r.name)));
    EXPECT_NE(FieldText(r.category), U("朋友"));
  }
  // A case of 同学 stored since the tree was last listed is not shown, so it stays.
  CaseRecord unlisted = Stored().back();
  SetText(unlisted.name, U("孙七"));
  SetText(unlisted.category, U("同学"));
  ASSERT_GE(CaseDb.Add(unlisted), 0);
  ASSERT_EQ(CaseNamed("孙七"), nullptr);
  const bool olderListed = CaseNamed("赵六") != nullptr;
  {
    CaseScript s;
    s.Answer("注意", IDYES);
    FrmMain->Tree->SetSelected(Category("同学"));
    FrmMain->pop_class_delete->Click();
    Finish(s);
  }
  std::vector<std::string> left;
  for (const CaseRecord& r : Stored()) left.push_back(gbk::ToUtf8(FieldText(r.name)));
  std::vector<std::string> expected{"张三丰"};
  if (!olderListed) expected.push_back("赵六");
  expected.push_back("孙七");
  EXPECT_EQ(left, expected);
  Analyse("王五", true, "朋友");
  FrmMain->pop_s_full->Click();
  std::vector<std::string> before = Tree();

  // 增加类别: the input box with its offered name.
  {
    CaseScript s;
    s.OnForm<TInputQueryForm>("TInputQueryForm", [](TInputQueryForm& f) {
      EXPECT_EQ(f.Edit->Text(), U("新类别"));
      EXPECT_TRUE(gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("category-input-box.png")));
      CaseScript::Press(f.BtnOk);
    });
    FrmMain->Tree->SetSelected(Root());
    FrmMain->pop_class_add->Click();
    Finish(s);
  }
  EXPECT_NE(Category("新类别"), nullptr);

  // Export into a folder picked in the folder browser.
  std::string exportDir = temp.Path("export");
  ASSERT_TRUE(file::ForceDirectories(exportDir));
  {
    CaseScript s;
    s.Then([&exportDir] {
      HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0);
      if (!box || !IsWindowVisible(box)) return false;
      std::wstring w = gbk::ToWide(exportDir);
      SendMessageW(box, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(w.c_str()));
      return true;
    });
    int ticks = 0;
    s.Then([&ticks] { return ++ticks == 10; });  // the browser's tree opens down to the folder
    s.Then([] {
      HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0);
      gui::SaveScreenshot(box, gui::ScreenshotPath("export-folder-dialog.png"));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return true;
    });
    s.Answer("Riveri 3.5", IDOK);
    FrmMain->mnuF_exportClick(nullptr);
    Finish(s);
    // The browser under test may keep its own start folder; the message names the one used.
    ASSERT_EQ(s.texts.size(), 1u);
    const std::string lead = "成功导出，已保存到", tail = "目录下";
    ASSERT_EQ(s.texts[0].rfind(lead, 0), 0u) << s.texts[0];
    ASSERT_GT(s.texts[0].size(), lead.size() + tail.size());
    exportDir = U(s.texts[0].substr(lead.size(), s.texts[0].size() - lead.size() - tail.size() - 1).c_str());
    exported = exportDir;
  }
  EXPECT_TRUE(file::Exists(exportDir + "\\bazi0.dat"));

  // Clear: two questions, then the window closes; the next start shows only the root.
  {
    CaseScript s;
    s.Answer("注意了", IDYES);
    s.Answer("注意了", IDYES);
    s.Answer("Riveri 3.5", IDOK);
    FrmMain->mnuF_deleteClick(nullptr);
    Finish(s);
    EXPECT_EQ(s.texts.back(), "清除完成,请重启软件。");
  }
  EXPECT_FALSE(IsWindowVisible(FrmMain->Handle()));
  Stop();
  Start();
  EXPECT_TRUE(Tree().empty());

  // Import the export: the same tree and reports after the next start.
  {
    CaseScript s;
    s.Answer("注意了", IDYES);
    s.Then([&exportDir] {
      HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0);
      if (!box || !IsWindowVisible(box)) return false;
      return ChooseFile(box, exportDir + "\\bazi0.dat");
    });
    s.Answer("Riveri 3.5", IDOK);
    FrmMain->mnuF_impotrClick(nullptr);
    Finish(s);
    EXPECT_EQ(s.texts.back(), "成功导入，请重启软件！");
  }
  Stop();
  Start();
  EXPECT_EQ(Tree().size(), before.size());
  FrmMain->pop_s_full->Click();  // in store order, as `before` was taken
  EXPECT_EQ(Tree(), before);
  FrmMain->Tree->SetSelected(CaseNamed("张三丰"));
  FrmMain->pop_ming_pai->Click();
  EXPECT_EQ(Report().substr(0, Report().find('\r')), U("姓名：张三  出生地：未知地。"));
  EXPECT_EQ(FrmMain->LedtName->Text(), U("张三丰"));
}

TEST_F(CaseHistory, ARefusedImportLeavesTheHistoryAndAChangedReportIsOfferedAtClose) {
  Start();
  Analyse("张三", true, "家人");
  std::string junk = temp.Path("bazi0.dat");
  ASSERT_TRUE(file::WriteAtomic(junk, "not a case store"));
  {
    CaseScript s;
    s.Answer("注意了", IDYES);
    s.Then([&junk] {
      HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0);
      if (!box || !IsWindowVisible(box)) return false;
      return ChooseFile(box, junk);
    });
    s.Answer("Riveri 3.5", IDOK);
    FrmMain->mnuF_impotrClick(nullptr);
    Finish(s);
  }
  EXPECT_TRUE(IsWindowVisible(FrmMain->Handle()));
  ASSERT_EQ(Stored().size(), 1u);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"家人", "张三"}));

  // The shown case's report is changed by hand; closing offers to save it.
  FrmMain->Tree->SetSelected(CaseNamed("张三"));
  FrmMain->pop_ming_pai->Click();
  FrmMain->RedtName->SetText(U("改过的报告"));
  FrmMain->RedtName->SetModified(true);
  {
    CaseScript s;
    s.Answer("提示", IDYES);  // 当前命例文本已改变，要保存吗？
    s.Answer("提示", IDYES);  // 要修改“张三”这条记录吗？
    s.Answer("Riveri 3.5", IDOK);
    FrmMain->Close();
    Finish(s);
    ASSERT_EQ(s.texts.size(), 3u);
    EXPECT_EQ(s.texts[0], "当前命例文本已改变，要保存吗？");
    EXPECT_EQ(s.texts[1], "要修改“张三”这条记录吗？");
  }
  Stop();
  Start();
  FrmMain->Tree->SetSelected(CaseNamed("张三"));
  FrmMain->pop_ming_pai->Click();
  EXPECT_EQ(Report().substr(0, Report().find('\r')), U("改过的报告"));
}

// A damaged settings file claims two billion categories: the save dialog lists no more
// than the program keeps, and an analysis with saving on ends at once.
TEST_F(CaseHistory, AHugeCategoryCountNeitherHangsNorFloodsTheSaveDialog) {
  {
    TIniFile init(dir + "dat\\init.ini");
    ASSERT_TRUE(init.WriteString("classes", "count", "2147483647"));
    ASSERT_TRUE(init.WriteString("classes", "1", U("家人")));
  }
  Start();
  int listed = -1;
  auto started = std::chrono::steady_clock::now();
  FrmMain->mnuF_NewClick(nullptr);
  gui::SetText(FrmMain->LedtName->Handle(), U("张三"));
  CaseScript s;
  s.OnForm<TFrmFenLei>("TFrmFenLei", [&listed](TFrmFenLei& f) {
    listed = f.CboFenLei->Items().Count();
    f.CboFenLei->SetText(U("家人"));
    CaseScript::Press(f.Btnok);
  });
  SendMessageW(FrmMain->BtnPai->Handle(), BM_CLICK, 0, 0);
  Finish(s);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  RecordProperty("analyseAndSaveSeconds", std::to_string(seconds));
  EXPECT_LT(seconds, 5.0);
  EXPECT_EQ(listed, kMaxCategories);
  ASSERT_EQ(Stored().size(), 1u);
  EXPECT_EQ(Tree(), (std::vector<std::string>{"家人", "张三"}));
}

// A journal damaged on disk does not block the history: the window says, in the
// program's words, that it was set aside, and the cases stored before are there.
TEST_F(CaseHistory, ADamagedJournalIsToldAboutAndTheHistoryOpens) {
  Start();
  Analyse("张三", true, "家人");
  Stop();
  ASSERT_TRUE(file::WriteAtomic(dir + "dat\\bazi.jnl", "TJNL damaged"));
  CaseScript s;
  s.Answer("Riveri 3.5", IDOK);
  Start();
  Finish(s);
  ASSERT_EQ(s.texts.size(), 1u);
  EXPECT_NE(s.texts[0].find("历史记录的日志文件已经损坏"), std::string::npos) << s.texts[0];
  EXPECT_NE(s.texts[0].find("bazi.jnl.bad"), std::string::npos) << s.texts[0];
  EXPECT_EQ(Tree(), (std::vector<std::string>{"家人", "张三"}));
}

}  // namespace
