// The main window's menus driven through their real menu handles: the bar's layout,
// every tool command opening its window, the calendar kept to one window, the report
// views' popup commands (save and reload as RTF and text, the font of a selection,
// printing cancelled) and the report look of 命稿设置.
#include <gtest/gtest.h>
#include <windows.h>
// after <windows.h>
#include <dlgs.h>

#include <functional>
#include <vector>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "support/Gui.h"
#include "support/ProgramCopy.h"
#include "tools/Untwnl.h"
#include "ui/ModalDriver.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

std::string MenuText(HMENU menu, int pos) {
  wchar_t buf[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(pos), buf, 128, MF_BYPOSITION);
  return gbk::FromWide(buf);
}

std::vector<std::string> Captions(HMENU menu) {
  std::vector<std::string> out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    // Not GetMenuState: for a submenu its high byte is the item count, which can look like MF_SEPARATOR.
    MENUITEMINFOW mi{sizeof mi, MIIM_FTYPE};
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi);
    out.push_back(mi.fType & MFT_SEPARATOR ? "-" : MenuText(menu, i));
  }
  return out;
}

std::vector<std::string> Gbk(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* s : utf8) out.push_back(U(s));
  return out;
}

// The menu holding the item at the end of a path of captions, and the item's position.
struct MenuPlace {
  HMENU menu = nullptr;
  int pos = -1;
};

MenuPlace Find(HMENU menu, std::initializer_list<const char*> path) {
  MenuPlace place;
  for (const char* caption : path) {
    if (place.pos >= 0) menu = GetSubMenu(place.menu, place.pos);
    place = {menu, -1};
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i)
      if (MenuText(menu, i) == U(caption)) place.pos = i;
    if (place.pos < 0) return {};
  }
  return place;
}

// A command chosen from a menu, handled before this returns.
void Choose(HWND window, MenuPlace place) {
  ASSERT_GE(place.pos, 0) << "no such menu item";
  SendMessageW(window, WM_MENUCOMMAND, static_cast<WPARAM>(place.pos), reinterpret_cast<LPARAM>(place.menu));
}

HWND WaitDialog(const std::string& caption, int ms) {
  return gui::WaitTopWindow(GetCurrentProcessId(), "#32770", caption, ms);
}

// A file dialog: the wanted filter and name typed in, then 保存/打开.
std::function<bool()> FileDialog(const std::string& path, int filterIndex) {
  return [path, filterIndex] {
    HWND dlg = WaitDialog("", 50);
    if (!dlg || !GetDlgItem(dlg, cmb1)) return false;
    HWND filter = GetDlgItem(dlg, cmb1);
    SendMessageW(filter, CB_SETCURSEL, static_cast<WPARAM>(filterIndex - 1), 0);
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
      SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(filter));
    HWND name = GetDlgItem(dlg, edt1) ? GetDlgItem(dlg, edt1) : GetDlgItem(dlg, cmb13);
    gui::SetText(name, path);
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    return true;
  };
}

// The font dialog: what it started from, then a new size confirmed.
std::function<bool()> FontDialog(std::string& startFace, std::string& startSize, const std::string& newSize) {
  return [&startFace, &startSize, newSize] {
    HWND dlg = WaitDialog("", 50);
    if (!dlg || !GetDlgItem(dlg, cmb3)) return false;
    startFace = gui::Text(GetDlgItem(dlg, cmb1));
    startSize = gui::Text(GetDlgItem(dlg, cmb3));
    HWND sizes = GetDlgItem(dlg, cmb3);
    const std::wstring wanted = gbk::ToWide(newSize);
    LRESULT i =
        SendMessageW(sizes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wanted.c_str()));
    SendMessageW(sizes, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    return true;
  };
}

std::string Read(const std::string& path) {
  std::string data;
  file::ReadAll(path, data);
  return data;
}

class MainMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Title = "Riveri 3.5";
    frm = new TFrmMain(Application, temp.Dir());  // settings, cases and files stay in the test's folder
    frm->Show();
    gui::Pump(100);
    bar = GetMenu(frm->Handle());
  }
  void TearDown() override {
    frm->Close();
    delete frm;
  }

  // Runs the command with its dialogs and message boxes answered by `steps`.
  // A dialog still up after 20 s is cancelled, so a failing step cannot hang the run.
  void Run(std::vector<std::function<bool()>> steps, HWND window, MenuPlace place) {
    modal::Driver d(std::move(steps));
    TTimer watchdog(nullptr);
    watchdog.SetInterval(20000);
    watchdog.OnTimer = [](TObject*) {
      if (HWND dlg = WaitDialog("", 0)) {
        ADD_FAILURE() << "dialog left open: " << gbk::ToUtf8(gui::Text(dlg));
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
      }
    };
    Choose(window, place);
  }
  MenuPlace Popup(TPopupMenu* menu, const char* caption) { return Find(menu->Handle(), {caption}); }
  HWND View() { return frm->RedtName->Handle(); }

  // A short report with one red bold heading.
  void WriteReport() {
    TRichEdit& v = *frm->RedtName;
    v.SetText(U("姓名评论：\r\n李四一 ABC\r\n第三行"));
    v.SetSelStart(0);
    v.SetSelLength(10);
    TFont f = v.SelAttributes().Get();
    f.Color = clRed;
    f.Bold = true;
    v.SelAttributes().Set(f);
    v.SetSelStart(0);
  }

  TApplication app;
  ProgramCopy temp;
  TFrmMain* frm = nullptr;
  HMENU bar = nullptr;
  std::string box;
};

TEST_F(MainMenus, BarAndPopupsHoldTheirCommandsInOrder) {
  EXPECT_EQ(Captions(bar), Gbk({"文件(&F)", "辅助工具(&T)", "选项(&O)", "帮助(&H)", "姓名学知识(&S)"}));
  struct Row {
    std::initializer_list<const char*> path;
    std::vector<std::string> items;
  };
  const Row rows[] = {
      {{"文件(&F)"}, Gbk({"新建命例", "保存新命", "-", "导入历史记录", "导出历史记录", "清除历史记录", "-", "退出"})},
      {{"辅助工具(&T)"}, Gbk({"巧猜姓氏", "百家姓查询", "编辑起名字库", "经纬度设置", "万年历", "挑选手机号"})},
      {{"选项(&O)"}, Gbk({"命稿设置", "命稿结尾信息", "软件设置", "界面风格"})},
      {{"选项(&O)", "命稿设置"}, Gbk({"默认", "字体设置", "背景色设置"})},
      {{"帮助(&H)"}, Gbk({"软件帮助"})},
      {{"姓名学知识(&S)"}, Gbk({"相关知识"})},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(*r.path.begin());
    MenuPlace p = Find(bar, r.path);
    ASSERT_GE(p.pos, 0);
    EXPECT_EQ(Captions(GetSubMenu(p.menu, p.pos)), r.items);
  }
  const std::vector<std::string> popup = Gbk({"撤销", "-", "复制", "粘帖", "剪切", "删除", "全选", "-", "设置选中文本",
                                              "-", "导入姓名命稿", "另存为", "打印"});
  EXPECT_EQ(Captions(frm->PopName->Handle()), popup);
  EXPECT_EQ(Captions(frm->PopName2->Handle()), popup);
  EXPECT_EQ(frm->RedtName->PopupMenu, frm->PopName);
  EXPECT_EQ(frm->RedtName2->PopupMenu, frm->PopName2);
  EXPECT_EQ(frm->Opt_Skin->Count(), 0) << "the skin menu fills it";

  // A right click opens the view's own menu; the screenshot shows it over the report.
  WriteReport();
  static HWND shown;
  shown = frm->Handle();
  SetTimer(nullptr, 0, 600, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    gui::SaveScreenshot(shown, gui::ScreenshotPath("main-menu-popup.png"));
    EndMenu();
  });
  RECT r;
  GetWindowRect(View(), &r);
  SendMessageW(View(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(View()), MAKELPARAM(r.left + 30, r.top + 30));
}

TEST_F(MainMenus, EachCommandOpensItsWindowAndTheCalendarStaysOne) {
  struct Row {
    std::initializer_list<const char*> path;
    const char* cls;
    const char* caption;
  };
  const Row rows[] = {
      {{"辅助工具(&T)", "巧猜姓氏"}, "TFrmTestName", "巧猜姓氏"},
      {{"辅助工具(&T)", "百家姓查询"}, "TFrmBjx", "百家姓查询"},
      {{"辅助工具(&T)", "编辑起名字库"}, "TFrmEditDict", "编辑字库"},
      {{"辅助工具(&T)", "经纬度设置"}, "TFrmDiLi", "经纬度修改"},
      {{"辅助工具(&T)", "挑选手机号"}, "TFrmPickNumber", "吉利手机号码"},
      {{"选项(&O)", "命稿结尾信息"}, "TFrmEndfo", "编辑尾部信息"},
      {{"选项(&O)", "软件设置"}, "TFrmSet", "设置"},
      {{"帮助(&H)", "软件帮助"}, "TFrmTxtHelp", "软件帮助"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.caption);
    bool seen = false;
    Run({[&] {
          HWND w = gui::WaitTopWindow(GetCurrentProcessId(), r.cls, U(r.caption), 50);
          if (!w) return false;
          seen = true;
          gui::SaveScreenshot(w, gui::ScreenshotPath(std::string("menu-") + r.cls + ".png"));
          PostMessageW(w, WM_CLOSE, 0, 0);
          return true;
        }},
        frm->Handle(), Find(bar, r.path));
    EXPECT_TRUE(seen);
  }

  const MenuPlace wnl = Find(bar, {"辅助工具(&T)", "万年历"});
  Choose(frm->Handle(), wnl);
  TFrmWnl* first = FrmWnl;
  ASSERT_NE(first, nullptr);
  Choose(frm->Handle(), wnl);
  EXPECT_EQ(FrmWnl, first) << "a second command reuses the open window";
  EXPECT_TRUE(IsWindowVisible(first->Handle()));
  PostMessageW(first->Handle(), WM_CLOSE, 0, 0);
  gui::Pump(200);
  EXPECT_EQ(FrmWnl, nullptr) << "closing forgets the window";
  Choose(frm->Handle(), wnl);
  ASSERT_NE(FrmWnl, nullptr);
  delete FrmWnl;
  FrmWnl = nullptr;
}

TEST_F(MainMenus, MissingHelpFileSaysSo) {
  Run({modal::Answer(U("重试"), IDOK, box)}, frm->Handle(), Find(bar, {"姓名学知识(&S)", "相关知识"}));
  EXPECT_EQ(box, U("请重试一次"));
}

TEST_F(MainMenus, ReportSavedAsRtfAndTextAndLoadedBack) {
  WriteReport();
  const std::string text = frm->RedtName->Text();
  const std::string rtfPath = temp.Path("report.rtf"), txtPath = temp.Path("plain.txt");
  const MenuPlace save = Popup(frm->PopName, "另存为"), import = Popup(frm->PopName, "导入姓名命稿");

  // Typed without an extension: the format's is added.
  Run({FileDialog(temp.Path("report"), 1), modal::Answer("Riveri 3.5", IDOK, box)}, View(), save);
  EXPECT_EQ(box, U("已保存！"));
  const std::string rtf = Read(rtfPath);
  EXPECT_EQ(rtf.compare(0, 5, "{\\rtf"), 0) << rtf.substr(0, 20);

  // Typed with its extension: kept as it is, written as plain GBK text with CRLF.
  Run({FileDialog(txtPath, 2), modal::Answer("Riveri 3.5", IDOK, box)}, View(), save);
  EXPECT_FALSE(file::Exists(txtPath + ".txt"));
  EXPECT_EQ(Read(txtPath), text);
  EXPECT_FALSE(frm->RedtName->PlainText) << "the view is rich text again";
  frm->RedtName->SetSelStart(0);
  frm->RedtName->SetSelLength(2);
  EXPECT_EQ(frm->RedtName->SelAttributes().Get().Color, clRed) << "saving kept the formatting";

  // Loading replaces the view's text: the RTF with its colours, the text file as lines.
  frm->RedtName->SetText("x");
  Run({FileDialog(rtfPath, 1)}, View(), import);
  EXPECT_EQ(frm->RedtName->Text(), text);
  frm->RedtName->SetSelStart(0);
  frm->RedtName->SetSelLength(2);
  EXPECT_EQ(frm->RedtName->SelAttributes().Get().Color, clRed);
  Run({FileDialog(txtPath, 2)}, View(), import);
  EXPECT_EQ(frm->RedtName->Text(), text);
  frm->RedtName->SetSelStart(0);
  frm->RedtName->SetSelLength(2);
  EXPECT_EQ(frm->RedtName->SelAttributes().Get().Color, clBlack) << "plain text comes in black";
  // A file another program holds locked cannot be read: said, with the file's name, and
  // the view keeps its text.
  {
    HANDLE lock = CreateFileW(gbk::ToWide(rtfPath).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Run({FileDialog(rtfPath, 1), modal::Answer(U("重试一次"), IDOK, box)}, View(), import);
    CloseHandle(lock);
    EXPECT_EQ(box.rfind(U("导入文件出错,请重试一次\r\n"), 0), 0u) << gbk::ToUtf8(box);
    EXPECT_NE(box.find(rtfPath), std::string::npos) << gbk::ToUtf8(box);
    EXPECT_EQ(frm->RedtName->Text(), text);
  }
  Run({FileDialog(rtfPath, 1)}, View(), import);
  gui::Pump(300);
  gui::SaveScreenshot(frm->Handle(), gui::ScreenshotPath("report-view-imported.png"));
}

TEST_F(MainMenus, CompletedNameThatExistsIsAskedAboutAndAFailedSaveSaysSo) {
  WriteReport();
  const MenuPlace save = Popup(frm->PopName, "另存为");
  ASSERT_TRUE(file::WriteAtomic(temp.Path("taken.rtf"), "old"));
  std::string question;
  Run({FileDialog(temp.Path("taken"), 1), modal::Answer(U("另存为"), IDNO, question)}, View(), save);
  EXPECT_NE(question.find(U("要替换它吗")), std::string::npos) << gbk::ToUtf8(question);
  EXPECT_EQ(Read(temp.Path("taken.rtf")), "old");
  Run({FileDialog(temp.Path("taken"), 1), modal::Answer(U("另存为"), IDYES, question),
       modal::Answer("Riveri 3.5", IDOK, box)},
      View(), save);
  EXPECT_EQ(Read(temp.Path("taken.rtf")).compare(0, 5, "{\\rtf"), 0);

  // A folder stands where the completed name would go.
  ASSERT_TRUE(file::CreateDir(temp.Path("folder.rtf")));
  Run({FileDialog(temp.Path("folder"), 1), modal::Answer(U("重试一次"), IDOK, box)}, View(), save);
  EXPECT_EQ(box.rfind(U("保存文件出错,请重试一次\r\n"), 0), 0u) << gbk::ToUtf8(box);
  EXPECT_NE(box.find(temp.Path("folder.rtf")), std::string::npos) << gbk::ToUtf8(box);
  EXPECT_TRUE(file::DirExists(temp.Path("folder.rtf")));
}

TEST_F(MainMenus, EditingCommandsActOnTheirOwnView) {
  TRichEdit& v = *frm->RedtName2;
  frm->RedtName->SetText("x");
  v.SetText(U("甲乙丙"));
  struct Row {
    int selStart, selLength;
    const char* command;
    const char* text;  // the view's text after the command
  };
  const Row rows[] = {
      {2, 2, "复制", "甲乙丙"}, {2, 2, "删除", "甲丙"},   {0, 0, "撤销", "甲乙丙"},
      {0, 2, "剪切", "乙丙"},   {4, 0, "粘帖", "乙丙甲"}, {0, 0, "全选", "乙丙甲"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.command);
    v.SetSelStart(r.selStart);
    v.SetSelLength(r.selLength);
    Choose(v.Handle(), Popup(frm->PopName2, r.command));
    EXPECT_EQ(v.Text(), U(r.text));
  }
  EXPECT_EQ(v.SelLength(), 6) << "全选 selects the whole text";
  EXPECT_EQ(frm->RedtName->Text(), "x");
}

TEST_F(MainMenus, FontOfTheSelectionChangesOnlyTheSelection) {
  TRichEdit& v = *frm->RedtName2;
  frm->PageControl1->SetActivePageIndex(1);
  v.SetText(U("甲乙丙丁"));
  v.SetSelStart(0);
  v.SetSelLength(8);
  TFont f = v.SelAttributes().Get();
  f.Size = 16;
  v.SelAttributes().Set(f);

  // Nothing selected: no dialog.
  v.SetSelStart(2);
  bool dialog = false;
  Run({[&] {
        if (HWND d = WaitDialog("", 0)) {
          dialog = true;
          PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
        }
        return true;
      }},
      v.Handle(), Popup(frm->PopName2, "设置选中文本"));
  gui::Pump(300);
  EXPECT_FALSE(dialog);

  v.SetSelStart(2);
  v.SetSelLength(4);
  std::string face, size;
  Run({FontDialog(face, size, "20")}, v.Handle(), Popup(frm->PopName2, "设置选中文本"));
  EXPECT_EQ(size, "16") << "the dialog starts from the selection";
  EXPECT_EQ(v.SelAttributes().Get().Size, 20);
  v.SetSelStart(0);
  v.SetSelLength(2);
  EXPECT_EQ(v.SelAttributes().Get().Size, 16);
  v.SetSelStart(6);
  v.SetSelLength(2);
  EXPECT_EQ(v.SelAttributes().Get().Size, 16);
}

TEST_F(MainMenus, PrintAsksFirstAndCancelsCleanly) {
  WriteReport();
  const std::string before = frm->RedtName->Text();
  std::string question;
  bool printDialog = false;
  Run({modal::Answer(U("打印"), IDNO, question)}, View(), Popup(frm->PopName, "打印"));
  EXPECT_EQ(question, U("准备开始打印吗?"));
  Run({modal::Answer(U("打印"), IDYES, question),
       [&] {
         HWND d = WaitDialog("", 50);
         if (!d) return false;
         printDialog = true;
         gui::SaveScreenshot(d, gui::ScreenshotPath("print-dialog.png"));
         PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
         return true;
       }},
      View(), Popup(frm->PopName, "打印"));
  EXPECT_TRUE(printDialog);
  EXPECT_EQ(WaitDialog(U("打印错误"), 300), nullptr);
  EXPECT_EQ(frm->RedtName->Text(), before);
}

TEST_F(MainMenus, ReportLookSetsBothViews) {
  for (TRichEdit* v : {frm->RedtName, frm->RedtName2}) {
    TFont f = v->Font();
    f.Name = "Arial";
    f.Size = 9;
    v->SetFont(f);
    v->SetColor(0x123456);
  }
  Run({modal::Answer("Riveri 3.5", IDOK, box)}, frm->Handle(), Find(bar, {"选项(&O)", "命稿设置", "默认"}));
  EXPECT_EQ(box, U("设置完成"));
  for (TRichEdit* v : {frm->RedtName, frm->RedtName2}) {
    EXPECT_EQ(v->Font().Name, U("宋体"));
    EXPECT_EQ(v->Font().Size, 12) << "not the settings file's 10";
    EXPECT_EQ(v->Color(), clWhite);
    // The control paints white once its page is on show: setting a colour answers the
    // one it had.
    frm->PageControl1->SetActivePageIndex(v == frm->RedtName ? 0 : 1);
    EXPECT_EQ(static_cast<COLORREF>(v->Perform(EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255))), RGB(255, 255, 255));
  }

  std::string face, size;
  Run({FontDialog(face, size, "14"), modal::Answer("Riveri 3.5", IDOK, box)}, frm->Handle(),
      Find(bar, {"选项(&O)", "命稿设置", "字体设置"}));
  EXPECT_EQ(size, "12");
  for (TRichEdit* v : {frm->RedtName, frm->RedtName2}) {
    EXPECT_EQ(v->Font().Name, U("宋体"));
    EXPECT_EQ(v->Font().Size, 14);
  }
  // The colour dialog starts from the analysis view's colour (white); a pale yellow is typed in.
  std::string startRed;
  Run({[&] {
         HWND dlg = WaitDialog("", 50);
         const int red = 706, green = 707, blue = 708;
         if (!dlg || !GetDlgItem(dlg, red)) return false;
         startRed = gui::Text(GetDlgItem(dlg, red));
         for (int id : {red, green, blue}) gui::SetText(GetDlgItem(dlg, id), id == blue ? "200" : "255");
         PostMessageW(dlg, WM_COMMAND, IDOK, 0);
         return true;
       },
       modal::Answer("Riveri 3.5", IDOK, box)},
      frm->Handle(), Find(bar, {"选项(&O)", "命稿设置", "背景色设置"}));
  EXPECT_EQ(startRed, "255");
  for (TRichEdit* v : {frm->RedtName, frm->RedtName2}) EXPECT_EQ(ColorToRGB(v->Color()), RGB(255, 255, 200));

  frm->RedtName->SetText(U("新的命稿"));
  gui::Pump(100);
  gui::SaveScreenshot(frm->Handle(), gui::ScreenshotPath("report-view-look.png"));
}

}  // namespace
