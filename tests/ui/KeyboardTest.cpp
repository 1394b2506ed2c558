// What the keyboard and the program's own writing do to a user's work, driven by real
// input (SendInput through the program's message loop): a report the program writes
// is no edit of the user's, every window has the keyboard when it opens, Esc closes
// what a user expects it to close, and report files the rich edit cannot take are
// shown as a parse of them writes them anew, or refused with a message, while the program
// lives on.
#include <windows.h>
// after <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/InputBox.h"
#include "classlib/StrUtils.h"
#include "dictionary/Editdict.h"
#include "support/Gui.h"
#include "support/ProgramLoop.h"
#include "support/ShippedFolder.h"
#include "support/TempFolder.h"
#include "tools/Ubjx.h"
#include "tools/Udili.h"
#include "tools/Untwnl.h"
#include "tools/Upicknumber.h"
#include "tools/Utestname.h"
#include "tools/Utxthelp.h"
#include "ui/ModalDriver.h"
#include "ui/Uinput.h"
#include "ui/Untmain.h"
#include "ui/Untpianpang.h"

namespace {

using gbk::U;
using gui::RunLoop;

// Real key presses into whatever has the keyboard now: nothing is focused first.
void Keys(std::initializer_list<WORD> keys) {
  for (WORD vk : keys) gui::KeyToFocus(vk);
}

// Real presses of the letters a to z, unshifted, into whatever has the keyboard.
void Type(const char* letters) {
  for (const char* c = letters; *c; ++c) gui::KeyToFocus(static_cast<WORD>('A' + (*c - 'a')));
}

// Every message box of this process, answered: the save offer and the question to
// change the record by `yes`, notices by OK; each box's text is kept.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(bool yesToSave) : yes_(yesToSave), timer_(nullptr) {
    timer_.SetInterval(50);
    timer_.OnTimer = [this](TObject*) {
      HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0);
      if (!box || !IsWindowVisible(box)) return;
      std::string text = modal::MessageText(box);
      texts.push_back(gbk::ToUtf8(text));
      const bool offer = text.find(U("要保存吗")) != std::string::npos;
      const bool question = offer || text.find(U("要修改")) != std::string::npos;
      PostMessageW(box, WM_COMMAND, question ? (yes_ ? IDYES : IDNO) : IDOK, 0);
    };
  }
  int Count(const char* utf8) const {
    int n = 0;
    for (const std::string& t : texts) n += t.find(utf8) != std::string::npos;
    return n;
  }
  std::vector<std::string> texts;

 private:
  bool yes_;
  TTimer timer_;
};

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    app.Title = "Riveri 3.5";
    bin = ShippedFolder();
    AppDir = bin;
    ASSERT_TRUE(file::ForceDirectories(temp.Path("dat")));
    ASSERT_TRUE(file::ForceDirectories(temp.Path("bazi_f")));
  }
  void TearDown() override {
    delete FrmMain;
    FrmMain = nullptr;
    AppDir = bin;
    gui::ParkMouse();
  }

  // The main window, its cases and settings in the test's own folder.
  TFrmMain& Start() {
    FrmMain = new TFrmMain(&app, bin);
    AppDir = temp.Dir();
    FrmMain->Show();
    FrmMain->SetClientSize(900, 620);
    RunLoop(300);
    return *FrmMain;
  }

  // One stored case whose report is the analysis's, shown in the tree and selected.
  int32_t StoreCase(const char* name) {
    TFrmMain& f = *FrmMain;
    f.LedtName->SetText(U(name));
    f.BtnPaiClick(nullptr);
    EXPECT_TRUE(f.chartValid);
    CaseRecord r = f.heldCase;
    ::SetText(r.category, U("朋友"));
    int32_t id = CaseDb.Add(r);
    EXPECT_GE(id, 0);
    EXPECT_TRUE(f.RedtName->SaveToFile(CaseReportPath(AppDir, id)));
    BuildCaseTree(*f.cases, {id});
    f.Tree->SetSelected(FindCaseNode(*f.Tree, id));
    RunLoop(100);
    return id;
  }

  void ClickPai() {
    HWND b = FrmMain->BtnPai->Handle();
    RECT r;
    GetClientRect(b, &r);
    gui::MouseClick(b, {r.right / 2, r.bottom / 2});
    RunLoop(600);
  }

  // A click of the mouse on the control's centre.
  static void Press(TControl* c) {
    RECT r;
    GetClientRect(c->Handle(), &r);
    gui::MouseClick(c->Handle(), {r.right / 2, r.bottom / 2});
  }

  std::string Stored(int32_t id) {
    std::string data;
    file::ReadAll(CaseReportPath(AppDir, id), data);
    return data;
  }

  TApplication app;
  TempFolder temp;
  std::string bin;
};

// ---- a report the program writes is no edit of the user's ----

TEST_F(Keyboard, RegeneratedReportsAreNoEditOfTheUsers) {
  TFrmMain& f = Start();
  int32_t id = StoreCase("李四一");
  f.pop_ming_paiClick(nullptr);
  ASSERT_EQ(CurCaseLoaded, 1);
  const std::string stored = Stored(id);

  BoxAnswerer boxes(true);
  ClickPai();
  ClickPai();
  EXPECT_FALSE(f.RedtName->Modified()) << "after 测名";
  // 设定用神, answered by Enter with the keyboard where the dialog put it.
  modal::Driver d({[&] {
    HWND dlg = gui::WaitTopWindow(GetCurrentProcessId(), "", U("设定用神"), 0);
    if (!dlg || !IsWindowVisible(dlg)) return false;
    Keys({VK_RETURN});
    return true;
  }});
  f.SbtoSetClick(nullptr);
  RunLoop(300);
  EXPECT_FALSE(f.RedtName->Modified()) << "after 设定";
  f.mnuF_NewClick(nullptr);
  RunLoop(200);
  EXPECT_EQ(boxes.Count("要保存吗"), 0) << (boxes.texts.empty() ? "" : boxes.texts.front());
  EXPECT_EQ(Stored(id), stored) << "the stored report was overwritten";
}

TEST_F(Keyboard, TypedTextIsStoredAndKeptThroughANewCase) {
  TFrmMain& f = Start();
  int32_t id = StoreCase("张三");
  f.pop_ming_paiClick(nullptr);
  ASSERT_EQ(CurCaseLoaded, 1);
  gui::Focus(f.RedtName->Handle());
  Keys({VK_END});
  SendMessageW(f.RedtName->Handle(), EM_SETSEL, -1, -1);
  Type("zqxwv");
  RunLoop(200);
  ASSERT_TRUE(f.RedtName->Modified());

  BoxAnswerer boxes(true);
  ClickPai();
  EXPECT_EQ(boxes.Count("要保存吗"), 1);
  EXPECT_NE(Stored(id).find("zqxwv"), std::string::npos);
  EXPECT_FALSE(f.RedtName->Modified()) << "the analysis's own report counts as the user's";
  f.mnuF_NewClick(nullptr);
  RunLoop(200);
  EXPECT_EQ(boxes.Count("要保存吗"), 1) << "新建命例 asked again";
  EXPECT_NE(Stored(id).find("zqxwv"), std::string::npos);
}

// ---- every window has the keyboard when it opens ----

TEST_F(Keyboard, TheBirthDialogTakesTypingAtOnce) {
  BirthRecord birth{};
  birth.year = 1990;
  birth.month = 5;
  birth.day = 6;
  birth.provinceIndex = 34;
  std::string place = U("未知地。");
  TFrmInput dlg(&app, birth, place);
  std::string focused;
  modal::Driver d({[&] {
                     if (!IsWindowVisible(dlg.Handle())) return false;
                     focused = GetFocus() == dlg.EdtYear->Handle() ? "EdtYear" : "other";
                     Keys({'2', '0', '0', '1', VK_TAB, VK_DOWN});  // the year typed over, then the month
                     return true;
                   },
                   [&] {
                     Keys({VK_RETURN});
                     return true;
                   }});
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(focused, "EdtYear");
  EXPECT_EQ(birth.year, 2001);
  EXPECT_EQ(birth.month, 6);
}

TEST_F(Keyboard, TheInputBoxTakesTypingOverItsTextAndCtrlASelectsAll) {
  struct Row {
    const char* name;
    std::vector<WORD> keys;
    const char* typed;
    std::string expected;
  } rows[] = {{"typed over", {}, "ab", "ab"},
              {"Ctrl+A after End", {VK_END}, "", ""},
              {"typed after Ctrl+A", {VK_END, VK_LEFT}, "xy", "xy"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string value = U("新类别");
    modal::Driver d({[&] {
                       HWND h = gui::WaitTopWindow(GetCurrentProcessId(), "TInputQueryForm", "", 0);
                       if (!h || !IsWindowVisible(h)) return false;
                       for (WORD vk : row.keys) gui::KeyToFocus(vk);
                       if (!row.keys.empty()) gui::Chord(VK_CONTROL, 'A');
                       Type(row.typed);
                       return true;
                     },
                     [&] {
                       if (*row.typed == 0) gui::KeyToFocus(VK_DELETE);
                       Keys({VK_RETURN});
                       return true;
                     }});
    EXPECT_TRUE(InputQuery(U("新建类别"), U("请输入新建类别名："), value));
    EXPECT_EQ(value, row.expected);
  }
}

// ---- Esc ----

// Esc with the keyboard wherever the window put it closes each modal window that has
// no cancel button, and the dictionary editor through its 返回.
TEST_F(Keyboard, EscClosesWindowsWithoutACancelButton) {
  TFrmBjx bjx(&app);
  TFrmTxtHelp help(&app);
  TFrmPickNumber pick(&app);
  TFrmDiLi dili(&app, bin);
  TFrmEditDict edit(&app, WordLib);
  TFrmTestName guess(&app);
  struct Row {
    const char* name;
    TForm* form;
  } rows[] = {{"百家姓查询", &bjx},    {"软件帮助", &help},   {"软件帮助 from its text", &help},
              {"吉利手机号码", &pick}, {"经纬度修改", &dili}, {"编辑字库", &edit},
              {"巧猜姓氏", &guess}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    bool pressed = false;
    modal::Driver d({[&] {
      if (!IsWindowVisible(row.form->Handle())) return false;
      if (row.form == &help && std::string(row.name).find("text") != std::string::npos)
        SetFocus(help.MeoUsage->Handle());
      Keys({VK_ESCAPE});
      pressed = true;
      return true;
    }});
    TTimer watchdog(nullptr);
    watchdog.SetInterval(5000);
    watchdog.OnTimer = [&](TObject*) { row.form->ModalResult = mrAbort; };
    EXPECT_EQ(row.form->ShowModal(), mrCancel);
    EXPECT_TRUE(pressed);
  }
  EXPECT_TRUE(IsWindow(help.MeoUsage->Handle())) << "Esc in the text destroyed it";
}

// Typed coordinates not yet saved are not thrown away by Esc or the close box without
// a question.
TEST_F(Keyboard, EscAndTheCloseBoxAskBeforeDroppingTypedCoordinates) {
  TFrmDiLi dlg(&app, bin);
  std::string asked, askedByBox;
  bool openAfterNo = false, openAfterBoxNo = false;
  modal::Driver d({[&] {
                     if (!IsWindowVisible(dlg.Handle())) return false;
                     gui::Focus(dlg.LedtWeiFen->Handle());
                     Keys({VK_END, '1', VK_ESCAPE});
                     return true;
                   },
                   modal::Answer(U("注意了"), IDNO, asked),
                   [&] {
                     openAfterNo = IsWindowVisible(dlg.Handle());
                     PostMessageW(dlg.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
                     return true;
                   },
                   modal::Answer(U("注意了"), IDNO, askedByBox),
                   [&] {
                     openAfterBoxNo = IsWindowVisible(dlg.Handle());
                     Keys({VK_ESCAPE});
                     return true;
                   },
                   modal::Answer(U("注意了"), IDYES, asked)});
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_EQ(asked, U("经纬度的改动还没有保存，要放弃改动吗？"));
  EXPECT_EQ(askedByBox, asked);
  EXPECT_TRUE(openAfterNo);
  EXPECT_TRUE(openAfterBoxNo);
}

// The calendar, shown without blocking, closes by Esc, and stays above the main window
// when that is clicked.
TEST_F(Keyboard, TheCalendarStaysOnTopAndEscClosesIt) {
  TFrmMain& f = Start();
  ShowPerpetualCalendar();
  RunLoop(300);
  ASSERT_NE(FrmWnl, nullptr);
  HWND calendar = FrmWnl->Handle();
  Press(f.LedtName);
  RunLoop(200);
  bool above = false;
  for (HWND h = GetWindow(f.Handle(), GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) above |= h == calendar;
  EXPECT_TRUE(above) << "the calendar fell behind the main window";
  gui::Focus(FrmWnl->EdtYear->Handle());
  Keys({VK_ESCAPE});
  RunLoop(300);
  EXPECT_EQ(FrmWnl, nullptr) << "Esc left the calendar open";
  EXPECT_FALSE(IsWindow(calendar));
}

// ---- the keyboard never costs the user a case ----

bool Selects(HWND view) {
  CHARRANGE r{};
  SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  return r.cpMin != r.cpMax;
}

size_t Tabs(const std::string& s) { return static_cast<size_t>(std::count(s.begin(), s.end(), '\t')); }

// Tab and Shift+Tab pass through the report of a shown case without selecting or
// changing it; Ctrl+Tab types a tab into it.
TEST_F(Keyboard, TabPassesThroughTheReportAndCtrlTabTypesATab) {
  TFrmMain& f = Start();
  StoreCase("李四一");
  f.pop_ming_paiClick(nullptr);
  ASSERT_EQ(CurCaseLoaded, 1);
  const std::string report = f.RedtName->Text();
  HWND view = f.RedtName->Handle();
  Press(f.LedtName);  // 尊姓大名
  RunLoop(100);
  for (int i = 0; i < 30 && GetFocus() != view; ++i) {
    Keys({VK_TAB});
    RunLoop(30);
  }
  ASSERT_EQ(GetFocus(), view) << "Tab never reached the report";
  EXPECT_FALSE(Selects(view)) << "entered by Tab, the report was selected whole";
  Keys({VK_TAB});
  RunLoop(50);
  EXPECT_NE(GetFocus(), view) << "Tab stayed in the report";
  gui::Chord(VK_SHIFT, VK_TAB);
  RunLoop(50);
  EXPECT_EQ(GetFocus(), view) << "Shift+Tab did not come back";
  EXPECT_FALSE(Selects(view));
  gui::Chord(VK_SHIFT, VK_TAB);
  RunLoop(50);
  EXPECT_NE(GetFocus(), view) << "Shift+Tab stayed in the report";
  EXPECT_EQ(f.RedtName->Text(), report);
  EXPECT_FALSE(f.RedtName->Modified());

  gui::Focus(view);
  gui::Chord(VK_CONTROL, VK_TAB);
  RunLoop(50);
  EXPECT_EQ(GetFocus(), view);
  EXPECT_EQ(Tabs(f.RedtName->Text()), Tabs(report) + 1);
  EXPECT_TRUE(f.RedtName->Modified());
}

// A shown case analysed under another name: the question to change its record names
// the record as stored and what it becomes; under its own name it asks as before.
TEST_F(Keyboard, TheSaveQuestionNamesTheStoredCaseAndWhatItBecomes) {
  TFrmMain& f = Start();
  int32_t id = StoreCase("李四一");
  f.pop_ming_paiClick(nullptr);
  ASSERT_EQ(CurCaseLoaded, 1);
  BoxAnswerer boxes(false);
  gui::Focus(f.LedtName->Handle());
  gui::Chord(VK_CONTROL, 'A');
  gui::TypeText(U("张三丰"));
  RunLoop(100);
  ClickPai();
  f.mnuF_saveClick(nullptr);  // 保存旧命
  RunLoop(200);
  ASSERT_EQ(boxes.Count("要修改"), 1);
  const std::string asked = boxes.texts.back();
  EXPECT_NE(asked.find("李四一"), std::string::npos) << asked;
  EXPECT_NE(asked.find("张三丰"), std::string::npos) << asked;
  CaseRecord r{};
  ASSERT_TRUE(CaseDb.Read(id, r));
  EXPECT_EQ(FieldText(r.name), U("李四一"));

  f.pop_ming_paiClick(nullptr);
  ClickPai();
  f.mnuF_saveClick(nullptr);
  RunLoop(200);
  ASSERT_EQ(boxes.Count("要修改"), 2);
  EXPECT_EQ(boxes.texts.back(), "要修改“李四一”这条记录吗？");
}

// A category deleted while the tree lists only some of its cases (as after a search)
// takes those cases with it and keeps the others.
TEST_F(Keyboard, DeletingACategoryDeletesOnlyTheCasesItLists) {
  TFrmMain& f = Start();
  int32_t a = StoreCase("李四一"), b = StoreCase("张三"), unlisted = StoreCase("王五");
  BuildCaseTree(*f.cases, {a, b});
  f.Tree->SetSelected(FindCategoryNode(*f.Tree, U("朋友")));
  std::string asked;
  modal::Driver d({modal::Answer(U("注意"), IDYES, asked)});
  f.pop_class_deleteClick(nullptr);
  RunLoop(100);
  ASSERT_EQ(asked, U("确定要删除“朋友”这个类别吗？"));
  CaseRecord r{};
  EXPECT_FALSE(CaseDb.Read(a, r));
  EXPECT_FALSE(CaseDb.Read(b, r));
  EXPECT_TRUE(CaseDb.Read(unlisted, r)) << "a case the tree did not list was deleted";
  EXPECT_EQ(FindCategoryNode(*f.Tree, U("朋友")), nullptr);
}

// The list of the 81-number tools takes typing at once, Enter breaking a line, and its
// title names what each tool reads.
TEST_F(Keyboard, TheNumberListTakesTypingAtOnceAndNamesWhatItReads) {
  TFrmMain& f = Start();
  f.PageControl1->SetActivePage(f.PageDict);
  RunLoop(100);
  struct Row {
    TButton* button;
    const char* title;
  } rows[] = {{f.Button1, "可以输入多个号码，一行一个"},
              {f.Button2, "可以输入多个公司名称，一行一个"},
              {f.BtoChePai, "可以输入多个车牌号，一行一个"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.title);
    std::string title;
    modal::Driver d({[&] {
                       HWND dlg = gui::WaitTopWindow(GetCurrentProcessId(), "TFrmStrList", "", 0);
                       if (!dlg || !IsWindowVisible(dlg)) return false;
                       title = gui::Text(dlg);
                       SendMessageW(GetFocus(), EM_SETSEL, 0, -1);
                       Keys({'8', '8', VK_RETURN, '9'});
                       return true;
                     },
                     [&] {
                       HWND dlg = gui::WaitTopWindow(GetCurrentProcessId(), "TFrmStrList", "", 0);
                       HWND ok = gui::FindChild(dlg, "TButton", U("测算"));
                       RECT r;
                       GetClientRect(ok, &r);
                       gui::MouseClick(ok, {r.right / 2, r.bottom / 2});
                       return true;
                     }});
    Press(row.button);
    RunLoop(800);
    EXPECT_EQ(title, U(row.title));
    const std::string read = f.MeoWord->Text();
    EXPECT_NE(read.find(U("【1】88")), std::string::npos) << gbk::ToUtf8(read);
    EXPECT_NE(read.find(U("【2】9")), std::string::npos) << gbk::ToUtf8(read);
  }
}

// A page tab clicked: Tab goes on into the controls and Ctrl+Tab turns the pages, the
// keyboard never left on a hidden page; Enter in the 汉字 field looks it up.
TEST_F(Keyboard, PagesTurnByCtrlTabAndEnterLooksUpTheCharacters) {
  TFrmMain& f = Start();
  HWND tabs = f.PageControl1->Handle();
  RECT tab{};
  SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  gui::MouseClick(tabs, {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
  RunLoop(200);
  ASSERT_EQ(f.PageControl1->ActivePageIndex(), 1);
  bool intoPage = false;
  for (int i = 0; i < 40 && !intoPage; ++i) {
    Keys({VK_TAB});
    RunLoop(20);
    intoPage = IsChild(f.PageControl1->ActivePage()->Handle(), GetFocus());
  }
  EXPECT_TRUE(intoPage) << "Tab never went into the page";
  gui::Chord(VK_CONTROL, VK_TAB);
  RunLoop(200);
  EXPECT_EQ(f.PageControl1->ActivePageIndex(), 2);
  EXPECT_TRUE(IsWindowVisible(GetFocus())) << "the keyboard stayed on the page left";
  INPUT ctrl[2]{};
  for (INPUT& i : ctrl) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = VK_CONTROL;
  }
  ctrl[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &ctrl[0], sizeof(INPUT));
  gui::Chord(VK_SHIFT, VK_TAB);
  SendInput(1, &ctrl[1], sizeof(INPUT));
  RunLoop(200);
  EXPECT_EQ(f.PageControl1->ActivePageIndex(), 1) << "Ctrl+Shift+Tab";

  f.PageControl1->SetActivePage(f.PageDict);
  RunLoop(100);
  const std::string before = f.MeoWord->Text();
  gui::Focus(f.LedtWord->Handle());
  gui::TypeText(U("鑫"));
  Keys({VK_RETURN});
  RunLoop(500);
  EXPECT_NE(f.MeoWord->Text(), before);
  EXPECT_NE(f.MeoWord->Text().find(U("鑫")), std::string::npos);
}

// A click on a radical's box in any column of the picker ticks it, once.
TEST_F(Keyboard, AClickOnARadicalBoxInAnyColumnTicksIt) {
  Start();
  TFrmPianPang dlg(&app);
  int item = -1;
  bool ticked = false;
  modal::Driver d({[&] {
                     if (!IsWindowVisible(dlg.Handle())) return false;
                     HWND list = dlg.ChkPian->Handle();
                     for (int i = 0; i < dlg.ChkPian->Items().Count() && item < 0; ++i) {
                       RECT r{};
                       SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
                       if (r.left >= 80) {
                         item = i;
                         gui::MouseClick(list, {r.left + 6, (r.top + r.bottom) / 2});
                       }
                     }
                     return true;
                   },
                   [&] {
                     ticked = item >= 0 && dlg.ChkPian->Checked(item);
                     Keys({VK_ESCAPE});
                     return true;
                   }});
  dlg.ShowModal();
  ASSERT_GE(item, 0) << "no item in the third column";
  EXPECT_TRUE(ticked);
}

// ---- report files the rich edit could not take as they are ----

std::string Repeat(std::string_view s, size_t n) {
  std::string r;
  r.reserve(s.size() * n);
  for (size_t i = 0; i < n; ++i) r += s;
  return r;
}

struct Hostile {
  const char* name;
  std::string data;
  const char* says;   // a part of the refusal (UTF-8), or null when the file is shown
  std::string shows;  // a part of the text shown (GBK) when it is
};

// Each of these crashed the rich edit or hung it for over a minute, or showed nothing.
std::vector<Hostile> HostileFiles() {
  const std::string zhong = Repeat(U("中"), 131000);
  const std::string word(1024 * 1024, 'w');
  return {
      {"\\bin past the end, then 40 groups", "{\\rtf1 \\bin999999999 " + Repeat("{", 40) + "x" + Repeat("}", 40),
       "二进制数据", ""},
      {"\\bin2000000000", "{\\rtf1 \\bin2000000000 x}", "二进制数据", ""},
      {"\\bin9999999999", "{\\rtf1 \\bin9999999999 x}", "二进制数据", ""},
      {"\\bin1000 then a word of 1,200 letters", "{\\rtf1 \\bin1000 \\" + std::string(1200, 'q') + " x}", nullptr,
       "qqqq"},
      {"200,000 \\*", "{\\rtf1 A" + Repeat("\\*", 200000) + "B}", nullptr, "AB"},
      {"120,000 \\u20320?", "{\\rtf1 " + Repeat("\\u20320?", 120000) + "}", nullptr, U("你你你你")},
      {"a word of 1 MB", "{\\rtf1 " + word + "}", "个字符", ""},
      {"a word of 1 MB as text", word, "个字符", ""},
      {"a word of 200 KB", "{\\rtf1 " + word.substr(0, 200 * 1024) + "}", nullptr, "wwww"},
      {"131,000 中", "{\\rtf1\\ansi\\ansicpg936 " + zhong + "}", nullptr, U("中中中中")},
      {"131,000 中 as text", zhong, nullptr, U("中中中中")},
      {"an empty file", "", "空文件", ""},
      {"3 MB", "{\\rtf1 " + std::string(3 * 1024 * 1024, 'x') + "}", "太大", ""},
  };
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A stored case's report is shown as a parse of it writes it anew, or refused with a
// message naming it; either way within 2 s, and the file is left as it was.
TEST_F(Keyboard, HostileReportsOfStoredCasesAreShownSafelyOrRefusedAndKept) {
  TFrmMain& f = Start();
  // A report the program wrote looks the same read back through the parse.
  const int32_t own = StoreCase("李四一");
  const std::string written = f.RedtName->SaveToString(true);
  f.pop_ming_paiClick(nullptr);
  RunLoop(100);
  ASSERT_EQ(CurCaseId, own);
  EXPECT_EQ(f.RedtName->SaveToString(true), written);

  for (const Hostile& h : HostileFiles()) {
    SCOPED_TRACE(h.name);
    const int32_t id = StoreCase("李四一");
    const std::string path = CaseReportPath(AppDir, id);
    ASSERT_TRUE(file::WriteAtomic(path, h.data));
    BoxAnswerer boxes(false);
    const auto start = std::chrono::steady_clock::now();
    f.pop_ming_paiClick(nullptr);
    const double took = Seconds(start);
    RunLoop(100);
    EXPECT_LT(took, 2.0);
    RecordProperty(h.name, static_cast<int>(took * 1000));
    if (h.says) {
      ASSERT_EQ(boxes.texts.size(), 1u);
      EXPECT_NE(boxes.texts[0].find("命例报告无法载入"), std::string::npos) << boxes.texts[0];
      EXPECT_NE(boxes.texts[0].find(h.says), std::string::npos) << boxes.texts[0];
      EXPECT_NE(boxes.texts[0].find(gbk::ToUtf8(path)), std::string::npos) << boxes.texts[0];
      // The case shows with a report written anew.
      EXPECT_NE(f.RedtName->Text().find(U("李四一")), std::string::npos);
    } else {
      EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();
      EXPECT_NE(f.RedtName->Text().find(h.shows), std::string::npos);
    }
    EXPECT_TRUE(f.chartValid);
    EXPECT_FALSE(f.RedtName->Modified());
    EXPECT_TRUE(Stored(id) == h.data) << "the file was changed";
  }
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
}

// The open-file dialog answered with a file's path.
std::function<bool()> OpenFile(const std::string& path) {
  return [path] {
    HWND dlg = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0);
    HWND name = dlg ? GetDlgItem(dlg, edt1) : nullptr;
    if (!name && dlg) name = GetDlgItem(dlg, cmb13);
    if (!name) return false;
    gui::SetText(name, path);
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    return true;
  };
}

TEST_F(Keyboard, HostileImportsAreShownSafelyOrRefusedAndTheViewKept) {
  TFrmMain& f = Start();
  f.LedtName->SetText(U("李四一"));
  f.BtnPaiClick(nullptr);
  int n = 0;
  for (const Hostile& h : HostileFiles()) {
    SCOPED_TRACE(h.name);
    const std::string before = f.RedtName->Text();
    const std::string path = temp.Path("hostile" + std::to_string(++n) + ".rtf");
    ASSERT_TRUE(file::WriteAtomic(path, h.data));
    f.RedtName->SetModified(false);
    std::string said;
    auto chosen = std::chrono::steady_clock::now();
    modal::Driver d({[&] { return OpenFile(path)() && (chosen = std::chrono::steady_clock::now(), true); },
                     modal::Answer("", IDOK, said)});
    f.psend_importClick(nullptr);
    const double took = Seconds(chosen);
    RunLoop(200);
    EXPECT_LT(took, 2.0);
    RecordProperty(h.name, static_cast<int>(took * 1000));
    if (h.says) {
      EXPECT_NE(gbk::ToUtf8(said).find(h.says), std::string::npos) << gbk::ToUtf8(said);
      EXPECT_NE(said.find(path), std::string::npos) << gbk::ToUtf8(said);
      EXPECT_TRUE(f.RedtName->Text() == before) << "the view was changed";
    } else {
      EXPECT_EQ(said, "");
      EXPECT_NE(f.RedtName->Text().find(h.shows), std::string::npos);
      EXPECT_TRUE(f.RedtName->Modified());  // the user's own text, to be offered for saving
    }
    std::string after;
    ASSERT_TRUE(file::ReadAll(path, after));
    EXPECT_TRUE(after == h.data) << "the file was changed";
  }
}

}  // namespace
