// Button-style and side tab strips, status bars, track bars and tool bars of a test form
// in a skin whose every pixel tells the frame it came from, read back from the screen;
// the track bar is dragged and the tool bar clicked with the real mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Tabs.h"
#include "skin/BitmapPixels.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"
#include "skinctl/SkinCtlFixture.h"
#include "support/Gui.h"

using skinctl::Frames;
using skinctl::kButtonFrames;
using skinctl::kFace;
using skinctl::OnScreen;
using skintest::Rgb;

namespace {

const std::vector<TColor> kEdges = {Rgb(40, 80, 120), Rgb(120, 80, 40), Rgb(60, 160, 60)};  // lowered, raised, none
constexpr TColor kTrack = Rgb(90, 20, 140), kThumb = Rgb(250, 150, 0), kToolbar = Rgb(20, 140, 140);
constexpr TColor kLightTab = Rgb(0, 250, 0), kDarkTab = Rgb(0, 100, 0);

void MouseButton(DWORD flag) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flag;
  SendInput(1, &in, sizeof in);
  gui::Pump(80);
}

void MoveTo(HWND h, int x, int y) {
  RECT r;
  GetWindowRect(h, &r);
  gui::MoveMouse(r.left + x, r.top + y);
  gui::Pump(60);
}

class TabsBars : public skinctl::FormFixture {
 protected:
  TabsBars() {
    skinctl::FillButtons(data);
    data.Tabs = std::make_unique<TDataSkinBorder>("Tabs");
    // Each tab frame is light above and dark below, so a turn shows.
    data.Tabs->Image = skintest::MakeBitmap(40, 20, [](int x, int y) {
      const bool current = x >= 20;
      return y < 10 ? (current ? kLightTab : Rgb(250, 0, 0)) : (current ? kDarkTab : Rgb(100, 0, 0));
    });
    data.Tabs->Frame = 2;
    data.Tabs->LeftWidth = data.Tabs->RightWidth = data.Tabs->TopHeight = data.Tabs->BottomHeight = 4;
    data.StatusBarEdges = std::make_unique<TDataSkinObject>("StatusBarEdges");
    data.StatusBarEdges->Image = Frames(10, 10, kEdges);
    data.StatusBarEdges->Frame = 3;
    data.StatusBarEdges->NormalColour2 = Rgb(0, 0, 0);
    data.Track = std::make_unique<TDataSkinObject>("Track");
    data.Track->Image = skintest::Solid(30, 6, kTrack);
    data.Track->LeftWidth = 3;
    data.TrackbarThumbHorz = std::make_unique<TDataSkinObject>("Trackbar.ThumbHorz");
    data.TrackbarThumbHorz->Image = Frames(11, 20, {Rgb(1, 1, 1), kThumb, Rgb(2, 2, 2), Rgb(3, 3, 3), Rgb(4, 4, 4)});
    data.ToolBars = std::make_unique<TDataSkinObject>("ToolBars");
    data.ToolBars->Image = skintest::Solid(10, 30, kToolbar);
    form = new skinctl::TestForm(&app, "标签与工具条", 60, 60, 460, 320);
  }
  ~TabsBars() override {
    delete form;
    gui::Pump(50);
  }
};

RECT ItemRect(HWND tabs, int i) {
  RECT r{};
  SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  return r;
}

// ---- Tab strips ----

TEST_F(TabsBars, ButtonStyleTabsAreDrawnFromTheButtonObject) {
  auto* pages = Add<TPageControl>(10, 10, 300, 120);
  pages->Style = tsButtons;
  for (const char* caption : {"第一页", "第二页"}) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetText(gbk::FromUtf8(caption));
  }
  pages->SetActivePageIndex(0);
  (new TSkinTabBtn(pages))->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = pages->Handle();
  ASSERT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 1);
  RECT first = ItemRect(h, 0), second = ItemRect(h, 1);
  EXPECT_EQ(OnScreen(h, first.left + 2, first.top + 2), kButtonFrames[1]) << "the current tab is pressed";
  EXPECT_EQ(OnScreen(h, second.left + 2, second.top + 2), kButtonFrames[0]);
  pages->SetActivePageIndex(1);
  InvalidateRect(h, nullptr, TRUE);
  gui::Pump(150);
  second = ItemRect(h, 1);
  EXPECT_EQ(OnScreen(h, second.left + 2, second.top + 2), kButtonFrames[1]);
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("tabs-buttons.png"));
}

TEST_F(TabsBars, SideStripsTurnTheTabsTopTowardsTheirSide) {
  ShowAway();
  struct Row {
    const char* name;
    DWORD style;
    bool lightLeft;
  };
  for (const Row& row : {Row{"left", TCS_VERTICAL | TCS_MULTILINE, true},
                         Row{"right", TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, false}}) {
    SCOPED_TRACE(row.name);
    HWND h = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | row.style, 10, 10, 200, 200,
                             form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(h, nullptr);
    for (const wchar_t* text : {L"One", L"Two"}) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<wchar_t*>(text);
      SendMessageW(h, TCM_INSERTITEMW, 9, reinterpret_cast<LPARAM>(&item));
    }
    auto* s = new TSkinTab(form);
    s->Inithwnd(h, &data, nullptr, &host);
    EXPECT_EQ(s->Position(), row.lightLeft ? 2 : 3);
    gui::Pump(150);
    RECT tab = ItemRect(h, 0);
    OffsetRect(&tab, 0, 1);  // drawn a pixel down, as on a top strip
    ASSERT_GT(Width(tab), 8);
    const TColor left = OnScreen(h, tab.left + 1, tab.top + 3), right = OnScreen(h, tab.right - 2, tab.top + 3);
    EXPECT_EQ(left, row.lightLeft ? kLightTab : kDarkTab);
    EXPECT_EQ(right, row.lightLeft ? kDarkTab : kLightTab);
    gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath(std::string("tabs-") + row.name + ".png"));
    DestroyWindow(h);
    delete s;
  }
}

// A tab set hangs its tabs downwards: the strip is drawn from the frames turned upside
// down, the chosen tab (by the real mouse) in frame 2.
TEST_F(TabsBars, TabSetHangsItsTabsFromTheFlippedFramesAndFollowsTheClick) {
  auto* set = Add<TTabSet>(10, 200, 300, 24);
  set->Tabs = {gbk::FromUtf8("甲"), gbk::FromUtf8("乙")};
  set->SetTabIndex(0);
  int changes = 0;
  set->OnChange = [&](TObject*) { ++changes; };
  auto* s = new TSkinTab31(set);
  s->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = set->Handle();
  ASSERT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 1);
  const RECT first = set->ItemRect(0), second = set->ItemRect(1);
  ASSERT_GT(Width(first), 8);
  EXPECT_EQ(OnScreen(h, first.left + 2, first.top + 2), kDarkTab) << "the tab's top is its frame's bottom";
  EXPECT_EQ(OnScreen(h, first.left + 2, first.bottom - 3), kLightTab);
  EXPECT_EQ(OnScreen(h, second.left + 2, second.top + 2), Rgb(100, 0, 0));
  gui::MouseClick(h, POINT{(second.left + second.right) / 2, (second.top + second.bottom) / 2});
  gui::Pump(200);
  EXPECT_EQ(set->TabIndex(), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(OnScreen(h, second.left + 2, second.top + 2), kDarkTab);
  EXPECT_EQ(OnScreen(h, first.left + 2, first.top + 2), Rgb(100, 0, 0));
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("tabs-tabset.png"));
}

// A tab set too narrow for its tabs shows its scroller at the right end, in the skin's
// horizontal arrows; a real press on the right arrow shows it pressed and scrolls a tab.
TEST_F(TabsBars, ATabSetsScrollerWearsTheSkinsArrowsAndScrollsUnderTheMouse) {
  const std::vector<TColor> arrows = {Rgb(11, 0, 0), Rgb(12, 0, 0), Rgb(13, 0, 0), Rgb(14, 0, 0),
                                      Rgb(0, 0, 21), Rgb(0, 0, 22), Rgb(0, 0, 23), Rgb(0, 0, 24)};
  data.UpDownHorz = std::make_unique<TDataSkinBorder>("UpDown.Horz");
  data.UpDownHorz->Image = Frames(8, 8, arrows);
  data.UpDownHorz->Frame = 8;
  auto* set = Add<TTabSet>(10, 200, 200, 24);
  for (const char* t : {"甲子", "乙丑", "丙寅", "丁卯", "戊辰", "己巳", "庚午", "辛未"})
    set->Tabs.push_back(gbk::FromUtf8(t));
  set->SetTabIndex(0);
  (new TSkinTab31(set))->Init(&host, &data, nullptr, false);
  ShowAway();
  TScroller* scroller = set->Scroller();
  ASSERT_TRUE(IsWindowVisible(scroller->Handle())) << "eight tabs do not fit";
  HWND h = scroller->Handle();
  EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 1);
  const int w = scroller->Width(), mid = scroller->Height() / 2;
  EXPECT_EQ(OnScreen(h, 2, mid), arrows[0]);
  EXPECT_EQ(OnScreen(h, w - 3, mid), arrows[4]);

  MoveTo(h, w - 3, mid);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  EXPECT_EQ(OnScreen(h, w - 3, mid), arrows[5]) << "pressed while held";
  MouseButton(MOUSEEVENTF_LEFTUP);
  gui::Pump(100);
  EXPECT_EQ(set->FirstIndex(), 1);
  const RECT gone = set->ItemRect(0);
  EXPECT_TRUE(IsRectEmpty(&gone)) << "the first tab scrolled out";
  EXPECT_EQ(set->ItemRect(1).left, 4);
  EXPECT_EQ(OnScreen(set->Handle(), 6, 3), Rgb(100, 0, 0)) << "the strip shows the next tab first";
  EXPECT_NE(OnScreen(h, w - 3, mid), arrows[5]) << "released";
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("tabs-tabset-scroller.png"));
}

// A strip that paints its own tabs (the skin has no tab image) still has its page framed
// by the skin's second tab image.
TEST_F(TabsBars, ASelfPaintedStripsPageIsFramedByTheSecondTabImage) {
  constexpr TColor kPane = Rgb(30, 90, 200);
  data.Tabs->Image = nullptr;
  data.Tabs->Image2 = skintest::Solid(20, 20, kPane);
  auto* pages = Add<TPageControl>(10, 10, 300, 140);
  auto* sheet = new TTabSheet(form);
  sheet->SetPageControl(pages);
  sheet->SetText(gbk::FromUtf8("第一页"));
  (new TSkinTab(pages))->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = pages->Handle();
  RECT display;
  GetClientRect(h, &display);
  SendMessageW(h, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const int y = (display.top + display.bottom) / 2;
  EXPECT_EQ(OnScreen(h, display.left - 2, y), kPane) << "left of the page";
  EXPECT_EQ(OnScreen(h, display.right + 1, y), kPane) << "right of the page";
  EXPECT_EQ(OnScreen(h, (display.left + display.right) / 2, display.bottom + 1), kPane) << "below the page";
  const RECT tab = ItemRect(h, 0);
  EXPECT_NE(OnScreen(h, (tab.left + tab.right) / 2, tab.top + 3), kPane) << "the tab is the control's own";
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("tabs-border.png"));
}

// ---- Status bars ----

TEST_F(TabsBars, StatusBarPanelsWearTheEdgesOfTheirBevel) {
  auto* bar = Add<TStatusBar>(0, 0, 300, 22);
  bar->SetAlign(alBottom);
  bar->Panels = {{gbk::FromUtf8("就绪"), 120, pbLowered, taLeftJustify},
                 {gbk::FromUtf8("第二栏"), 100, pbRaised, taCenter},
                 {"", 50, pbNone, taLeftJustify}};
  bar->Update();
  (new TSkinStatusBar(bar))->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = bar->Handle();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    RECT p{};
    SendMessageW(h, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&p));
    EXPECT_EQ(OnScreen(h, p.left + 1, p.top + 1), kEdges[static_cast<size_t>(i)]);
  }
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("statusbar.png"));
  bar->SimplePanel = true;
  bar->SimpleText = gbk::FromUtf8("简单");
  bar->Update();
  gui::Pump(150);
  RECT c;
  GetClientRect(h, &c);
  EXPECT_EQ(OnScreen(h, c.right - 40, 2), kEdges[0]) << "simple mode: one lowered panel over the bar";
}

// ---- Track bars ----

TEST_F(TabsBars, TrackBarWearsTheTrackAndThumbAndStillDrags) {
  auto* track = Add<TTrackBar>(20, 150, 240, 34);
  track->SetRange(0, 10);
  (new TSkinTrackBar(track))->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = track->Handle();
  RECT channel{}, thumb{};
  SendMessageW(h, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  const int cy = (channel.top + channel.bottom) / 2;
  EXPECT_EQ(OnScreen(h, channel.right - 20, cy), kTrack);
  EXPECT_EQ(OnScreen(h, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), kThumb);

  MoveTo(h, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  for (int x = thumb.left; x <= channel.right; x += 20) MoveTo(h, x, (thumb.top + thumb.bottom) / 2);
  MouseButton(MOUSEEVENTF_LEFTUP);
  gui::Pump(150);
  EXPECT_EQ(track->Position(), 10) << "dragged to the end";
  SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  EXPECT_EQ(OnScreen(h, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), kThumb);
  EXPECT_EQ(OnScreen(h, channel.left + 20, cy), kTrack);
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("trackbar.png"));
}

// ---- Tool bars ----

TEST_F(TabsBars, ToolBarStandsOnTheSkinsImageAndItsButtonsStillClick) {
  auto* bar = Add<TToolBar>(0, 0, 400, 30);
  bar->AddButton(gbk::FromUtf8("打开"));
  bar->AddButton(gbk::FromUtf8("保存"));
  std::vector<int> clicked;
  bar->OnButtonClick = [&](int i) { clicked.push_back(i); };
  (new TSkinToolbar(bar))->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = bar->Handle();
  RECT second{};
  SendMessageW(h, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  EXPECT_EQ(OnScreen(h, 390, 15), kToolbar) << "the ground beside the buttons";
  MoveTo(h, (second.left + second.right) / 2, (second.top + second.bottom) / 2);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
  gui::Pump(100);
  EXPECT_EQ(clicked, std::vector<int>{1});
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("toolbar.png"));
}

}  // namespace
