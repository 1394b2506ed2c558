// What a skinned window does with a new caption, a form whose menu items the skin draws
// going without scroll bars, and the manager's further hooks: the call hook that skins
// menu windows, and the hook of another thread that keeps its scroll bars off a
// skinned form.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"
#include "support/MenuWatch.h"

namespace {

using gbk::U;
using skinform::CaptionBand;
using skinform::Put;
using skinform::SkinPath;

constexpr char kSeenProp[] = "TorvikTestTextSeen";
constexpr UINT kSnapshot = WM_APP + 7;

// How the window's own procedure last took a new text.
struct TextSeen {
  bool visible = true;
  int count = 0;
};

void NoteText(HWND h, TextSeen& seen) {
  seen.visible = IsWindowVisible(h);
  ++seen.count;
}

LRESULT CALLBACK AnsiProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (auto* seen = static_cast<TextSeen*>(GetPropA(h, kSeenProp)); seen && msg == WM_SETTEXT) NoteText(h, *seen);
  return DefWindowProcA(h, msg, w, l);
}

// A window of the program made with the ANSI functions and no class-library object.
HWND MakeAnsiWindow(TextSeen& seen) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = AnsiProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = "TorvikTestAnsi";
  RegisterClassA(&wc);
  HWND h = CreateWindowExA(0, wc.lpszClassName, U("窗口").c_str(), WS_OVERLAPPEDWINDOW, 420, 60, 320, 200, nullptr,
                           nullptr, wc.hInstance, nullptr);
  SetPropA(h, kSeenProp, &seen);
  ShowWindow(h, SW_SHOW);
  SetForegroundWindow(h);
  return h;
}

class CaptionForm : public TForm {
 public:
  explicit CaptionForm(TComponent* owner) : TForm(owner) {
    SetText(U("窗口"));
    SetBounds(40, 60, 320, 200);
    DoCreate();
  }
  std::string ClassName() const override { return "TCaptionForm"; }
  TextSeen seen;

 protected:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_SETTEXT) NoteText(hwnd_, seen);
    return TForm::WndProc(msg, w, l);
  }
};

class FormProcs : public skinform::SkinTest {};

// What the window shows in its caption after a new text is the skin's caption as the
// skinner paints it now, and the longer text takes more room. An ANSI window takes the
// text with its painting off; a Unicode window's procedure takes it as it comes.
TEST_F(FormProcs, ANewCaptionIsPaintedInTheSkinsCaption) {
  Activate("Mx1");
  gui::ParkMouse();
  CaptionForm form(&app);
  form.Show();
  gui::Pump(400);
  TextSeen ansiSeen;
  HWND ansi = MakeAnsiWindow(ansiSeen);
  gui::Pump(400);
  struct Row {
    HWND window;
    TextSeen& seen;
    bool visibleWhileSet;
  };
  for (const Row& row : {Row{form.Handle(), form.seen, true}, Row{ansi, ansiSeen, false}}) {
    SCOPED_TRACE(row.visibleWhileSet ? "Unicode form" : "ANSI window");
    TWinSkinForm* skin = SkinFormOf(row.window);
    ASSERT_NE(skin, nullptr);
    const std::vector<COLORREF> before = CaptionBand(skin);
    const int width = Width(skin->FTextRect);
    const int count = row.seen.count;
    if (row.window == ansi) {
      SetWindowTextA(ansi, U("一个长得多的新标题").c_str());
    } else {
      form.SetText(U("一个长得多的新标题"));
    }
    gui::Pump(300);
    EXPECT_EQ(row.seen.count, count + 1);
    EXPECT_EQ(row.seen.visible, row.visibleWhileSet);
    EXPECT_TRUE(IsWindowVisible(row.window));
    const std::vector<COLORREF> after = CaptionBand(skin);
    ASSERT_FALSE(after.empty());
    EXPECT_NE(after, before);
    EXPECT_GT(Width(skin->FTextRect), width);
    EXPECT_EQ(after, CaptionBand(skin, true)) << "the skin's caption with the new text, not the system's";
  }
  // The same text takes the same room in both: an ANSI window's text length, which comes
  // in bytes, adds nothing to the caption.
  EXPECT_EQ(Width(SkinFormOf(ansi)->FTextRect), Width(SkinFormOf(form.Handle())->FTextRect));
  gui::SaveScreenshot(ansi, gui::ScreenshotPath("skinned-new-caption.png"));
  DestroyWindow(ansi);
}

// With the skin drawing a form's menu items the form goes without scroll bars: a button
// beyond its client area no longer gives it one.
TEST_F(FormProcs, AFormWhoseMenuItemsTheSkinDrawsGoesWithoutScrollBars) {
  ASSERT_TRUE(data->LoadFromFile(SkinPath("Mx1"))) << data->LastError();
  data->SkinControls = WithElement(data->SkinControls, xcMenuItem, true);
  data->SetActive(true);
  skinform::ButtonForm form(&app, "滚动", 40, 40, 300, 200, "TScrollTest");
  Put<TButton>(&form, 10, 400, 80, 26);
  form.Show();
  gui::Pump(400);
  ASSERT_NE(SkinFormOf(form.Handle()), nullptr);
  EXPECT_FALSE(form.AutoScroll());
  EXPECT_EQ(GetWindowLongW(form.Handle(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
}

// A form that notes, on its own thread, what the manager holds while a menu is open.
class PopupForm : public TForm {
 public:
  explicit PopupForm(TComponent* owner) : TForm(owner) {
    SetText(U("右键菜单"));
    SetBounds(60, 60, 320, 200);
    popup = new TPopupMenu(this);
    for (const char* caption : {"复制", "粘贴"}) {
      auto* item = new TMenuItem(this);
      item->SetCaption(U(caption));
      popup->Items()->Add(item);
    }
    DoCreate();
  }
  TPopupMenu* popup;
  int menusWhileOpen = -1;
  bool ownPopupWhileOpen = false;

 protected:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg != kSnapshot) return TForm::WndProc(msg, w, l);
    menusWhileOpen = SkinManager->MenuCount();
    ownPopupWhileOpen = SkinManager->OwnPopup;
    return 0;
  }
};

// A manager without its CBT hook, so that only the hooks a test installs skin menus.
class ManagerHooks : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinManager = new TSkinManage();
    SetSkinManagerLink(SkinManager);  // the data's loading then installs no hook
    ASSERT_TRUE(data.LoadFromFile(SkinPath("Mx1"))) << data.LastError();
    SkinManager->AddSkinData(&data);
    SkinManager->Enable(true);
    SkinManager->SetInstalled();
  }
  void TearDown() override { FreeSkinManager(); }
  TApplication app;
  TSkinData data{nullptr};
};

// The call hook skins the menu window of a program popup menu as it is made, marks the
// menu as the program's as it opens, and lets the skin go with the window; the other hook
// passes everything on. The manager loads no scroll-bar library.
TEST_F(ManagerHooks, TheCallHookSkinsAMenuWindowWhileItIsOpen) {
  PopupForm form(&app);
  form.Show();
  gui::Pump(300);
  EXPECT_FALSE(SkinManager->initsb(form.Handle()));
  EXPECT_FALSE(SkinManager->Uninitsb(form.Handle()));
  const DWORD thread = GetCurrentThreadId();
  HHOOK call = SetWindowsHookExW(WH_CALLWNDPROC, SkinHookCallback, nullptr, thread);
  HHOOK ret = SetWindowsHookExW(WH_CALLWNDPROCRET, SkinHookCallRet, nullptr, thread);
  ASSERT_NE(call, nullptr);
  ASSERT_NE(ret, nullptr);
  LRESULT skinned = -1;
  std::thread watcher([&] {
    HWND menu = menuwatch::WaitMenuWindow(3000);
    if (!menu) return;
    Sleep(150);
    skinned = SendMessageW(menu, CN_IsSkinned, 0, 0);
    SendMessageW(form.Handle(), kSnapshot, 0, 0);
    for (int i = 0; i < 3 && IsWindowVisible(menu); ++i) {
      menuwatch::Press(VK_ESCAPE);
      Sleep(150);
    }
  });
  RECT wr{};
  GetWindowRect(form.Handle(), &wr);
  form.popup->Popup(wr.left + 60, wr.top + 60, form.Handle());
  watcher.join();
  gui::Pump(200);
  UnhookWindowsHookEx(ret);
  UnhookWindowsHookEx(call);
  EXPECT_EQ(skinned, 1);
  EXPECT_EQ(form.menusWhileOpen, 1);
  EXPECT_TRUE(form.ownPopupWhileOpen);
  EXPECT_EQ(SkinManager->MenuCount(), 0) << "let go with its window";
  EXPECT_FALSE(SkinManager->OwnPopup);
}

// Another thread hooked by the manager cannot put a scroll bar on a skinned form; it can
// put one on a plain window, and other controls on the skinned form.
TEST_F(FormProcs, AnotherThreadsScrollBarIsKeptOffASkinnedForm) {
  Activate("Mx1");
  skinform::ButtonForm skinned(&app, "皮肤", 40, 40, 300, 200, "TSkinnedHost");
  skinform::ButtonForm plain(&app, "普通", 360, 40, 300, 200, "TPlainHost");
  plain.Tag = 99;  // never skinned
  skinned.Show();
  plain.Show();
  gui::Pump(400);
  ASSERT_NE(SkinFormOf(skinned.Handle()), nullptr);
  ASSERT_EQ(SkinFormOf(plain.Handle()), nullptr);
  std::atomic<int> stage{0};
  std::atomic<DWORD> threadId{0};
  bool made[3] = {};
  std::thread other([&] {
    MSG m;
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for its hook
    threadId = GetCurrentThreadId();
    stage = 1;
    while (stage != 2) Sleep(5);
    struct Make {
      const wchar_t* cls;
      HWND parent;
    };
    const Make makes[] = {
        {L"ScrollBar", skinned.Handle()}, {L"ScrollBar", plain.Handle()}, {L"Button", skinned.Handle()}};
    for (int i = 0; i < 3; ++i) {
      HWND h = CreateWindowExW(0, makes[i].cls, nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 200, 10, 16, 80,
                               makes[i].parent, nullptr, GetModuleHandleW(nullptr), nullptr);
      made[i] = h != nullptr;
      if (h) DestroyWindow(h);
    }
    stage = 3;
  });
  while (stage != 1) gui::Pump(5);
  SkinManager->InstallThread(threadId);
  stage = 2;
  while (stage != 3) gui::Pump(10);
  other.join();
  SkinManager->UnInstallThread(threadId);
  EXPECT_FALSE(made[0]) << "a scroll bar on the skinned form";
  EXPECT_TRUE(made[1]) << "a scroll bar on the plain window";
  EXPECT_TRUE(made[2]) << "a button on the skinned form";
}

}  // namespace
