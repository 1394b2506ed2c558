// The program as a user's hands meet it: keys and clicks go in through SendInput and
// the program's own message loop, never as messages posted to a window, and the tests
// read back what the user would see: the dialog keys Enter and Esc, the right click on
// the case tree, the legibility of the side panel in every look, the save offer that
// keeps the user's edits, and the grid of names on the naming page.
#include <windows.h>
// after <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/InputBox.h"
#include "classlib/StrUtils.h"
#include "skin/WinSkinData.h"
#include "support/Gui.h"
#include "support/ProgramLoop.h"
#include "support/ShippedFolder.h"
#include "support/TempFolder.h"
#include "tools/Uchoicenum.h"
#include "tools/Untwnl.h"
#include "tools/Upicknumber.h"
#include "tools/Utestname.h"
#include "tools/Utxthelp.h"
#include "ui/ModalDriver.h"
#include "ui/Uinput.h"
#include "ui/Untmain.h"
#include "ui/Untsyong.h"
#include "ui/Usetname.h"

namespace {

using gbk::U;
using gui::RunLoop;

// A real key press into h, then the loop.
void Press(HWND h, WORD vk) {
  gui::PressKey(h, vk);
  RunLoop(150);
}

// Real key presses of letters a to z into h, as typed without shift.
void Type(HWND h, const char* letters) {
  for (const char* c = letters; *c; ++c) gui::PressKey(h, static_cast<WORD>('A' + (*c - 'a')));
  RunLoop(200);
}

// The centre of h's client area.
POINT Centre(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return {r.right / 2, r.bottom / 2};
}

// A popup menu of this process on show, nullptr when none.
HWND OpenPopup() {
  HWND h = FindWindowW(L"#32768", nullptr);
  return h && IsWindowVisible(h) ? h : nullptr;
}

// The contrast ratio of two colours (WCAG relative luminance), 1 to 21.
double Contrast(COLORREF a, COLORREF b) {
  auto lum = [](COLORREF c) {
    auto ch = [](int v) {
      double x = v / 255.0;
      return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * ch(GetRValue(c)) + 0.7152 * ch(GetGValue(c)) + 0.0722 * ch(GetBValue(c));
  };
  double la = lum(a), lb = lum(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a window shows, read back from its own surface.
class ScreenPixels {
 public:
  explicit ScreenPixels(HWND h) : picture_(gui::Capture(h)) {}
  int Width() const { return picture_ ? picture_->Width() : 0; }
  int Height() const { return picture_ ? picture_->Height() : 0; }
  COLORREF At(int x, int y) const { return static_cast<COLORREF>(picture_->Pixel(x, y)); }

 private:
  std::unique_ptr<TBitmap> picture_;
};

struct Legibility {
  int textPixels = 0;  // pixels of exactly the text's colour
  int weak = 0;        // their neighbours that differ from it by less than 3:1
  double worst = 21;
};

// The pixels of a label's own colour and how they stand out from every neighbour.
Legibility Measure(TControl* label) {
  ScreenPixels s(label->Handle());
  const COLORREF c = ColorToRGB(label->Font().Color);
  Legibility out;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.At(x, y) != c) continue;
      ++out.textPixels;
      const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
      for (int k = 0; k < 4; ++k) {
        int nx = x + dx[k], ny = y + dy[k];
        if (nx < 0 || ny < 0 || nx >= s.Width() || ny >= s.Height() || s.At(nx, ny) == c) continue;
        double ratio = Contrast(c, s.At(nx, ny));
        out.worst = std::min(out.worst, ratio);
        if (ratio < 3.0) ++out.weak;
      }
    }
  }
  return out;
}

// Whether any pixel of the window has this colour as its strongest channel by far
// (font smoothing blends the edges of the letters).
bool ShowsHue(HWND h, int channel) {
  ScreenPixels s(h);
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      COLORREF c = s.At(x, y);
      int v[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
      if (v[channel] - std::max(v[(channel + 1) % 3], v[(channel + 2) % 3]) > 90) return true;
    }
  }
  return false;
}

// The colour the screen shows at a point of h's client area.
COLORREF PixelAt(HWND h, POINT client) {
  ClientToScreen(h, &client);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, client.x, client.y);
  ReleaseDC(nullptr, screen);
  return c;
}

// The background inside a control, away from its border and its text.
COLORREF Inside(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return PixelAt(h, {r.right - 3, r.bottom - 3});
}

class UserInput : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    app.Title = "Riveri 3.5";
    bin = ShippedFolder();
    AppDir = bin;  // what the dialogs read; the main window's own data go to `temp`
    ASSERT_TRUE(file::ForceDirectories(temp.Path("dat")));
  }
  void TearDown() override {
    delete FrmMain;
    FrmMain = nullptr;
    AppDir = bin;
  }

  // The main window, its cases and settings in the test's own folder.
  void Start() {
    FrmMain = new TFrmMain(&app, bin);
    AppDir = temp.Dir();
    FrmMain->Show();
    FrmMain->SetClientSize(900, 620);
    RunLoop(300);
  }

  // One stored case with the report the analysis wrote, shown in the tree.
  int32_t StoreCase(const char* name) {
    TFrmMain& f = *FrmMain;
    f.LedtName->SetText(U(name));
    f.BtnPaiClick(nullptr);
    EXPECT_TRUE(f.chartValid);
    CaseRecord r = f.heldCase;
    ::SetText(r.category, U("朋友"));
    int32_t id = CaseDb.Add(r);
    EXPECT_GE(id, 0);
    file::ForceDirectories(temp.Path("bazi_f"));
    EXPECT_TRUE(f.RedtName->SaveToFile(CaseReportPath(AppDir, id)));
    BuildCaseTree(*f.cases, {id});
    RunLoop(100);
    return id;
  }
  TTreeNode* CaseNode(int32_t id) { return FindCaseNode(*FrmMain->Tree, id); }

  TApplication app;
  TempFolder temp;
  std::string bin;
};

// ---- the dialog keys ----

TEST_F(UserInput, EnterAndEscAnswerTheBirthDialogAsItsButtonsDo) {
  struct Row {
    const char* name;
    WORD key;
    int result;
    bool changed;  // the typed year is taken
  } rows[] = {{"Esc", VK_ESCAPE, mrCancel, false}, {"Enter", VK_RETURN, mrOk, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    BirthRecord birth{};
    birth.year = 1990;
    birth.month = 5;
    birth.day = 6;
    birth.hour = 7;
    birth.male = 1;
    birth.provinceIndex = 34;
    std::string place = U("未知地。");
    const BirthRecord before = birth;
    TFrmInput dlg(&app, birth, place);
    modal::Driver d({[&] {
                       if (!IsWindowVisible(dlg.Handle())) return false;
                       gui::Focus(dlg.EdtYear->Handle());
                       SendMessageW(dlg.EdtYear->Handle(), EM_SETSEL, 0, -1);
                       for (WORD vk : {'2', '0', '0', '1'}) gui::PressKey(dlg.EdtYear->Handle(), vk);
                       return true;
                     },
                     [&] {
                       EXPECT_EQ(gui::Text(dlg.EdtYear->Handle()), "2001");
                       gui::PressKey(dlg.EdtYear->Handle(), row.key);
                       return true;
                     }});
    EXPECT_EQ(dlg.ShowModal(), row.result);
    EXPECT_EQ(birth.year, row.changed ? 2001 : before.year);
    EXPECT_EQ(birth.month, before.month);
    if (!row.changed) {
      EXPECT_EQ(place, U("未知地。"));
    }
  }
}

TEST_F(UserInput, EnterAndEscAnswerTheInputBox) {
  for (WORD key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Esc");
    std::string value = U("新类别");
    modal::Driver d({[&] {
                       HWND h = gui::WaitTopWindow(GetCurrentProcessId(), "TInputQueryForm", "", 50);
                       if (!h) return false;
                       // Asked for the default button, as the dialog keys ask, the form names OK.
                       auto* form = dynamic_cast<TInputQueryForm*>(TControl::FromHandle(h));
                       LRESULT def = SendMessageW(h, DM_GETDEFID, 0, 0);
                       EXPECT_EQ(HIWORD(def), DC_HASDEFID);
                       if (form) {
                         EXPECT_EQ(LOWORD(def), GetDlgCtrlID(form->BtnOk->Handle()));
                       }
                       HWND edit = gui::FindChild(h, "TEdit", "");
                       gui::Focus(edit);
                       SendMessageW(edit, EM_SETSEL, 0, -1);
                       for (WORD vk : {'A', 'B'}) gui::PressKey(edit, vk);
                       return true;
                     },
                     [&] {
                       gui::PressKey(GetFocus(), key);
                       return true;
                     }});
    bool ok = InputQuery(U("新建类别"), U("请输入新建类别名："), value);
    EXPECT_EQ(ok, key == VK_RETURN);
    EXPECT_EQ(value, key == VK_RETURN ? "ab" : U("新类别"));
  }
}

TEST_F(UserInput, EnterInTheYearBoxOfTheCalendarShowsThatYear) {
  ShowPerpetualCalendar();
  ASSERT_NE(FrmWnl, nullptr);
  TFrmWnl& w = *FrmWnl;
  RunLoop(200);
  gui::Focus(w.EdtYear->Handle());
  SendMessageW(w.EdtYear->Handle(), EM_SETSEL, 0, -1);
  for (WORD vk : {'1', '9', '8', '4'}) gui::PressKey(w.EdtYear->Handle(), vk);
  Press(w.EdtYear->Handle(), VK_RETURN);
  EXPECT_EQ(gui::Text(w.LabShow->Handle()).substr(0, 6), U("1984年"));
  w.Close();
  RunLoop(100);
}

// ---- the case tree and the save offer ----

TEST_F(UserInput, RightClickOnACaseSelectsItAndOpensItsMenu) {
  Start();
  int32_t id = StoreCase("张三");
  TTreeView& tree = *FrmMain->Tree;
  TTreeNode* node = CaseNode(id);
  ASSERT_NE(node, nullptr);
  node->Parent()->Expand(false);
  tree.SetSelected(tree.Items().GetFirstNode());
  RunLoop(100);
  RECT item{};
  ASSERT_TRUE(TreeView_GetItemRect(tree.Handle(), node->ItemId(), &item, TRUE));

  TTreeNode* selectedInMenu = nullptr;
  bool viewEnabled = false, menuSeen = false;
  modal::Driver d({[&] {
    HWND menu = OpenPopup();
    if (!menu) return false;
    menuSeen = true;
    selectedInMenu = tree.Selected();
    viewEnabled = FrmMain->pop_ming_pai->Enabled();
    ScreenPixels shot(menu);  // the menu is drawn, not only made
    EndMenu();
    return true;
  }});
  // On the part of the case's text in sight: a long text runs past the narrow tree.
  RECT client{};
  GetClientRect(tree.Handle(), &client);
  gui::MouseClick(tree.Handle(), {(item.left + std::min(item.right, client.right)) / 2, (item.top + item.bottom) / 2},
                  true);
  for (int i = 0; i < 40 && !menuSeen; ++i) RunLoop(50);
  EXPECT_TRUE(menuSeen) << "no popup menu after a right click on the case";
  EXPECT_EQ(selectedInMenu, node);
  EXPECT_TRUE(viewEnabled);
  EXPECT_EQ(tree.Selected(), node);
}

// With the settings the program ships with, a case's text stands whole in the tree.
TEST_F(UserInput, ACaseNodeShowsWholeInTheShippedTreeWidth) {
  std::string shipped = TORVIK_SHIPPED_INIT;
  std::replace(shipped.begin(), shipped.end(), '/', '\\');
  ASSERT_TRUE(file::Copy(shipped, temp.Path("dat\\init.ini"), false)) << shipped;
  Start();
  FrmMain->SetClientSize(760, 520);
  int32_t id = StoreCase("李四一");
  TTreeView& tree = *FrmMain->Tree;
  TTreeNode* node = CaseNode(id);
  ASSERT_NE(node, nullptr);
  node->Parent()->Expand(false);
  RunLoop(100);
  RECT item{}, client{};
  ASSERT_TRUE(TreeView_GetItemRect(tree.Handle(), node->ItemId(), &item, TRUE));
  GetClientRect(tree.Handle(), &client);
  EXPECT_LE(item.right, client.right) << gbk::ToUtf8(node->Text());
  gui::SaveScreenshot(FrmMain->PanLeft->Handle(), gui::ScreenshotPath("case-tree.png"));
}

TEST_F(UserInput, YesToTheSaveOfferKeepsTheTypedReport) {
  Start();
  int32_t id = StoreCase("李四一");
  TFrmMain& f = *FrmMain;
  f.Tree->SetSelected(CaseNode(id));
  f.pop_ming_paiClick(nullptr);
  ASSERT_EQ(CurCaseLoaded, 1);
  ASSERT_FALSE(f.RedtName->Modified());

  // The user types at the end of the report, then presses 测名.
  gui::Focus(f.RedtName->Handle());
  Press(f.RedtName->Handle(), VK_END);
  SendMessageW(f.RedtName->Handle(), EM_SETSEL, -1, -1);
  Type(f.RedtName->Handle(), "zqxwv");
  ASSERT_NE(f.RedtName->Text().find("zqxwv"), std::string::npos);
  ASSERT_TRUE(f.RedtName->Modified());

  std::vector<std::string> boxes;
  bool done = false;
  modal::Driver d({[&] {
    HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 50);
    if (!box) return false;
    std::string text = modal::MessageText(box);
    boxes.push_back(gbk::ToUtf8(text));
    // Yes to saving and to changing the record; whatever else is only acknowledged.
    bool ask = text.find(U("要保存吗")) != std::string::npos || text.find(U("要修改")) != std::string::npos;
    PostMessageW(box, WM_COMMAND, ask ? IDYES : IDOK, 0);
    done = text == U("已保存编辑后的命例。");
    return done;
  }});
  gui::MouseClick(f.BtnPai->Handle(), Centre(f.BtnPai->Handle()));
  for (int i = 0; i < 100 && !done; ++i) RunLoop(50);
  RunLoop(300);
  ASSERT_GE(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "当前命例文本已改变，要保存吗？");
  EXPECT_TRUE(done) << (boxes.size() > 1 ? boxes[1] : std::string("no further box"));

  // The report stored for the case holds the typed text.
  std::string stored;
  ASSERT_TRUE(file::ReadAll(CaseReportPath(AppDir, id), stored));
  EXPECT_NE(stored.find("zqxwv"), std::string::npos);
  CaseRecord r{};
  EXPECT_TRUE(CaseDb.Read(id, r));
  EXPECT_EQ(FieldText(r.name), U("李四一"));
}

// ---- the side panel ----

TEST_F(UserInput, EveryElementColourStandsOutInEveryLook) {
  Start();
  TFrmMain& f = *FrmMain;
  // A name whose characters and grids bring every element: grids ending 1, 3, 5, 7, 9
  // are wood, fire, earth, metal and water.
  const int elements[4] = {0, 2, 3, 4};
  const int16_t grids[5] = {11, 13, 15, 17, 19};
  f.ShowWuGe(U("司马光明"), false, elements, 88, grids);
  std::vector<std::pair<std::string, TControl*>> labels;
  for (int i = 0; i < 5; ++i) labels.push_back({"legend " + std::to_string(i), f.txt[i]});
  for (int i = 0; i < 4; ++i) labels.push_back({"box " + std::to_string(i + 1), f.Stxt[i]});
  labels.push_back({"heaven", f.StxtTian});
  labels.push_back({"person", f.StxtRen});
  labels.push_back({"earth", f.StxtDi});
  labels.push_back({"total", f.StxtZong});
  labels.push_back({"outer", f.StxtWai});

  for (const char* look : {"", "Mx1", "Ink", "Plain"}) {
    SCOPED_TRACE(*look ? look : "plain look");
    if (*look) {
      ASSERT_TRUE(f.SkinData->LoadFromFile(bin + "skins\\" + look + ".skn"));
      f.SkinData->SetActive(true);
    }
    RunLoop(900);
    f.Repaint();
    RunLoop(300);
    gui::SaveScreenshot(f.PanLeft->Handle(),
                        gui::ScreenshotPath(std::string("sidepanel-") + (*look ? look : "none") + ".png"));
    gui::SaveScreenshot(f.PanTop->Handle(),
                        gui::ScreenshotPath(std::string("legend-") + (*look ? look : "none") + ".png"));
    for (auto& [name, label] : labels) {
      SCOPED_TRACE(name);
      Legibility l = Measure(label);
      EXPECT_GT(l.textPixels, 10) << "the text is not drawn in its colour";
      EXPECT_EQ(l.weak, 0) << "worst contrast " << l.worst;
    }
  }
  f.SkinData->SetActive(false);
  RunLoop(500);
}

// The report views take the background colour of the settings at start.
TEST_F(UserInput, TheReportsTakeTheSavedBackground) {
  const COLORREF saved = RGB(0xE0, 0xF0, 0xC8);
  ASSERT_TRUE(file::WriteAtomic(temp.Path("dat\\init.ini"),
                                "[minggao]\r\nbcolor=" + std::to_string(static_cast<long>(saved)) + "\r\n"));
  Start();
  TFrmMain& f = *FrmMain;
  for (TRichEdit* view : {f.RedtName, f.RedtName2}) {
    SCOPED_TRACE(view->Name);
    f.PageControl1->SetActivePageIndex(view == f.RedtName ? 0 : 1);
    RunLoop(200);
    EXPECT_EQ(Inside(view->Handle()), saved);
  }
}

// Maximising leaves no trace of the top panel's old right edge.
TEST_F(UserInput, MaximisingRedrawsTheTopPanelWhole) {
  Start();
  TFrmMain& f = *FrmMain;
  const int oldEdge = f.PanTop->Width() - 1;
  f.SetWindowState(wsMaximized);
  RunLoop(500);
  ASSERT_GT(f.PanTop->Width(), oldEdge + 10);
  ScreenPixels s(f.PanTop->Handle());
  const COLORREF face = ColorToRGB(f.PanTop->Color());
  int stale = 0;
  for (int y = 3; y < s.Height() - 3; ++y)
    for (int x = oldEdge - 1; x <= oldEdge; ++x)
      if (s.At(x, y) != face) ++stale;
  EXPECT_EQ(stale, 0) << "at x " << oldEdge << " of " << s.Width();
  gui::SaveScreenshot(f.PanTop->Handle(), gui::ScreenshotPath("top-panel-maximised.png"));
  f.SetWindowState(wsNormal);
}

// ---- the naming page's grid ----

TEST_F(UserInput, TheGridOfNamesAnswersClicksAndItsMenu) {
  Start();
  TFrmMain& f = *FrmMain;
  f.PageControl1->SetActivePageIndex(1);
  TStringGrid& grid = *f.sGridFull;
  grid.SetSize(3, 2);
  grid.SetCell(0, 0, U("四一"));
  grid.SetCell(1, 0, U("明"));
  grid.Show();
  grid.SetBounds(0, 0, 3 * grid.DefaultColWidth + 4, 2 * grid.DefaultRowHeight + 4);
  SetWindowPos(grid.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RunLoop(200);

  // A left click on a cell puts the surname and the cell's name on the side panel.
  gui::MouseClick(grid.Handle(), {grid.DefaultColWidth / 2, grid.DefaultRowHeight / 2});
  RunLoop(300);
  EXPECT_EQ(f.pickedName, U("李四一"));
  EXPECT_EQ(f.Stxt[0]->Text() + f.Stxt[2]->Text() + f.Stxt[3]->Text(), U("李四一"));
  // An empty cell picks nothing.
  gui::MouseClick(grid.Handle(), {grid.DefaultColWidth * 5 / 2, grid.DefaultRowHeight * 3 / 2});
  RunLoop(200);
  EXPECT_EQ(f.pickedName, U("李四一"));

  // The right click's menu: 复制姓名 puts the picked name on the clipboard.
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  bool menuSeen = false;
  modal::Driver d({[&] {
    HWND menu = OpenPopup();
    if (!menu) return false;
    menuSeen = true;
    INPUT in[4]{};
    for (INPUT& i : in) i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_DOWN;
    in[2].ki.wVk = in[3].ki.wVk = VK_RETURN;
    in[1].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof(INPUT));
    return true;
  }});
  gui::MouseClick(grid.Handle(), {grid.DefaultColWidth * 3 / 2, grid.DefaultRowHeight / 2}, true);
  for (int i = 0; i < 40 && (!menuSeen || OpenPopup()); ++i) RunLoop(50);
  RunLoop(200);
  EXPECT_TRUE(menuSeen);
  std::string copied;
  if (OpenClipboard(nullptr)) {
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
      copied = gbk::FromWide(static_cast<const wchar_t*>(GlobalLock(h)));
      GlobalUnlock(h);
    }
    CloseClipboard();
  }
  EXPECT_EQ(copied, U("李四一"));
  gui::SaveScreenshot(f.PageQiMing->Handle(), gui::ScreenshotPath("naming-grid.png"));
}

// At the size of a first start without settings (400 x 400) and at the size the program
// ships with, the list of names shows its score column and the page its commands.
TEST_F(UserInput, TheScoreColumnIsInSightAtTheDefaultSize) {
  FrmMain = new TFrmMain(&app, bin);
  AppDir = temp.Dir();
  FrmMain->Show();
  RunLoop(300);
  TFrmMain& f = *FrmMain;
  f.PageControl1->SetActivePageIndex(1);
  for (SIZE size : {SIZE{400, 400}, SIZE{760, 520}}) {
    SCOPED_TRACE(size.cx);
    f.SetClientSize(size.cx, size.cy);
    RunLoop(300);
    HWND list = f.LstName->Handle();
    RECT shown;
    GetClientRect(list, &shown);
    EXPECT_GT(shown.bottom, 60) << "the list has no room";
    RECT page, button;
    GetWindowRect(f.PageQiMing->Handle(), &page);
    GetWindowRect(f.BtoInput2->Handle(), &button);
    EXPECT_LE(button.right, page.right) << "输入生日 lies off the page; memo " << f.MeoFormula->Width() << " page "
                                        << f.PageQiMing->ClientWidth() << " cmd " << f.PanCmd->Left();
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT col{};
    ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&col)));
    RECT client;
    GetClientRect(list, &client);
    EXPECT_GT(col.right - col.left, 30);
    EXPECT_LE(col.right, client.right) << "得分 lies beyond the list's right edge";
    gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("naming-" + std::to_string(size.cx) + ".png"));
  }
}

// ---- words ----

TEST_F(UserInput, TheWordsNameTheProgramAsItIs) {
  Start();
  EXPECT_EQ(FrmMain->PageDict->Caption(), U("姓名学字典"));
  TFrmTxtHelp help(&app);
  const std::string usage = help.MeoUsage->Text();
  struct Row {
    const char* words;
    bool present;
  } rows[] = {{"“测名”", true},      {"“辅助工具”菜单", true},      {"“选项”菜单", true},  {"“解”", true},
              {"再点“分析”", false}, {"双击可以送到分析页", false}, {"“工具”菜单", false}, {"“设置”菜单", false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.words);
    EXPECT_EQ(usage.find(U(r.words)) != std::string::npos, r.present);
  }
}

// ---- the tool windows ----

bool DropDownList(TComboBox* c) { return (GetWindowLongW(c->Handle(), GWL_STYLE) & 3) == CBS_DROPDOWNLIST; }

TEST_F(UserInput, TheCalendarsListsAndTextsFitTheirPlaces) {
  ShowPerpetualCalendar();
  ASSERT_NE(FrmWnl, nullptr);
  TFrmWnl& w = *FrmWnl;
  w.ShowDate({2026, 12, 9, 10, 52});  // a lunar month of three characters: 十一月初…
  RunLoop(300);
  for (TComboBox* c : {w.CboM, w.CboD, w.CboH, w.CboMinute}) EXPECT_TRUE(DropDownList(c));
  // The side memos break their lines only where the text has a blank or a line end.
  for (TMemo* m : {w.MeoTitle, w.MeoJie, w.MeoGanZhi}) {
    std::wstring text = gbk::ToWide(gui::Text(m->Handle()));
    int lines = static_cast<int>(SendMessageW(m->Handle(), EM_GETLINECOUNT, 0, 0));
    for (int i = 1; i < lines; ++i) {
      auto at = static_cast<size_t>(SendMessageW(m->Handle(), EM_LINEINDEX, i, 0));
      if (at == 0 || at >= text.size()) continue;
      EXPECT_TRUE(text[at - 1] == L' ' || text[at - 1] == L'\n')
          << gbk::ToUtf8(gbk::FromWide(text.substr(0, at))) << " | " << gbk::ToUtf8(gbk::FromWide(text.substr(at)));
    }
  }
  gui::SaveScreenshot(w.Handle(), gui::ScreenshotPath("tools-wnl-2026-12.png"));
  w.Close();
  RunLoop(100);
}

TEST_F(UserInput, ThePhoneNumberPickerShowsItsPositionsAndRows) {
  TFrmPickNumber f(&app);
  int rowHeight = 0, expected = 0, fourthLeft = 0, firstLeft = 0, fifthTop = 0, firstTop = 0;
  bool blue = false, red = false;
  f.RunChoice = [&](TFrmChoiceNum& dlg) {
    modal::Driver d({[&] {
      if (!IsWindowVisible(dlg.Handle())) return false;
      RECT r0, r4;
      SendMessageW(dlg.ChkNum->Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
      SendMessageW(dlg.ChkNum->Handle(), LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&r4));
      firstLeft = r0.left;
      firstTop = r0.top;
      fourthLeft = r4.left;
      fifthTop = r4.top;
      gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("tools-choicenum.png"));
      gui::PressKey(dlg.ChkNum->Handle(), VK_ESCAPE);
      return true;
    }});
    return dlg.ShowModal();
  };
  modal::Driver d({[&] {
                     if (!IsWindowVisible(f.Handle())) return false;
                     for (TComboBox* c : f.Cbo) EXPECT_TRUE(DropDownList(c));
                     blue = ShowsHue(f.Cbo[3]->Handle(), 2);
                     red = ShowsHue(f.Cbo[7]->Handle(), 0);
                     gui::Click(f.BitBtn1->Handle());
                     return true;
                   },
                   [&] {
                     HDC dc = GetDC(nullptr);
                     expected = 3 * f.LstNumber->Font().Size * GetDeviceCaps(dc, LOGPIXELSY) / 72 / 2;
                     ReleaseDC(nullptr, dc);
                     rowHeight = static_cast<int>(SendMessageW(f.LstNumber->Handle(), LB_GETITEMHEIGHT, 0, 0));
                     gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("tools-picknumber.png"));
                     // "选择" on position 8 opens the digit chooser.
                     SendMessageW(f.Cbo[7]->Handle(), CB_SETCURSEL, 1, 0);
                     SendMessageW(f.GroupBox1->Handle(), WM_COMMAND,
                                  MAKEWPARAM(GetDlgCtrlID(f.Cbo[7]->Handle()), CBN_SELCHANGE),
                                  reinterpret_cast<LPARAM>(f.Cbo[7]->Handle()));
                     return true;
                   },
                   [&] {
                     f.Close();
                     return true;
                   }});
  f.ShowModal();
  EXPECT_TRUE(blue) << "positions 4 to 7 are not blue";
  EXPECT_TRUE(red) << "positions 8 to 11 are not red";
  EXPECT_EQ(rowHeight, expected);
  EXPECT_GT(fourthLeft, firstLeft) << "the digits stand in one column";
  EXPECT_EQ(fifthTop, firstTop);
}

TEST_F(UserInput, TheGuessingGameDrawsItsGridLarge) {
  TFrmTestName f(&app);
  LOGFONTW lf{};
  modal::Driver d({[&] {
    if (!IsWindowVisible(f.Handle())) return false;
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.GridName->Handle(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
    gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("tools-testname.png"));
    gui::PressKey(f.Btnok->Handle(), VK_ESCAPE);  // Esc closes it
    return true;
  }});
  f.ShowModal();
  EXPECT_EQ(lf.lfHeight, -24);
}

TEST_F(UserInput, DisabledNamingConditionsLookDisabled) {
  NamingConditions c{};
  ::SetText(c.surname, U("李"));
  c.givenLength = 2;
  c.sex = 1;
  c.formula = 0;  // 最佳: the number classes and the first character are not the user's to set
  TFrmSetName f(&app);
  f.conditions = &c;
  bool greyList = false, greyEdit = false, enabledList = true;
  modal::Driver d({[&] {
    if (!IsWindowVisible(f.Handle())) return false;
    RunLoop(200);
    enabledList = IsWindowEnabled(f.ChkNumber->Handle());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    greyList = Inside(f.ChkNumber->Handle()) == face && PixelAt(f.ChkNumber->Handle(), {60, 8}) == face;
    greyEdit = Inside(f.EdtOneWord->Handle()) == face;
    gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("setname-disabled.png"));
    PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
    return true;
  }});
  f.ShowModal();
  EXPECT_FALSE(enabledList);
  EXPECT_TRUE(greyList) << "the disabled list looks like an enabled one";
  EXPECT_TRUE(greyEdit) << "the disabled edit looks like an enabled one";
}

// Each ten-god score of an analysed chart, and its caption, fits its box.
TEST_F(UserInput, TenGodScoresShowWhole) {
  Start();
  FrmMain->LedtName->SetText(U("李四一"));
  FrmMain->BtnPaiClick(nullptr);
  ASSERT_TRUE(FrmMain->chartValid);
  TFrmSetYong f(&app);
  FrmMain->analyser->GetDayMaster(f.favourable);
  std::vector<std::string> clipped;
  auto fits = [&](HWND h, int margins) {
    std::wstring text = gbk::ToWide(gui::Text(h));
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(h, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    RECT r;
    GetClientRect(h, &r);
    if (size.cx > r.right - margins) clipped.push_back(gbk::ToUtf8(gui::Text(h)));
  };
  modal::Driver d({[&] {
    if (!IsWindowVisible(f.Handle())) return false;
    for (TLabeledEdit* e : f.Ledt) {
      fits(e->Handle(), 4);  // an edit keeps a margin each side
      fits(e->EditLabel()->Handle(), 0);
    }
    gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("setyong.png"));
    PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
    return true;
  }});
  f.ShowModal();
  EXPECT_TRUE(clipped.empty()) << (clipped.empty() ? "" : clipped.front()) << " and " << clipped.size() - 1 << " more";
}

}  // namespace
