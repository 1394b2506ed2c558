// A skinned frame in the window's states, read back from the screen: minimized without
// key-coloured pixels, maximized with its whole caption on the screen, the program's icon
// in the caption, caption buttons in every one of our skins, and a dialog opened while a
// skin is on that never shows the system's frame first.
#include <gtest/gtest.h>

#include <algorithm>
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

class StateForm : public skinform::ButtonForm {
 public:
  explicit StateForm(TComponent* owner) : ButtonForm(owner, "状态测试", 60, 60, 360, 220, "TStateForm") {}
};

// The screen's pixels of a rectangle in screen coordinates, row by row.
std::vector<COLORREF> ScreenPixels(const RECT& r) {
  std::vector<COLORREF> out;
  HDC dc = GetDC(nullptr);
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) out.push_back(GetPixel(dc, x, y));
  }
  ReleaseDC(nullptr, dc);
  return out;
}

constexpr COLORREF kKey = RGB(255, 0, 255);

class FrameState : public skinform::SkinTest {
 protected:
  TWinSysButton* Button(TWinSkinForm* skin, int action) {
    for (const auto& b : skin->FButtons) {
      if (b->Skin->Action == action && b->Visible) return b.get();
    }
    return nullptr;
  }
};

TEST_F(FrameState, AMinimizedWindowShowsNoKeyColour) {
  for (const char* skin : {"Mx1", "Ink"}) {
    SCOPED_TRACE(skin);
    Activate(skin);
    StateForm form(&app);
    form.Show();
    gui::Pump(300);
    HWND h = form.Handle();
    ASSERT_NE(SkinFormOf(h), nullptr);
    ShowWindow(h, SW_MINIMIZE);
    gui::Pump(400);
    ASSERT_TRUE(IsIconic(h));
    RECT wr{};
    GetWindowRect(h, &wr);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, region), ERROR);
    RECT box{};
    GetRgnBox(region, &box);
    DeleteObject(region);
    EXPECT_LE(box.right, wr.right - wr.left) << "the outline is the minimized window's";
    EXPECT_LE(box.bottom, wr.bottom - wr.top);
    int keyed = 0;
    for (COLORREF c : ScreenPixels(wr)) keyed += c == kKey;
    EXPECT_EQ(keyed, 0);
    ShowWindow(h, SW_RESTORE);
    gui::Pump(300);
    EXPECT_FALSE(IsIconic(h));
    region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, region), ERROR);
    GetRgnBox(region, &box);
    DeleteObject(region);
    GetWindowRect(h, &wr);
    EXPECT_GT(box.bottom, wr.bottom - wr.top - 10) << "restored: the outline of the normal size again";
    data->SetActive(false);
    gui::Pump(400);
  }
}

// The box of what a window covers, in window coordinates: its region's, or its whole rectangle.
RECT ShownBox(HWND h) {
  RECT wr{};
  GetWindowRect(h, &wr);
  RECT box{0, 0, wr.right - wr.left, wr.bottom - wr.top};
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(h, region) != ERROR) GetRgnBox(region, &box);
  DeleteObject(region);
  return box;
}

// Minimized by a real click on the caption's minimize button, a window with a menu bar
// shows its caption band and nothing of the band below it.
TEST_F(FrameState, AMinimizedWindowShowsNoSliverOfItsMenuBar) {
  for (const char* name : {"Plain", "Mx1", "Ink"}) {
    SCOPED_TRACE(name);
    Activate(name);
    StateForm form(&app);
    auto* bar = new TMainMenu(&form);
    auto* file = new TMenuItem(&form);
    file->SetCaption(gbk::FromUtf8("文件(&F)"));
    bar->Items()->Add(file);
    form.SetMenu(bar);
    form.Show();
    SetForegroundWindow(form.Handle());
    gui::Pump(400);
    HWND h = form.Handle();
    TWinSkinForm* skin = SkinFormOf(h);
    ASSERT_NE(skin, nullptr);
    ASSERT_GT(skin->FMenuHeight, 0);
    TWinSysButton* minimize = Button(skin, 2);
    ASSERT_NE(minimize, nullptr);
    RECT wr{};
    GetWindowRect(h, &wr);
    gui::MoveMouse(wr.left + (minimize->Bounds.left + minimize->Bounds.right) / 2,
                   wr.top + (minimize->Bounds.top + minimize->Bounds.bottom) / 2);
    gui::Pump(100);
    gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
    gui::Pump(100);
    gui::MouseButton(MOUSEEVENTF_LEFTUP);
    gui::Pump(600);
    gui::ParkMouse();
    ASSERT_TRUE(IsIconic(h));
    GetWindowRect(h, &wr);
    gui::SaveScreenshot(h, gui::ScreenshotPath(std::string("minimized-") + name + ".png"));
    // The rows under the caption band, on the screen with the window shown and hidden.
    const RECT below{wr.left, wr.top + skin->FCaptionHeight, wr.right,
                     std::max(wr.bottom, wr.top + skin->FCaptionHeight)};
    const std::vector<COLORREF> shown = ScreenPixels(below);
    EXPECT_LE(ShownBox(h).bottom, skin->FCaptionHeight)
        << "a " << wr.bottom - wr.top << "-px minimized window under a " << skin->FCaptionHeight << "-px caption";
    ShowWindow(h, SW_HIDE);
    gui::Pump(300);
    EXPECT_EQ(ScreenPixels(below), shown) << "the window showed something under its caption";
    ShowWindow(h, SW_RESTORE);
    gui::Pump(300);
    GetWindowRect(h, &wr);
    EXPECT_EQ(ShownBox(h).bottom, wr.bottom - wr.top) << "restored, the whole window shows again";
    data->SetActive(false);
    gui::Pump(400);
  }
}

// Checked at once after maximizing: with no window manager, Wine restores a window
// whose outline changes while it is maximized as soon as it hears back from X.
TEST_F(FrameState, AMaximizedWindowShowsItsWholeCaption) {
  Activate("Mx1");
  StateForm form(&app);
  form.Show();
  gui::Pump(300);
  HWND h = form.Handle();
  TWinSkinForm* skin = SkinFormOf(h);
  ASSERT_NE(skin, nullptr);
  ShowWindow(h, SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(h));
  RECT wr{}, work{};
  GetWindowRect(h, &wr);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(wr.top, work.top);
  EXPECT_EQ(wr.left, work.left);
  EXPECT_EQ(wr.right, work.right);
  EXPECT_EQ(wr.bottom, work.bottom);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(h, region), ERROR) << "nothing of a maximized window is cut";
  DeleteObject(region);
  // The caption the skin paints for it starts at the window's first row, which is the
  // work area's first: all of it is on the screen. (The window's own DC shows nothing
  // yet at this moment under Wine, so the frame is painted into a bitmap.)
  const TDataSkinBorder& top = *data->Border[3];
  const COLORREF active = top.Image->Canvas().Pixel(top.Image->Width() / 2, 0);
  const COLORREF inactive = top.Image->Canvas().Pixel(top.Image->Width() / 2, skin->FCaptionHeight);
  TBitmap frame;
  frame.SetSize(wr.right - wr.left, wr.bottom - wr.top);
  skin->UpdateNc(frame.Canvas().Handle());
  const COLORREF shown = frame.Canvas().Pixel((wr.right - wr.left) / 2, 0);
  EXPECT_TRUE(shown == active || shown == inactive) << std::hex << shown;
  TWinSysButton* close = Button(skin, 0);
  ASSERT_NE(close, nullptr);
  EXPECT_LE(wr.left + close->Bounds.right, work.right) << "the close button is on the screen";
}

TEST_F(FrameState, EachSkinHasCaptionButtonsAndTheCaptionShowsTheProgramsIcon) {
  ASSERT_FALSE(data->AppIcon->Empty()) << "the program's icon, read when the component loaded";
  for (const char* name : {"Mx1", "Ink", "Plain"}) {
    SCOPED_TRACE(name);
    Activate(name);
    StateForm form(&app);
    form.Show();
    gui::Pump(400);
    TWinSkinForm* skin = SkinFormOf(form.Handle());
    ASSERT_NE(skin, nullptr);
    for (int action : {0, 1, 2}) EXPECT_NE(Button(skin, action), nullptr) << "action " << action;
    TWinSysButton* icon = Button(skin, 3);
    ASSERT_NE(icon, nullptr);
    RECT wr{};
    GetWindowRect(form.Handle(), &wr);
    const int w = data->AppIcon->Width(), h = data->AppIcon->Height();
    const RECT at{wr.left + icon->Bounds.left, wr.top + icon->Bounds.top, wr.left + icon->Bounds.left + w,
                  wr.top + icon->Bounds.top + h};
    const std::vector<COLORREF> shown = ScreenPixels(at);
    int drawn = 0, same = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const auto want = static_cast<COLORREF>(data->AppIcon->Canvas().Pixel(x, y));
        if (want == kKey) continue;
        ++drawn;
        same += shown[static_cast<size_t>(y * w + x)] == want;
      }
    }
    EXPECT_GT(drawn, w * h / 4);
    EXPECT_GE(same, drawn * 9 / 10) << same << " of " << drawn;
    data->SetActive(false);
    gui::Pump(400);
  }
}

// The WM_NCPAINTs a watched window gets while visible: whether each came to the skin's
// procedure, and whether the skin was complete when the outermost one was handled.
struct NcPaints {
  HWND watched = nullptr;
  std::string cls;
  std::vector<bool> toTheSkin, painted;
  int depth = 0;
};
NcPaints* watching = nullptr;

bool Watched(const CWPSTRUCT& m) {
  if (!watching || m.message != WM_NCPAINT || !IsWindowVisible(m.hwnd)) return false;
  char cls[64] = {};
  GetClassNameA(m.hwnd, cls, sizeof cls);
  if (!watching->watched && cls == watching->cls) watching->watched = m.hwnd;
  return m.hwnd == watching->watched;
}

LRESULT CALLBACK WatchNcPaint(int code, WPARAM w, LPARAM l) {
  if (code >= 0 && Watched(*reinterpret_cast<CWPSTRUCT*>(l))) {
    watching->toTheSkin.push_back(SkinFormOf(watching->watched) != nullptr);
    ++watching->depth;
  }
  return CallNextHookEx(nullptr, code, w, l);
}

LRESULT CALLBACK WatchNcPainted(int code, WPARAM w, LPARAM l) {
  const auto* r = reinterpret_cast<CWPRETSTRUCT*>(l);
  const CWPSTRUCT m{r->lParam, r->wParam, r->message, r->hwnd};
  if (code >= 0 && watching && watching->depth > 0 && Watched(m) && --watching->depth == 0) {
    TWinSkinForm* skin = SkinFormOf(m.hwnd);
    watching->painted.push_back(skin && skin->FState == 1);
  }
  return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(FrameState, ADialogOpenedWhileASkinIsOnNeverShowsTheSystemFrame) {
  Activate("Ink");
  StateForm owner(&app);
  owner.Show();
  gui::Pump(300);
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchNcPaint, nullptr, GetCurrentThreadId());
  HHOOK after = SetWindowsHookExW(WH_CALLWNDPROCRET, WatchNcPainted, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  ASSERT_NE(after, nullptr);
  struct Row {
    const char* what;
    std::string cls;
  };
  for (const Row& row : {Row{"form", "TStateForm"}, Row{"message box", "#32770"}}) {
    SCOPED_TRACE(row.what);
    NcPaints paints;
    paints.cls = row.cls;
    watching = &paints;
    StateForm* dialog = nullptr;
    TTimer close(nullptr);
    close.SetInterval(600);
    close.OnTimer = [&](TObject*) {
      if (HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0)) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      } else if (dialog && dialog->HandleAllocated() && IsWindowVisible(dialog->Handle())) {
        dialog->ModalResult = mrOk;
      }
    };
    if (row.cls == "#32770") {
      Application->MessageBox(gbk::FromUtf8("提示文字"), gbk::FromUtf8("提示"), MB_OK);
    } else {
      dialog = new StateForm(&app);
      dialog->ShowModal();
      delete dialog;
    }
    close.SetEnabled(false);
    watching = nullptr;
    ASSERT_FALSE(paints.painted.empty()) << "the dialog's frame was painted";
    for (bool skinned : paints.toTheSkin) EXPECT_TRUE(skinned) << "the system painted a frame";
    EXPECT_TRUE(paints.painted.front()) << "the first frame was painted before the skin was complete";
  }
  UnhookWindowsHookEx(after);
  UnhookWindowsHookEx(hook);
}

}  // namespace
