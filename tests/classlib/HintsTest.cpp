// Hints: a hovered control's tooltip shows its hint under the application's delays.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include "classlib/Buttons.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/StdCtrls.h"
#include "support/Gui.h"

namespace {

using gbk::U;

class HintForm : public TForm {
 public:
  explicit HintForm(TComponent* owner) : TForm(owner) {
    SetClientSize(300, 120);
    SetBounds(40, 40, Width(), Height());
    button = Add<TSpeedButton>(10, U("设定用神"), true);
    label = Add<TLabel>(110, U("【李】li，7画，"), true);
    silent = Add<TButton>(210, U("不显示"), false);
    DoCreate();
  }
  template <class T>
  T* Add(int left, const std::string& hint, bool show) {
    T* c = new T(this);
    c->SetText("X");
    c->SetBounds(left, 30, 80, 40);
    c->Hint = hint;
    c->ShowHint = show;
    c->SetParent(this);
    return c;
  }
  TSpeedButton* button;
  TLabel* label;
  TButton* silent;
};

// The tooltip on show in this process, waiting up to `ms`.
HWND WaitTip(int ms) { return gui::WaitTopWindow(GetCurrentProcessId(), "tooltips_class32", "", ms); }

// The one form's tooltip, shown or not.
HWND TipOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM out) {
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        if (lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
        *reinterpret_cast<HWND*>(out) = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class HintsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    app.HintPause = 100;
    app.OnShowHint = [this](THintInfo& info) {
      shownFor = info.HintControl;
      info.ReshowTimeout = 200;
    };
    gui::MoveMouse(0, 0);
  }
  void TearDown() override { gui::ParkMouse(); }
  TApplication app;
  TControl* shownFor = nullptr;
};

TEST_F(HintsTest, HoveredControlsShowTheirCurrentHint) {
  HintForm f(&app);
  f.Show();
  gui::Pump(100);
  struct Row {
    const char* what;
    TControl* control;
    std::string hint;  // "" when no tip may show
  } rows[] = {
      {"speed button", f.button, U("设定用神")},
      {"label", f.label, U("【李】li，7画，")},
      {"ShowHint off", f.silent, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    gui::MoveMouse(0, 0);
    gui::Pump(600);  // the last tip goes
    gui::Hover(r.control->Handle());
    HWND tip = WaitTip(r.hint.empty() ? 1000 : 3000);
    if (r.hint.empty()) {
      EXPECT_EQ(tip, nullptr);
      continue;
    }
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(gui::Text(tip), r.hint);
    EXPECT_EQ(shownFor, r.control);
    gui::SaveScreenshot(tip, gui::ScreenshotPath("hint.png"));
  }

  // A hint set after the window exists is the one shown next.
  gui::MoveMouse(0, 0);
  gui::Pump(600);
  f.label->Hint = U("字意：美好");
  gui::Hover(f.label->Handle());
  HWND tip = WaitTip(3000);
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(gui::Text(tip), U("字意：美好"));
}

TEST_F(HintsTest, TheTooltipTakesTheApplicationsDelays) {
  app.HintHidePause = 4000;
  HintForm f(&app);
  f.Show();
  HWND tip = TipOfThisThread();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 100);
  EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 4000);
  EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), app.HintShortPause);
  // Every tool of the form: the three controls.
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 3);
  // The application's OnShowHint changes the reshow delay before a tip shows.
  gui::Hover(f.button->Handle());
  ASSERT_NE(WaitTip(3000), nullptr);
  EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), 200);
  // A control whose window goes stops being a tool.
  delete f.silent;
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
}

TEST_F(HintsTest, SpeedButtonClicksWithoutBeingATabStop) {
  HintForm f(&app);
  int clicks = 0;
  f.button->OnClick = [&](TObject* s) {
    EXPECT_EQ(s, f.button);
    ++clicks;
  };
  f.Show();
  gui::Click(f.button->Handle());
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(GetWindowLongW(f.button->Handle(), GWL_STYLE) & WS_TABSTOP);
}

}  // namespace
