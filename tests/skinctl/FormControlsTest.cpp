// Controls of a form that the skin engine skins by itself: which skinner each kind gets,
// and the bars of a memo that is hidden, disabled and made anew. Real mouse input,
// pixels read back from the screen. Runs on its own display.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Grids.h"
#include "classlib/HeaderControl.h"
#include "classlib/ScrollBar.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSubClass.h"
#include "support/Gui.h"

namespace {

using gui::PlayWhilePumping;
using gui::ScreenPixel;

class TestForm : public TForm {
 public:
  explicit TestForm(TComponent* owner) : TForm(owner) {
    SetBounds(40, 40, 520, 380);
    SetText(gbk::FromUtf8("输入生日"));
    DoCreate();
  }
};

void ClickPlayed(POINT p) {
  PlayWhilePumping([&] {
    gui::MoveMouse(p.x, p.y);
    Sleep(80);
    gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(80);
    gui::MouseButton(MOUSEEVENTF_LEFTUP);
  });
}

class FormSkinned : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSkinManager();
    data = new TSkinData(&app);
    data->Loaded();
    ASSERT_TRUE(data->LoadFromFile(std::string(TORVIK_PROGRAM_DIR) + "\\skins\\Mx1.skn")) << data->LastError();
    data->SetActive(true);
    form = new TestForm(&app);
  }
  void TearDown() override {
    delete form;
    delete data;
    FreeSkinManager();
  }
  template <class C>
  C* Add(int x, int y, int w, int h) {
    auto* c = new C(form);
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    return c;
  }
  // The form shown and skinned with every control it holds.
  TWinSkinForm* Show() {
    form->Show();
    SetForegroundWindow(form->Handle());
    for (int i = 0; i < 30 && !SkinFormOf(form->Handle()); ++i) gui::Pump(100);
    gui::Pump(300);
    return SkinFormOf(form->Handle());
  }
  std::string SkinnerOf(TWinSkinForm* skin, HWND h) {
    TSkinControl* c = skin->Lookupcontrol(h);
    return c ? c->ClassName() : "none";
  }
  // The centre of frame `frame` (from 1) of the scroll bar's 23 arrow and grip frames.
  COLORREF ArrowFrame(int frame) const {
    const TBitmap& b = *data->Scrollbar->Image;
    const int fw = b.Width() / 23;
    return static_cast<COLORREF>(b.Pixel((frame - 1) * fw + fw / 2, b.Height() / 2));
  }
  TApplication app;
  TSkinData* data = nullptr;
  TForm* form = nullptr;
};

TEST_F(FormSkinned, HeadersScrollBarsGridsAndBareCombosGetTheirSkinnersAndStillWork) {
  auto* header = Add<THeaderControl>(20, 20, 300, 24);
  header->AddSection(gbk::FromUtf8("姓名"), 120);
  header->AddSection(gbk::FromUtf8("评分"), 120);
  auto* bar = new TScrollBar(form);
  bar->Kind = sbVertical;
  bar->SetParent(form);
  bar->SetBounds(360, 20, 18, 220);
  bar->SetParams(0, 0, 100);
  bar->SetPageSize(10);
  bar->LargeChange = 10;
  auto* grid = Add<TStringGrid>(20, 60, 200, 100);
  TWinSkinForm* skin = Show();
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(SkinnerOf(skin, header->Handle()), "TSkinHeader");
  EXPECT_EQ(SkinnerOf(skin, bar->Handle()), "TSkinScControl");
  EXPECT_EQ(SkinnerOf(skin, grid->Handle()), "TSkinScrollbar");
  // A combo box without a class-library object, as a common dialog has, by its window class.
  HWND bare = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 240, 60, 100, 200,
                              form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  skin->InitHwndControls(form->Handle());
  EXPECT_EQ(SkinnerOf(skin, bare), "TSkinComBox");

  // The header's hot section follows the real mouse; its divider still resizes.
  RECT item;
  SendMessageW(header->Handle(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  MapWindowPoints(header->Handle(), nullptr, reinterpret_cast<POINT*>(&item), 2);
  const TDataSkinObject& hb = *data->Headerbar;
  auto headerFrame = [&](int frame) {
    auto map = GetHMap(RECT{0, 0, Width(item), Height(item)}, hb.Image.get(), hb.Margins(), false, hb.Tile == 1,
                       hb.Frame, frame);
    return static_cast<COLORREF>(map->Pixel(1, Height(item) / 2));
  };
  const POINT edge{item.left + 1, (item.top + item.bottom) / 2};
  gui::MoveMouse(item.left + 40, item.top + 6);
  gui::Pump(150);
  EXPECT_EQ(ScreenPixel(edge), headerFrame(2)) << "the hot section";
  gui::MoveMouse(item.left - 60, item.top + 6);
  gui::Pump(150);
  EXPECT_EQ(ScreenPixel(edge), headerFrame(1));
  PlayWhilePumping([&] {
    gui::MoveMouse(item.left, item.top + 6);
    Sleep(80);
    gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
    for (int dx = 0; dx <= 40; dx += 8) {
      Sleep(30);
      gui::MoveMouse(item.left + dx, item.top + 6);
    }
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_LEFTUP);
  });
  EXPECT_GE(header->SectionWidth(0), 150) << "the object learnt the new width";

  // The scroll bar's own arrows and thumb, covered by ours, still move it.
  auto* sc = dynamic_cast<TSkinScControl*>(skin->Lookupcontrol(bar->Handle()));
  ASSERT_NE(sc, nullptr);
  ASSERT_TRUE(sc->Bar()->Shown());
  RECT br;
  GetWindowRect(sc->Bar()->Handle(), &br);
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  const POINT down{(br.left + br.right) / 2, br.bottom - arrow / 2 - 1};
  EXPECT_EQ(ScreenPixel(down), ArrowFrame(13));
  ClickPlayed(down);
  EXPECT_EQ(bar->Position(), 1);
  ClickPlayed(POINT{down.x, br.bottom - 2 * arrow - 4});  // the track below the thumb: a page
  EXPECT_EQ(bar->Position(), 11);
  SCROLLBARINFO info{sizeof info};
  ASSERT_TRUE(GetScrollBarInfo(bar->Handle(), OBJID_CLIENT, &info));
  const POINT thumb{down.x, br.top + (info.xyThumbTop + info.xyThumbBottom) / 2};
  PlayWhilePumping([&] {
    gui::MoveMouse(thumb.x, thumb.y);
    Sleep(80);
    gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
    for (int y = thumb.y; y <= br.bottom + 10; y += 8) {
      Sleep(30);
      gui::MoveMouse(thumb.x, y);
    }
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_LEFTUP);
  });
  EXPECT_EQ(bar->Position(), 91) << "dragged to the end: the last page";
  EXPECT_TRUE(gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("skin_form_controls.png")));
  DestroyWindow(bare);
}

TEST_F(FormSkinned, AMemosBarsFollowItsVisibilityAndEnablingAndComeBackWhenItsWindowIsMadeAnew) {
  auto* memo = Add<TMemo>(20, 20, 220, 180);
  std::string text;
  for (int i = 1; i <= 60; ++i) text += gbk::FromUtf8("第") + std::to_string(i) + gbk::FromUtf8("行\r\n");
  memo->SetText(text);
  TWinSkinForm* skin = Show();
  ASSERT_NE(skin, nullptr);
  auto* bars = dynamic_cast<TSkinScrollbar*>(skin->Lookupcontrol(memo->Handle()));
  ASSERT_NE(bars, nullptr);
  HWND vert = bars->VertBar()->Handle();
  ASSERT_TRUE(IsWindowVisible(vert));
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  auto downArrow = [&](HWND overlay) {
    RECT r;
    GetWindowRect(overlay, &r);
    return POINT{(r.left + r.right) / 2, r.bottom - arrow / 2 - 1};
  };

  memo->SetVisible(false);
  gui::Pump(100);
  EXPECT_FALSE(IsWindowVisible(vert)) << "hidden with the memo";
  memo->SetVisible(true);
  gui::Pump(150);
  EXPECT_TRUE(IsWindowVisible(vert)) << "shown again with it";
  EXPECT_EQ(ScreenPixel(downArrow(vert)), ArrowFrame(13));

  memo->SetEnabled(false);
  gui::Pump(150);
  EXPECT_FALSE(IsWindowEnabled(vert));
  EXPECT_EQ(ScreenPixel(downArrow(vert)), ArrowFrame(15)) << "the disabled arrow";
  memo->SetEnabled(true);
  gui::Pump(150);
  EXPECT_TRUE(IsWindowEnabled(vert));
  EXPECT_EQ(ScreenPixel(downArrow(vert)), ArrowFrame(13));

  const HWND old = memo->Handle();
  memo->RecreateWnd();
  gui::Pump(300);
  HWND now = memo->Handle();
  ASSERT_NE(now, old);
  EXPECT_FALSE(IsWindow(vert)) << "the old bars went with the old skinner";
  auto* again = dynamic_cast<TSkinScrollbar*>(skin->Lookupcontrol(now));
  ASSERT_NE(again, nullptr) << "the new window was skinned again";
  ASSERT_TRUE(again->VertBar()->Shown());
  EXPECT_EQ(ScreenPixel(downArrow(again->VertBar()->Handle())), ArrowFrame(13));
  ClickPlayed(downArrow(again->VertBar()->Handle()));
  EXPECT_GT(SendMessageW(now, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "and it scrolls the new window";
  EXPECT_TRUE(gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("skin_form_memo_recreated.png")));
}

TEST_F(FormSkinned, AScrollBarsHintShowsOverThePanelThatCoversIt) {
  app.HintPause = 100;
  auto* bar = new TScrollBar(form);
  bar->Kind = sbVertical;
  bar->SetParent(form);
  bar->SetBounds(200, 20, 18, 200);
  bar->Hint = gbk::FromUtf8("翻页");
  bar->ShowHint = true;
  TWinSkinForm* skin = Show();
  ASSERT_NE(skin, nullptr);
  auto* sc = dynamic_cast<TSkinScControl*>(skin->Lookupcontrol(bar->Handle()));
  ASSERT_NE(sc, nullptr);
  HWND panel = sc->Bar()->Handle();
  EXPECT_EQ(GetParent(panel), form->Handle());
  EXPECT_EQ(sc->Bar()->Parent(), form) << "a control of the form, which its hints cover";
  gui::MoveMouse(5, 5);
  gui::Pump(300);
  gui::Hover(panel);
  HWND tip = gui::WaitTopWindow(GetCurrentProcessId(), "tooltips_class32", "", 3000);
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(gui::Text(tip), bar->Hint);
}

// Controls of another library, known to the engine only by the kind the skin's list names.
class TScrollPane : public TPanel {
 public:
  using TPanel::TPanel;
  std::string ClassName() const override { return "TScrollPane"; }

 protected:
  DWORD CreateStyle() const override { return TPanel::CreateStyle() | WS_VSCROLL; }
};

class TBarBox : public TPanel {
 public:
  using TPanel::TPanel;
  std::string ClassName() const override { return "TBarBox"; }
};

TEST_F(FormSkinned, AnotherLibrarysScrollingControlsGetTheSkinnersTheirListedKindsName) {
  data->Skin3rd.Add("TScrollPane=ScrollBar");
  data->Skin3rd.Add("TBarBox=EmbedScrollbar");
  auto* pane = Add<TScrollPane>(20, 20, 160, 120);
  auto* inPane = new TButton(form);
  inPane->SetParent(pane);
  inPane->SetBounds(10, 10, 80, 26);
  auto* box = Add<TBarBox>(200, 20, 280, 200);
  auto* bar = new TScrollBar(box);
  bar->Kind = sbVertical;
  bar->SetParent(box);
  bar->SetBounds(10, 10, 18, 150);
  auto* list = new TListBox(box);
  list->SetParent(box);
  list->SetBounds(40, 10, 150, 150);
  for (int i = 0; i < 40; ++i) list->Items().Add(std::to_string(i));
  TWinSkinForm* skin = Show();
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(SkinnerOf(skin, pane->Handle()), "TSkinScrollbar") << "scrollbar: its own bars";
  EXPECT_EQ(SkinnerOf(skin, inPane->Handle()), "TSkinButton") << "and its children walked";
  EXPECT_EQ(SkinnerOf(skin, box->Handle()), "none") << "embedscrollbar: only what it holds";
  EXPECT_EQ(SkinnerOf(skin, bar->Handle()), "TSkinScControl");
  auto* bars = dynamic_cast<TSkinScrollbar*>(skin->Lookupcontrol(list->Handle()));
  ASSERT_NE(bars, nullptr);
  ASSERT_TRUE(bars->VertBar()->Shown());
  RECT br;
  GetWindowRect(bars->VertBar()->Handle(), &br);
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  EXPECT_EQ(ScreenPixel(POINT{(br.left + br.right) / 2, br.bottom - arrow / 2 - 1}), ArrowFrame(13));
}

}  // namespace
