// Pages, progress, up-down, rich text and trees: driven through real window messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/Files.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/StdCtrls.h"
#include "support/Gui.h"
#include "support/TempFolder.h"

namespace {

using gbk::U;

class ComCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    form = new TForm(&app);
    form->SetClientSize(480, 360);
  }
  template <class C>
  C* Add(int left, int top, int width, int height) {
    auto* c = new C(form);
    c->SetBounds(left, top, width, height);
    c->SetParent(form);
    return c;
  }
  TApplication app;
  TForm* form;
};

TEST_F(ComCtrlsTest, PageControlTurnsPagesByTabClickAndInCode) {
  auto* pc = Add<TPageControl>(0, 0, 400, 300);
  std::vector<TTabSheet*> sheets;
  for (const char* caption : {"姓名分析", "个人起名", "公司起名"}) {
    auto* s = new TTabSheet(form);
    s->SetCaption(U(caption));
    s->SetPageControl(pc);
    sheets.push_back(s);
  }
  int changes = 0;
  pc->OnChange = [&](TObject*) { ++changes; };
  form->Show();
  ASSERT_EQ(pc->Perform(TCM_GETITEMCOUNT), 3);
  EXPECT_EQ(pc->ActivePageIndex(), 0);
  EXPECT_TRUE(IsWindowVisible(sheets[0]->Handle()));
  EXPECT_FALSE(IsWindowVisible(sheets[1]->Handle()));
  // The page fills the control below the tabs.
  EXPECT_GT(sheets[0]->Top(), 10);
  EXPECT_GT(sheets[0]->Width(), 380);

  RECT tab;
  pc->Perform(TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&tab));
  LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  SendMessageW(pc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(pc->Handle(), WM_LBUTTONUP, 0, at);
  gui::Pump(30);
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  EXPECT_EQ(pc->ActivePage(), sheets[2]);
  EXPECT_TRUE(IsWindowVisible(sheets[2]->Handle()));
  EXPECT_FALSE(IsWindowVisible(sheets[0]->Handle()));
  EXPECT_EQ(changes, 1);

  pc->SetActivePageIndex(1);
  EXPECT_EQ(pc->Perform(TCM_GETCURSEL), 1);
  EXPECT_EQ(changes, 1) << "turning in code is not the user's change";
  pc->SetActivePageIndex(7);
  EXPECT_EQ(pc->ActivePageIndex(), 1);

  // A freed page leaves the tabs; a renamed one shows its new caption.
  delete sheets[0];
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->Perform(TCM_GETITEMCOUNT), 2);
  EXPECT_EQ(sheets[2]->PageIndex(), 1);
  EXPECT_EQ(pc->ActivePage(), sheets[1]) << "the page on show stays on show";
  EXPECT_EQ(pc->Perform(TCM_GETCURSEL), 0);
  sheets[2]->SetCaption(U("数字吉凶"));
  wchar_t buf[32];
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buf;
  item.cchTextMax = 32;
  pc->Perform(TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(gbk::FromWide(buf), U("数字吉凶"));
  gui::Pump(50);
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("pagecontrol.png"));
}

// A page not on show has no windows until it is first shown: they come then with every
// setting made meanwhile. A control of such a page asked for its window gets it at once.
TEST_F(ComCtrlsTest, APageGetsItsWindowsWhenFirstShownWithWhatWasSetBefore) {
  auto* pc = Add<TPageControl>(0, 0, 400, 300);
  std::vector<TTabSheet*> sheets;
  for (const char* caption : {"一", "二", "三"}) {
    auto* s = new TTabSheet(form);
    s->SetCaption(U(caption));
    s->SetPageControl(pc);
    sheets.push_back(s);
  }
  auto place = [&](TControl* c, TTabSheet* sheet, int top) {
    c->SetBounds(8, top, 160, 24);
    c->SetParent(sheet);
  };
  auto* edit = new TEdit(form);
  auto* check = new TCheckBox(form);
  auto* box = new TComboBox(form);
  auto* view = new TRichEdit(form);
  auto* asked = new TEdit(form);
  place(edit, sheets[1], 8);
  place(check, sheets[1], 40);
  place(box, sheets[1], 72);
  place(view, sheets[1], 104);
  place(asked, sheets[2], 8);
  box->Items().Add("x");
  form->Show();
  EXPECT_FALSE(sheets[1]->HandleAllocated());
  EXPECT_FALSE(edit->HandleAllocated());

  edit->SetText(U("未见之页"));
  check->SetChecked(true);
  box->Items().Add("y");
  box->SetItemIndex(1);
  TFont big = view->Font();
  big.Size = 20;
  view->SetFont(big);
  view->SetColor(0x123456);
  EXPECT_FALSE(IsWindowVisible(asked->Handle()));

  RECT tab;
  pc->Perform(TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  SendMessageW(pc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(pc->Handle(), WM_LBUTTONUP, 0, at);
  gui::Pump(30);
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  EXPECT_EQ(gui::Text(edit->Handle()), U("未见之页"));
  EXPECT_EQ(SendMessageW(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(box->Handle(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(box->Handle(), CB_GETCURSEL, 0, 0), 1);
  // The view paints in the colour and writes in the size set before its window was made.
  EXPECT_EQ(static_cast<COLORREF>(view->Perform(EM_SETBKGNDCOLOR, 0, 0x123456)), 0x123456u);
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  view->Perform(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  EXPECT_EQ(cf.yHeight, 20 * 20);
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(edit->Handle(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
  EXPECT_EQ(gbk::FromWide(lf.lfFaceName), U("宋体")) << "the page's controls write in the form's font";
}

TEST_F(ComCtrlsTest, ProgressAndUpDownKeepTheirRanges) {
  auto* bar = Add<TProgressBar>(10, 10, 200, 18);
  bar->SetMax(50);
  bar->SetPosition(80);
  form->Show();
  EXPECT_EQ(bar->Position(), 50);
  EXPECT_EQ(bar->Perform(PBM_GETPOS), 50);
  bar->SetMin(60);
  EXPECT_EQ(bar->Position(), 60);
  EXPECT_EQ(bar->Max(), 60);

  auto* edt = Add<TEdit>(10, 40, 60, 22);
  auto* ud = Add<TUpDown>(70, 40, 16, 22);
  ud->SetRange(0, 200);
  ud->SetPosition(126);
  ud->SetAssociate(edt);
  std::vector<TUDBtnType> clicks;
  ud->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
  EXPECT_EQ(edt->Text(), "126");
  // Arrow keys on the edit step the position, as the arrow buttons do.
  SendMessageW(ud->Handle(), WM_KEYDOWN, VK_UP, 1);
  gui::Pump(20);
  EXPECT_EQ(ud->Position(), 127);
  EXPECT_EQ(edt->Text(), "127");
  SendMessageW(ud->Handle(), WM_KEYDOWN, VK_DOWN, 1);
  SendMessageW(ud->Handle(), WM_KEYDOWN, VK_DOWN, 1);
  gui::Pump(20);
  EXPECT_EQ(ud->Position(), 125);
  ASSERT_EQ(clicks.size(), 3u);
  EXPECT_EQ(clicks[0], btNext);
  EXPECT_EQ(clicks[2], btPrev);
  ud->SetPosition(500);
  EXPECT_EQ(ud->Position(), 200);
  ud->SetRange(0, 100);
  EXPECT_EQ(ud->Position(), 100);
}

TEST_F(ComCtrlsTest, RichEditPositionsCountGbkBytes) {
  auto* red = Add<TRichEdit>(10, 10, 400, 300);
  form->Show();
  red->SetText(U("乾造 甲子\r\nAB姓名评论：好"));
  EXPECT_EQ(red->Text(), U("乾造 甲子\r\nAB姓名评论：好"));
  EXPECT_EQ(red->LineCount(), 2);
  EXPECT_EQ(red->Line(1), U("AB姓名评论：好"));
  struct Row {
    const char* name;
    int start, length;
    const char* selected;
  } rows[] = {
      {"first character", 0, 2, "乾"},
      {"across the space", 2, 3, "造 "},
      {"over the paragraph break", 7, 4, "子\rA"},
      {"ascii then chinese", 11, 5, "B姓名"},
      {"past the end is cut", 20, 99, "：好"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    red->SetSelStart(row.start);
    red->SetSelLength(row.length);
    EXPECT_EQ(red->SelStart(), row.start);
    EXPECT_EQ(red->SelText(), U(row.selected));
    EXPECT_EQ(red->SelLength(), static_cast<int>(U(row.selected).size()));
  }
  EXPECT_EQ(red->FindText(U("姓名评论："), 0, -1, true), 12);
  EXPECT_EQ(red->FindText("ab", 0, -1, true), -1);
  EXPECT_EQ(red->FindText("ab", 0, -1, false), 10);
  EXPECT_EQ(red->FindText(U("乾"), 2, -1, true), -1) << "the search starts where asked";

  red->SetSelStart(10);
  red->SetSelLength(2);
  red->SetSelText(U("李"));
  EXPECT_EQ(red->Line(1), U("李姓名评论：好"));
}

TEST_F(ComCtrlsTest, RichEditFormatsSelectionsAndKeepsThemThroughRtf) {
  auto* red = Add<TRichEdit>(10, 10, 400, 300);
  form->Show();
  red->SetText(U("姓名综合得分：95\r\n三才配置[木火土]"));
  red->SetSelStart(0);
  red->SetSelLength(14);
  red->SelAttributes().SetColor(clRed);
  red->SelAttributes().SetBold(true);
  red->Paragraph().SetFirstIndent(12);
  TFont f = red->SelAttributes().Get();
  EXPECT_EQ(f.Color, clRed);
  EXPECT_TRUE(f.Bold);
  EXPECT_EQ(red->Paragraph().FirstIndent(), 12);

  std::string rtf = red->SaveToString(true);
  ASSERT_EQ(rtf.compare(0, 5, "{\\rtf"), 0);
  auto* copy = Add<TRichEdit>(10, 10, 400, 300);
  ASSERT_TRUE(copy->LoadFromString(rtf, true));
  EXPECT_EQ(copy->Text(), red->Text());
  copy->SetSelStart(4);
  copy->SetSelLength(2);
  EXPECT_EQ(copy->SelAttributes().Get().Color, clRed);
  EXPECT_TRUE(copy->SelAttributes().Get().Bold);
  copy->SetSelStart(20);
  copy->SetSelLength(2);
  EXPECT_FALSE(copy->SelAttributes().Get().Bold);
  gui::Pump(50);
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("richedit.png"));
}

// Text appended in pieces is what the view shows and saves for the same text set whole
// in the same attributes, and leaves the caret, the view, the undo list and the modified
// flag as they were.
TEST_F(ComCtrlsTest, RichEditAppendedTextEqualsTextSetWhole) {
  std::string text = U("贵姓：李，经过分析可以取以下名：\r\n第 1 组：笔画7、1、1\r\n  ");
  for (int i = 0; i < 400; ++i) text += U("一丨 ") + (i % 50 == 0 ? "{a\\b}" : "");
  text += "\r\n\r\n" + U("第 2 组：") + "x";
  TFont f;
  f.Name = U("宋体");
  f.Size = 10;
  f.Color = clBlack;
  auto* whole = Add<TRichEdit>(10, 10, 200, 300);
  auto* pieces = Add<TRichEdit>(220, 10, 200, 300);
  form->Show();
  // As the program's views: their own font in the text's size, the text's attributes set.
  for (TRichEdit* view : {whole, pieces}) {
    view->DefAttributes().Set(f);
    view->SelAttributes().Set(f);
  }
  whole->SetText(text);
  TRichEdit::AppendState state;
  for (size_t at = 0; at < text.size();) {
    // Cut at spaces and line ends, as the program does.
    const size_t cut = text.find_first_of(" \n", at + 700);
    const size_t end = cut == std::string::npos ? text.size() : cut + 1;
    pieces->AppendText(text.substr(at, end - at), f, state);
    at = end;
  }
  pieces->EndAppend(state);
  EXPECT_GT(state.run, 20u);
  EXPECT_EQ(pieces->Text(), text);
  EXPECT_EQ(pieces->SaveToString(true), whole->SaveToString(true));
  EXPECT_EQ(pieces->SelStart(), 0);
  EXPECT_EQ(pieces->Perform(EM_GETFIRSTVISIBLELINE), 0);
  EXPECT_FALSE(pieces->Modified());
  EXPECT_EQ(pieces->Perform(EM_CANUNDO), 0);

  pieces->SetSelStart(6);
  pieces->SetModified(true);
  pieces->AppendText(U("末尾"), f, state);
  pieces->EndAppend(state);
  EXPECT_EQ(pieces->SelStart(), 6);
  EXPECT_TRUE(pieces->Modified());
  EXPECT_EQ(pieces->Text(), text + U("末尾"));

  // A caret the user puts down between two pieces is where it stays.
  pieces->AppendText("a", f, state);
  pieces->SetSelStart(4);
  pieces->AppendText("b", f, state);
  pieces->EndAppend(state);
  EXPECT_EQ(pieces->SelStart(), 4);
  EXPECT_EQ(pieces->Text(), text + U("末尾") + "ab");
  pieces->Clear();
  EXPECT_EQ(pieces->Text(), "");
}

TEST_F(ComCtrlsTest, RichEditFilesAndLimits) {
  TempFolder tmp;
  auto* red = Add<TRichEdit>(10, 10, 400, 300);
  form->Show();
  // Far beyond the 32,767 characters a plain edit takes.
  std::string big;
  while (big.size() < 100000) big += U("姓名学测试ABC\r\n");
  red->SetText(big);
  EXPECT_EQ(red->Text(), big);

  red->SetText(U("第一行\r\n第二行"));
  red->SetModified(false);
  SendMessageW(red->Handle(), WM_CHAR, L'x', 1);
  EXPECT_TRUE(red->Modified());

  red->PlainText = true;
  ASSERT_TRUE(red->SaveToFile(tmp.Path("a.txt")));
  std::string saved;
  ASSERT_TRUE(file::ReadAll(tmp.Path("a.txt"), saved));
  EXPECT_EQ(saved, red->Text()) << "plain text is written as GBK";
  red->Clear();
  ASSERT_TRUE(red->LoadFromFile(tmp.Path("a.txt")));
  EXPECT_EQ(red->Text(), saved);

  red->PlainText = false;
  ASSERT_TRUE(red->SaveToFile(tmp.Path("a.rtf")));
  red->Clear();
  ASSERT_TRUE(red->LoadFromFile(tmp.Path("a.rtf")));
  EXPECT_EQ(red->Text(), saved);

  EXPECT_FALSE(red->LoadFromFile(tmp.Path("missing.rtf")));
  EXPECT_NE(red->LastError().find("missing.rtf"), std::string::npos);
}

TEST_F(ComCtrlsTest, TreeViewMirrorsItsNodesIntoTheWindow) {
  auto* tree = new TTreeView(form);
  // Nodes made before the window exists appear when it is created.
  TTreeNode* family = tree->Items().AddChild(nullptr, U("家人"));
  TTreeNode* li = tree->Items().AddChild(family, U("李四一"));
  tree->Items().AddChild(family, U("王五"));
  TTreeNode* friends = tree->Items().Add(family, U("朋友"));
  li->Data = li;
  tree->SetBounds(10, 10, 200, 300);
  tree->SetParent(form);
  form->Show();
  EXPECT_EQ(tree->Perform(TVM_GETCOUNT), 4);
  EXPECT_EQ(tree->Items().Count(), 4);
  EXPECT_EQ(li->Level(), 1);
  EXPECT_EQ(friends->Index(), 1);

  int changes = 0;
  tree->OnChange = [&](TObject*) { ++changes; };
  tree->FullExpand();
  EXPECT_TRUE(family->Expanded());
  RECT r;
  HTREEITEM item = li->ItemId();  // the message takes the item in the rectangle's place
  std::memcpy(&r, &item, sizeof item);
  ASSERT_TRUE(tree->Perform(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
  // Queued, as a real click: the tree watches the queue for the button's release.
  PostMessageW(tree->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2));
  PostMessageW(tree->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2));
  gui::Pump(100);
  EXPECT_EQ(tree->Selected(), li);
  EXPECT_EQ(tree->GetNodeAt(r.left + 4, (r.top + r.bottom) / 2), li);
  EXPECT_GE(changes, 1);

  li->SetText(U("李四"));
  wchar_t buf[32];
  TVITEMW it{};
  it.mask = TVIF_TEXT;
  it.hItem = li->ItemId();
  it.pszText = buf;
  it.cchTextMax = 32;
  tree->Perform(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_EQ(gbk::FromWide(buf), U("李四"));

  // Inserted before the first child; deleting a node takes its subtree.
  TTreeNode* first = tree->Items().Insert(li, U("张三"));
  EXPECT_EQ(first->Index(), 0);
  EXPECT_EQ(li->Index(), 1);
  family->Delete();
  EXPECT_EQ(tree->Items().Count(), 1);
  EXPECT_EQ(tree->Perform(TVM_GETCOUNT), 1);
  EXPECT_EQ(tree->Items().GetFirstNode(), friends);
  tree->Items().Clear();
  EXPECT_EQ(tree->Perform(TVM_GETCOUNT), 0);
}

}  // namespace
