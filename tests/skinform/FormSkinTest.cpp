// The skin manager and the form skinner on real windows: each of our skins put on a form
// and taken off again, the windows the manager leaves plain, a skinned window destroyed,
// and the frame's answers to the mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinFrame.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"

namespace {

using skinform::SkinPath;

class TestForm : public skinform::ButtonForm {
 public:
  explicit TestForm(TComponent* owner) : ButtonForm(owner, "皮肤测试", 40, 40, 320, 200, "TTestForm") {}
};

// One application, one manager and one skin component for each test.
class FormSkin : public skinform::SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    ASSERT_NE(SkinManager, nullptr);
  }
  static SIZE ClientSize(HWND h) {
    RECT r{};
    GetClientRect(h, &r);
    return SIZE{r.right, r.bottom};
  }
};

TEST_F(FormSkin, EachSkinFramesAFormAndDetachingRestoresThePlainWindow) {
  struct Row {
    const char* skin;
    bool cutCorners;  // the borders' key colour takes the window's top-left pixel away
  };
  for (const Row& row : {Row{"Mx1", true}, Row{"Ink", true}, Row{"Plain", false}}) {
    SCOPED_TRACE(row.skin);
    Activate(row.skin);
    TestForm form(&app);
    HWND h = form.Handle();
    const LONG_PTR plainProc = GetWindowLongPtrW(h, GWLP_WNDPROC);
    const LONG plainStyle = GetWindowLongW(h, GWL_STYLE);
    form.Show();
    const SIZE before = ClientSize(h);
    gui::Pump(300);

    TWinSkinForm* skin = SkinFormOf(h);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(SkinManager->FormCount(), 1);
    EXPECT_NE(GetWindowLongPtrW(h, GWLP_WNDPROC), plainProc);
    const TDataSkinBorder& top = *data->Border[3];
    EXPECT_EQ(skin->FCaptionHeight, top.Image->Height() / top.Frame);
    EXPECT_EQ(skin->FLeftWidth, data->Border[1]->Image->Width() / data->Border[1]->Frame);
    EXPECT_EQ(ClientSize(h).cx, before.cx);
    EXPECT_EQ(ClientSize(h).cy, before.cy);
    RECT wr{}, cr{};
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    EXPECT_EQ(origin.x - wr.left, skin->FLeftWidth);
    EXPECT_EQ(origin.y - wr.top, skin->FCaptionHeight);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, region), ERROR);
    EXPECT_EQ(!PtInRegion(region, 0, 0), row.cutCorners);
    EXPECT_TRUE(PtInRegion(region, (wr.right - wr.left) / 2, (wr.bottom - wr.top) / 2));
    DeleteObject(region);

    // The caption band shows the top border's pixels (row 1 lies above the text).
    HDC dc = GetWindowDC(h);
    const COLORREF shown = GetPixel(dc, (wr.right - wr.left) / 2, 1);
    ReleaseDC(h, dc);
    const COLORREF active = top.Image->Canvas().Pixel(top.Image->Width() / 2, 1);
    const COLORREF inactive = top.Image->Canvas().Pixel(top.Image->Width() / 2, 1 + skin->FCaptionHeight);
    EXPECT_TRUE(shown == active || shown == inactive) << std::hex << shown << " " << active << " " << inactive;
    gui::SaveScreenshot(h, gui::ScreenshotPath(std::string("skinned-form-") + row.skin + ".png"));

    data->SetActive(false);
    gui::Pump(400);
    EXPECT_EQ(SkinFormOf(h), nullptr);
    EXPECT_EQ(SkinManager->FormCount(), 0);
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), plainProc);
    EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU), plainStyle & (WS_CAPTION | WS_SYSMENU));
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(h, none), ERROR);
    DeleteObject(none);
    EXPECT_EQ(ClientSize(h).cx, before.cx);
    EXPECT_EQ(ClientSize(h).cy, before.cy);
  }
}

// Systems that report version 5.0 or 10.0 lose the caption style while skinned.
TEST_F(FormSkin, WhereTheCaptionStyleIsTakenAwayItComesBack) {
  WinVersion = 0x0000000A;
  Activate("Mx1");
  TestForm form(&app);
  HWND h = form.Handle();
  form.Show();
  const SIZE before = ClientSize(h);
  gui::Pump(300);
  ASSERT_NE(SkinFormOf(h), nullptr);
  EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(ClientSize(h).cx, before.cx);
  EXPECT_EQ(ClientSize(h).cy, before.cy);
  const LRESULT caption = SendMessageW(h, WM_NCHITTEST, 0, [&] {
    RECT wr{};
    GetWindowRect(h, &wr);
    return MAKELPARAM((wr.left + wr.right) / 2, wr.top + SkinFormOf(h)->FCaptionHeight / 2);
  }());
  EXPECT_EQ(caption, HTCAPTION);
  data->SetActive(false);
  gui::Pump(400);
  EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(ClientSize(h).cx, before.cx);
  EXPECT_EQ(ClientSize(h).cy, before.cy);
  WinVersion = GetVersion();
}

TEST_F(FormSkin, SwitchingSkinsReframesTheSkinnedForm) {
  Activate("Mx1");
  TestForm form(&app);
  form.Show();
  gui::Pump(300);
  const SIZE before = ClientSize(form.Handle());
  ASSERT_TRUE(data->LoadFromFile(SkinPath("Ink")));
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(form.Handle());
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->FCaptionHeight, data->Border[3]->Image->Height() / data->Border[3]->Frame);
  EXPECT_FALSE(skin->FButtons.empty());
  EXPECT_EQ(ClientSize(form.Handle()).cx, before.cx);
  EXPECT_EQ(ClientSize(form.Handle()).cy, before.cy);
}

TEST_F(FormSkin, WindowsTheManagerLeavesPlain) {
  // Before any window was activated, switching on starts no timer.
  ASSERT_TRUE(data->LoadFromFile(SkinPath("Mx1")));
  SkinManager->State = 0;
  SkinManager->SetCurrentData(data);
  SkinManager->SetAction(1, 250);
  EXPECT_FALSE(SkinManager->TimerEnabled());
  EXPECT_TRUE(SkinManager->Enabled);

  TestForm never(&app);
  never.Tag = 99;
  never.Show();
  TestForm hidden(&app);
  hidden.Handle();
  TestForm flat(&app);
  flat.BorderStyle = bsNone;
  flat.SetBounds(0, 0, 0, 0);
  flat.Handle();
  gui::Pump(200);
  EXPECT_EQ(SkinFormOf(never.Handle()), nullptr);
  EXPECT_FALSE(SkinManager->AddForm(never.Handle()));
  EXPECT_FALSE(SkinManager->AddForm(flat.Handle()));
  SkinManager->ActiveForm(&hidden);
  EXPECT_EQ(SkinFormOf(hidden.Handle()), nullptr);

  // Re-skinning a window that wears no skin does nothing and tells nobody.
  int changed = 0;
  data->OnSkinChanged = [&](TObject*) { ++changed; };
  SkinManager->State = 1;
  data->ChangeForm(hidden.Handle());
  SkinManager->OnTimer();
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(SkinManager->FormCount(), 0);
}

TEST_F(FormSkin, DestroyingASkinnedWindowLetsItsSkinGo) {
  Activate("Mx1");
  auto* form = new TestForm(&app);
  form->Show();
  gui::Pump(300);
  ASSERT_EQ(SkinManager->FormCount(), 1);
  const HWND gone = form->Handle();
  delete form;
  // Activation may pass to another window of the thread, which may then be skinned;
  // what matters is that no skin is left on the destroyed window.
  for (int i = 0; i < SkinManager->FormCount(); ++i) EXPECT_NE(SkinManager->Forms(i)->FHandle, gone);
  // The manager goes on: another form is skinned and the skin comes off again.
  TestForm next(&app);
  next.Show();
  gui::Pump(300);
  EXPECT_NE(SkinFormOf(next.Handle()), nullptr);
  data->SetActive(false);
  gui::Pump(400);
  EXPECT_EQ(SkinManager->FormCount(), 0);
}

TEST_F(FormSkin, DialogsShownFromASkinnedFormWearTheSkinWhileOpen) {
  Activate("Ink");
  TestForm form(&app);
  form.Show();
  gui::Pump(300);
  bool dialogSkinned = false, boxSkinned = false;
  TTimer step(nullptr);
  step.SetInterval(300);
  TestForm* dialog = nullptr;
  step.OnTimer = [&](TObject*) {
    if (HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0)) {
      boxSkinned = SkinFormOf(box) != nullptr;
      gui::SaveScreenshot(box, gui::ScreenshotPath("skinned-message-box.png"));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    } else if (dialog && dialog->HandleAllocated() && IsWindowVisible(dialog->Handle())) {
      dialogSkinned = SkinFormOf(dialog->Handle()) != nullptr;
      dialog->ModalResult = mrOk;
    }
  };
  Application->MessageBox(gbk::FromUtf8("提示文字"), gbk::FromUtf8("提示"), MB_OK);
  dialog = new TestForm(&app);
  dialog->ShowModal();
  step.SetEnabled(false);
  delete dialog;
  EXPECT_TRUE(boxSkinned);
  EXPECT_TRUE(dialogSkinned);
  EXPECT_EQ(SkinManager->FormCount(), 1);  // only the form itself
  EXPECT_NE(SkinFormOf(form.Handle()), nullptr);
}

TEST_F(FormSkin, TheFrameAnswersTheMouseAndCommands) {
  Activate("Mx1");
  TestForm form(&app);
  auto* menu = new TMainMenu(&form);
  auto* item = new TMenuItem(&form);
  item->SetCaption(gbk::FromUtf8("文件(&F)"));
  auto* sub = new TMenuItem(&form);
  sub->SetCaption("x");
  item->Add(sub);
  menu->Items()->Add(item);
  form.SetMenu(menu);
  form.Show();
  gui::Pump(300);
  HWND h = form.Handle();
  TWinSkinForm* skin = SkinFormOf(h);
  ASSERT_NE(skin, nullptr);
  ASSERT_GT(skin->FMenuHeight, 0);
  RECT wr{};
  GetWindowRect(h, &wr);
  auto hit = [&](int x, int y) { return SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y)); };
  const int middle = (wr.right - wr.left) / 2;
  EXPECT_EQ(hit(middle, skin->FCaptionHeight / 2), HTCAPTION);
  EXPECT_EQ(hit(middle, skin->FCaptionHeight + skin->FMenuHeight / 2), HTMENU);
  EXPECT_NE(hit(middle, 1), HTCAPTION);
  EXPECT_EQ(hit(middle, skin->FCaptionHeight + skin->FMenuHeight + 5), HTCLIENT);

  // The close button lies at the right of the caption and closes the window.
  TNCObject* close = nullptr;
  for (const auto& b : skin->FButtons) {
    if (b->Skin->Action == 0 && b->Visible) close = b.get();
  }
  ASSERT_NE(close, nullptr);
  EXPECT_GT(close->Bounds.left, middle);
  gui::SaveScreenshot(h, gui::ScreenshotPath("skinned-form-menu.png"));

  // The keyboard opens the band's menus: Alt with the accelerator, and Alt alone.
  for (LPARAM key : {LPARAM{'f'}, LPARAM{0}}) {
    SCOPED_TRACE(key);
    bool opened = false;
    TTimer watch(nullptr);
    watch.SetInterval(100);
    watch.OnTimer = [&](TObject*) {
      HWND popup = FindWindowW(L"#32768", nullptr);
      if (popup && IsWindowVisible(popup)) {
        RECT pr{};
        GetWindowRect(popup, &pr);
        opened = pr.top == wr.top + skin->FCaptionHeight + skin->FMenuHeight;  // under the band, not Windows' bar
        EndMenu();
      }
    };
    SendMessageW(h, WM_SYSCOMMAND, SC_KEYMENU, key);
    EXPECT_TRUE(opened);
  }

  bool closed = false;
  form.OnClose = [&](TObject*, TCloseAction& a) {
    closed = true;
    a = caNone;
  };
  SendMessageW(h, WM_COMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(closed);  // posted, not run at once
  gui::Pump(100);
  EXPECT_TRUE(closed);

  // A press and release on the close button closes the window too.
  closed = false;
  const LPARAM at = MAKELPARAM(wr.left + (close->Bounds.left + close->Bounds.right) / 2,
                               wr.top + (close->Bounds.top + close->Bounds.bottom) / 2);
  SendMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, at);
  EXPECT_EQ(close->State, 2);
  SendMessageW(h, WM_NCLBUTTONUP, HTCAPTION, at);
  gui::Pump(100);
  EXPECT_TRUE(closed);

  // The icon opens the system menu; a second click within the double-click time closes.
  TNCObject* icon = nullptr;
  for (const auto& b : skin->FButtons) {
    if (b->Skin->Action == 3 && b->Visible) icon = b.get();
  }
  ASSERT_NE(icon, nullptr);
  const LPARAM onIcon = MAKELPARAM(wr.left + (icon->Bounds.left + icon->Bounds.right) / 2,
                                   wr.top + (icon->Bounds.top + icon->Bounds.bottom) / 2);
  bool menuShown = false;
  TTimer watch(nullptr);
  watch.SetInterval(100);
  watch.OnTimer = [&](TObject*) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (popup && IsWindowVisible(popup)) {
      menuShown = true;
      EndMenu();
    }
  };
  closed = false;
  SendMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, onIcon);
  SendMessageW(h, WM_NCLBUTTONUP, HTCAPTION, onIcon);
  EXPECT_TRUE(menuShown);
  gui::Pump(50);
  EXPECT_FALSE(closed);
  SendMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, onIcon);
  SendMessageW(h, WM_NCLBUTTONUP, HTCAPTION, onIcon);
  gui::Pump(100);
  EXPECT_TRUE(closed);
}

WNDPROC belowAbove = nullptr;
constexpr UINT kAboveAsks = WM_APP + 7;

LRESULT CALLBACK AboveTheSkin(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == kAboveAsks) return 77;
  return CallWindowProcW(belowAbove, h, msg, w, l);
}

// A subclass put above the skin's procedure stays in the chain when the skin leaves:
// the skin's procedure then passes everything on to the form's own, and a skin that
// comes back takes its old place again.
TEST_F(FormSkin, ASubclassAboveTheSkinKeepsTheFormWorkingWhenTheSkinLeaves) {
  Activate("Mx1");
  TestForm form(&app);
  form.Show();
  gui::Pump(300);
  HWND h = form.Handle();
  ASSERT_NE(SkinFormOf(h), nullptr);
  belowAbove = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AboveTheSkin)));
  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction& a) {
    ++closes;
    a = caNone;
  };
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    data->SetActive(false);
    gui::Pump(400);
    EXPECT_EQ(SkinFormOf(h), nullptr);
    EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 0);
    EXPECT_EQ(SendMessageW(h, kAboveAsks, 0, 0), 77);
    SendMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_EQ(closes, round + 1) << "the form's own procedure answers";
    ASSERT_TRUE(IsWindow(h));
    data->SetActive(true);
    gui::Pump(400);
    EXPECT_NE(SkinFormOf(h), nullptr);
    EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 1);
    EXPECT_EQ(SendMessageW(h, kAboveAsks, 0, 0), 77);
  }
  data->SetActive(false);
  gui::Pump(400);
  SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(belowAbove));
  SendMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, 3);
}

// A re-skin request for one window, by the timer's action 7 or handed to the manager.
TEST_F(FormSkin, AReskinRequestGivesTheWindowAFreshSkin) {
  Activate("Ink");
  TestForm form(&app);
  form.Show();
  gui::Pump(300);
  HWND h = form.Handle();
  TWinSkinForm* first = SkinFormOf(h);
  ASSERT_NE(first, nullptr);
  TMessage request{kManagerRequest, 7, reinterpret_cast<LPARAM>(h), 0};
  SkinManager->WndProc(request);
  EXPECT_EQ(request.Result, 1);
  gui::Pump(300);
  TWinSkinForm* second = SkinFormOf(h);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(SkinManager->FormCount(), 1);
  EXPECT_EQ(second->FState, 1);
  EXPECT_EQ(second->FCaptionHeight, data->Border[3]->Image->Height() / data->Border[3]->Frame);

  TestForm plain(&app);
  plain.Tag = 99;
  plain.Show();
  TMessage none{kManagerRequest, 7, reinterpret_cast<LPARAM>(plain.Handle()), 0};
  SkinManager->WndProc(none);
  EXPECT_EQ(none.Result, 0) << "a window without a skin is left alone";
  EXPECT_EQ(SkinFormOf(plain.Handle()), nullptr);
}

// A loaded library's manager attached to the program's shares its skinned windows and
// follows its switching on and off; freed, it leaves the program's windows skinned, and
// the program's manager freed first lets it go.
TEST_F(FormSkin, ALibrarysManagerSharesTheProgramsWindowsWhileAttached) {
  Activate("Mx1");
  TestForm form(&app);
  form.Show();
  gui::Pump(300);
  ASSERT_EQ(SkinManager->FormCount(), 1);
  const auto libraryInstance = reinterpret_cast<HINSTANCE>(0x7F0000);
  {
    TSkinManage library(libraryInstance);
    library.AssignData(SkinManager);
    EXPECT_EQ(library.ParentManager, SkinManager);
    EXPECT_EQ(SkinManager->SubManagers, std::vector<TSkinManage*>{&library});
    EXPECT_EQ(library.State, 1);
    EXPECT_TRUE(library.Enabled);
    ASSERT_EQ(library.FormCount(), 1);
    EXPECT_EQ(library.Forms(0), SkinManager->Forms(0));
    library.DeleteSubForm(libraryInstance);
    EXPECT_EQ(SkinManager->FormCount(), 1) << "the program's window is not the library's";

    data->SetActive(false);
    EXPECT_FALSE(library.Enabled);
    gui::Pump(400);
    EXPECT_EQ(library.FormCount(), 0);
    data->SetActive(true);
    EXPECT_TRUE(library.Enabled);
    gui::Pump(700);
    EXPECT_EQ(library.FormCount(), 1);
    EXPECT_EQ(SkinManager->FormCount(), 1);
  }
  EXPECT_TRUE(SkinManager->SubManagers.empty());
  EXPECT_NE(SkinFormOf(form.Handle()), nullptr);
  EXPECT_EQ(SkinManager->FormCount(), 1);

  auto* library = new TSkinManage(libraryInstance);
  library->AssignData(SkinManager);
  FreeSkinManager();
  EXPECT_EQ(library->ParentManager, nullptr);
  EXPECT_EQ(library->State, 4);
  EXPECT_FALSE(library->Enabled);
  EXPECT_EQ(library->FormCount(), 0);
  EXPECT_EQ(SkinFormOf(form.Handle()), nullptr);
  delete library;
}

// Inside a loaded library the library's own manager is made and attached to the
// program's; called in the program itself nothing happens. (Here the test is both the
// program and the library, so the library's windows are the test's.)
TEST_F(FormSkin, SkinDllAttachesALibrarysOwnManagerToTheProgramsOnce) {
  Activate("Mx1");
  TestForm form(&app);
  form.Show();
  gui::Pump(300);
  TSkinManage* program = SkinManager;
  SkinDll(program);
  EXPECT_EQ(SkinManager, program) << "the program's own call";
  EXPECT_TRUE(program->SubManagers.empty());

  SkinManager = nullptr;  // as the library's unit sees it before its first call
  SkinDll(program);
  TSkinManage* library = SkinManager;
  ASSERT_NE(library, nullptr);
  ASSERT_NE(library, program);
  EXPECT_EQ(library->ParentManager, program);
  EXPECT_EQ(library->ModuleInstance, GetModuleHandleW(nullptr));
  EXPECT_EQ(library->State, 1);
  EXPECT_EQ(library->InstalledCount, 1);
  EXPECT_EQ(library->FormCount(), 1);
  SkinDll(program);
  EXPECT_EQ(SkinManager, library);
  EXPECT_EQ(program->SubManagers, std::vector<TSkinManage*>{library});
  EXPECT_EQ(library->InstalledCount, 2);

  // A menu window made now is the program's to skin, not the library's.
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"x");
  TTimer close(nullptr);
  close.SetInterval(300);
  close.OnTimer = [&](TObject*) { EndMenu(); };
  close.SetEnabled(true);
  TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, form.Handle(), nullptr);
  close.SetEnabled(false);
  DestroyMenu(menu);
  EXPECT_EQ(library->MenuCount(), 0);

  delete library;  // the library unloads: it takes its module's windows' skins along
  EXPECT_TRUE(program->SubManagers.empty());
  EXPECT_EQ(SkinManager, nullptr);
  SkinManager = program;
  EXPECT_EQ(program->FormCount(), 0);
}

TEST_F(FormSkin, CaptionButtonsShowByTheirConditions) {
  Activate("Plain");
  TestForm form(&app);
  form.Show();
  gui::Pump(300);
  TWinSkinForm* skin = SkinFormOf(form.Handle());
  ASSERT_NE(skin, nullptr);
  struct Row {
    int visibility, visibility1, action;
    bool visible;
  };
  const Row rows[] = {
      {0, 0, 1, true},
      {1, 0, 1, false},
      {2, 0, 1, true},
      {3, 0, 1, skin->FActive},
      {4, 0, 1, !skin->FActive},
      {7, 0, 1, false},
      {9, 0, 1, false},
      {5, 0, 1, false},
      {500, 0, 1, true},
      {2001, 0, 1, false},
      {0, 7, 1, false},
      {0, 2, 1, true},
      {0, 150, 1, false},
      {100, 0, 7, false},
      // a window that leaves 0x3515 to default handling hides the button
      {1000, 0, 40, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.visibility << "/" << r.visibility1);
    TDataSkinSysButton b("T");
    b.Visibility = r.visibility;
    b.Visibility1 = r.visibility1;
    b.Action = r.action;
    EXPECT_EQ(skin->SysBtnVisible(b), r.visible);
  }
}

}  // namespace
