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
#include "tools/Upicknumber.h"
#include "tools/Utxthelp.h"
#include "ui/ModalDriver.h"
#include "ui/Uinput.h"
#include "ui/Untmain.h"

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
    f.TreeCase->SetSelected(FindCaseNode(*f.TreeCase, id));
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
  struct Row {
    const char* name;
    TForm* form;
  } rows[] = {{"百家姓查询", &bjx},    {"软件帮助", &help},   {"软件帮助 from its text", &help},
              {"吉利手机号码", &pick}, {"经纬度修改", &dili}, {"编辑字库", &edit}};
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

// Typed coordinates not yet saved are not thrown away by Esc without a question.
TEST_F(Keyboard, EscAsksBeforeDroppingTypedCoordinates) {
  TFrmDiLi dlg(&app, bin);
  std::string asked;
  bool openAfterNo = false;
  modal::Driver d({[&] {
                     if (!IsWindowVisible(dlg.Handle())) return false;
                     gui::Focus(dlg.LedtWeiFen->Handle());
                     Keys({VK_END, '1', VK_ESCAPE});
                     return true;
                   },
                   modal::Answer(U("注意了"), IDNO, asked),
                   [&] {
                     openAfterNo = IsWindowVisible(dlg.Handle());
                     Keys({VK_ESCAPE});
                     return true;
                   },
                   modal::Answer(U("注意了"), IDYES, asked)});
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_EQ(asked, U("经纬度的改动还没有保存，要放弃改动吗？"));
  EXPECT_TRUE(openAfterNo);
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
