// Painted scroll bars, combo boxes, up-downs and list headers on real controls under a
// real mouse (SendInput), read back from the screen. Runs on its own display.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/ListView.h"
#include "classlib/ReadOnlyMemo.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"
#include "support/Gui.h"

namespace {

using gui::PlayWhilePumping;
using gui::ScreenPixel;

class TestForm : public TForm {
 public:
  explicit TestForm(TComponent* owner) : TForm(owner) {
    SetBounds(30, 30, 520, 360);
    SetText(gbk::FromUtf8("个人起名"));
    DoCreate();
  }
};

void PressAt(POINT p) {
  gui::MoveMouse(p.x, p.y);
  gui::Pump(60);
  gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
}

void ClickAt(POINT p) {
  PressAt(p);
  gui::Pump(60);
  gui::MouseButton(MOUSEEVENTF_LEFTUP);
  gui::Pump(150);
}

// The centre pixel of frame `frame` (from 1) of `frames` side by side.
COLORREF FrameCentre(const TBitmap& b, int frames, int frame, int dy = 0) {
  const int fw = b.Width() / frames;
  return static_cast<COLORREF>(b.Pixel((frame - 1) * fw + fw / 2, b.Height() / 2 + dy));
}

class Skinned : public ::testing::Test {
 protected:
  Skinned() : data(nullptr) {
    const bool loaded = data.LoadFromFile(std::string(TORVIK_PROGRAM_DIR) + "\\skins\\Mx1.skn");
    EXPECT_TRUE(loaded);
    form = new TestForm(&app);
    form->SetColor(data.SchemeColors[csButtonFace]);
  }
  ~Skinned() override { delete form; }
  template <class C>
  C* Add(int x, int y, int w, int h) {
    auto* c = new C(form);
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    return c;
  }
  // The keyboard on the form itself: a shown form gives it to its first control, whose
  // focused look these tests read only where they focus it themselves.
  void Show() {
    form->Show();
    SetForegroundWindow(form->Handle());
    gui::Pump(150);
    SetFocus(form->Handle());
    gui::Pump(150);
  }
  TApplication app;
  TSkinData data;
  TForm* form = nullptr;
};

TMemo* LongMemo(TMemo* memo, int lines) {
  std::string text;
  for (int i = 1; i <= lines; ++i) text += gbk::FromUtf8("第") + std::to_string(i) + gbk::FromUtf8("行\r\n");
  memo->SetText(text);
  return memo;
}

// ---- Scroll bars ----

// The skin's bar over the memo's: painted from the skin's frames, a click on its down
// arrow scrolls a line and a drag of its thumb to the end shows the last line.
void BarScrollsByArrowAndThumb(TSkinData& data, TForm* form, TMemo* memo, const std::string& shot) {
  auto* skin = new TSkinScrollbar(memo);
  skin->InitScrollbar(memo, &data, nullptr, nullptr);
  form->Show();
  SetForegroundWindow(form->Handle());
  gui::Pump(300);
  HWND h = memo->Handle();
  TWScrollbar* bar = skin->VertBar();
  ASSERT_TRUE(bar && bar->Shown());
  RECT br;
  GetWindowRect(bar->Handle(), &br);
  SCROLLBARINFO info{sizeof info};
  ASSERT_TRUE(TSkinData::GetScrollBarInfo(h, OBJID_VSCROLL, &info));
  EXPECT_EQ(br.left, info.rcScrollBar.left);
  EXPECT_EQ(br.top, info.rcScrollBar.top);
  // The down arrow is frame 13 of the skin's 23 scroll-bar frames, its centre unstretched.
  const TBitmap& frames = *data.Scrollbar->Image;
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  const POINT down{(br.left + br.right) / 2, br.bottom - arrow / 2 - 1};
  const POINT up{(br.left + br.right) / 2, br.top + arrow / 2};
  EXPECT_EQ(ScreenPixel(up.x, up.y), FrameCentre(frames, 23, 9));
  EXPECT_EQ(ScreenPixel(down.x, down.y), FrameCentre(frames, 23, 13));
  // A click on the down arrow scrolls by a line.
  ASSERT_EQ(SendMessageW(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  PlayWhilePumping([&] {
    gui::MoveMouse(down.x, down.y);
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_LEFTUP);
  });
  EXPECT_GT(SendMessageW(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  // Dragging the thumb to the end shows the last line.
  ASSERT_TRUE(TSkinData::GetScrollBarInfo(h, OBJID_VSCROLL, &info));
  const POINT thumb{(br.left + br.right) / 2, br.top + (info.xyThumbTop + info.xyThumbBottom) / 2};
  PlayWhilePumping([&] {
    gui::MoveMouse(thumb.x, thumb.y);
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
    for (int y = thumb.y; y <= br.bottom + 8; y += 8) {  // past the end, within the system's reach
      Sleep(30);
      gui::MoveMouse(thumb.x, y);
    }
    // A loaded machine may merge the moves: the last one, at the bar's end, is what counts.
    gui::MoveMouse(thumb.x, br.bottom - 1);
    Sleep(150);
    gui::MouseButton(MOUSEEVENTF_LEFTUP);
  });
  const LRESULT lines = SendMessageW(h, EM_GETLINECOUNT, 0, 0);
  RECT client;
  GetClientRect(h, &client);
  const LRESULT lastShown = SendMessageW(h, EM_CHARFROMPOS, 0, MAKELPARAM(2, client.bottom - 2));
  EXPECT_GE(HIWORD(lastShown), lines - 2) << "the last line is in view";
  EXPECT_TRUE(gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath(shot)));
}

TEST_F(Skinned, AMemosBarShowsTheSkinAndScrollsByArrowAndThumb) {
  BarScrollsByArrowAndThumb(data, form, LongMemo(Add<TMemo>(20, 20, 220, 200), 80), "skin_scroll_memo.png");
}

TEST_F(Skinned, AReadOnlyMemosBarShowsTheSkinAndScrollsByArrowAndThumb) {
  BarScrollsByArrowAndThumb(data, form, LongMemo(Add<TReadOnlyMemo>(20, 20, 220, 200), 80),
                            "skin_scroll_readonly_memo.png");
}

TEST_F(Skinned, ShortAndDisabledBarsDrawArrowsWithoutAThumb) {
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  struct Case {
    const char* name;
    int length;
    bool enabled;
    int upFrame, downFrame;
  };
  for (const Case& c : {Case{"short: half arrows", 20, true, 9, 13}, Case{"disabled", 120, false, 11, 15},
                        Case{"normal", 120, true, 9, 13}}) {
    SCOPED_TRACE(c.name);
    TBitmap b;
    b.SetSize(arrow, c.length);
    const int a = std::min(arrow, c.length / 2);
    // A thumb in the middle of the bar, drawn only when there is room and the bar is enabled.
    DrawSkinScrollbar(b.Canvas().Handle(), RECT{0, 0, arrow, c.length}, data, true, c.enabled, c.length / 2 - 4,
                      c.length / 2 + 4, -1, false, arrow);
    TBitmap expectUp, expectDown;
    for (auto [bmp, frame] : {std::pair{&expectUp, c.upFrame}, std::pair{&expectDown, c.downFrame}}) {
      bmp->SetSize(arrow, a);
      FillColor(bmp->Canvas().Handle(), RECT{0, 0, arrow, a}, data.SchemeColors[csButtonFace]);
      DrawRect1(bmp->Canvas().Handle(), RECT{0, 0, arrow, a}, data.Scrollbar->Image.get(), data.Scrollbar->Trans == 1,
                23, frame);
    }
    EXPECT_EQ(b.Pixel(arrow / 2, a / 2), expectUp.Pixel(arrow / 2, a / 2));
    EXPECT_EQ(b.Pixel(arrow / 2, c.length - a + a / 2), expectDown.Pixel(arrow / 2, a / 2));
    if (c.length > 2 * arrow && !c.enabled) {
      const TDataSkinObject& thumb = *data.VertScrollThumb;
      EXPECT_NE(b.Pixel(arrow / 2, c.length / 2), FrameCentre(*thumb.Image, thumb.Frame, 1)) << "no thumb";
    }
  }
}

TEST_F(Skinned, NothingToScrollNeitherCrashesNorDrawsAThumb) {
  struct Case {
    const char* name;
    int lines;
  };
  for (const Case& c : {Case{"empty", 0}, Case{"one line", 1}, Case{"just fits", 5}}) {
    SCOPED_TRACE(c.name);
    auto* memo = LongMemo(Add<TMemo>(260, 20, 200, 160), c.lines);
    auto* skin = new TSkinScrollbar(memo);
    skin->InitScrollbar(memo, &data, nullptr, nullptr);
    Show();
    SendMessageW(memo->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    skin->DrawControl(nullptr, RECT{});
    gui::Pump(100);
    EXPECT_EQ(SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    if (TWScrollbar* bar = skin->VertBar(); bar->Shown()) {
      // Either the bar is gone, or it shows arrows and a track without a thumb: the
      // track's middle is the disabled track frame, not the thumb's.
      RECT br;
      GetWindowRect(bar->Handle(), &br);
      const COLORREF mid = ScreenPixel((br.left + br.right) / 2, (br.top + br.bottom) / 2);
      EXPECT_NE(mid, FrameCentre(*data.VertScrollThumb->Image, data.VertScrollThumb->Frame, 1));
    }
    delete memo;
  }
}

TEST_F(Skinned, ABareListsBarStandsInItsBareParentAndScrollsIt) {
  Show();
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 260, 20, 200, 200, form->Handle(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 150, 150,
                              parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < 50; ++i)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
  auto* skin = new TSkinScrollbarH(form);
  skin->Inithwnd(list, &data, nullptr, nullptr);
  gui::Pump(200);
  TWScrollbar* bar = skin->VertBar();
  ASSERT_TRUE(bar && bar->Shown());
  EXPECT_EQ(GetParent(bar->Handle()), parent);
  EXPECT_EQ(bar->Parent(), nullptr) << "the parent has no object of the class library";
  RECT br;
  GetWindowRect(bar->Handle(), &br);
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  const POINT down{(br.left + br.right) / 2, br.bottom - arrow / 2 - 1};
  EXPECT_EQ(ScreenPixel(down.x, down.y), FrameCentre(*data.Scrollbar->Image, 23, 13));
  PlayWhilePumping([&] {
    gui::MoveMouse(down.x, down.y);
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_LEFTUP);
  });
  EXPECT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
  delete skin;
  EXPECT_EQ(SendMessageW(list, CN_IsSkinned, 0, 0), 0);
  DestroyWindow(parent);
}

// Neither bar covers the square between them: it shows the skin's face, also after the
// list has painted its frame again.
TEST_F(Skinned, ABareWindowsCornerBetweenItsBarsShowsTheSkinsFace) {
  Show();
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 260,
                              20, 180, 150, form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < 50; ++i)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
  SendMessageW(list, LB_SETHORIZONTALEXTENT, 600, 0);
  auto* skin = new TSkinScrollbarH(form);
  skin->Inithwnd(list, &data, nullptr, nullptr);
  gui::Pump(200);
  ASSERT_TRUE(skin->HorzBar()->Shown() && skin->VertBar()->Shown());
  RECT hb, vb;
  GetWindowRect(skin->HorzBar()->Handle(), &hb);
  GetWindowRect(skin->VertBar()->Handle(), &vb);
  const POINT corner{(vb.left + vb.right) / 2, (hb.top + hb.bottom) / 2};
  const auto face = static_cast<COLORREF>(ColorToRGB(data.SchemeColors[csButtonFace]));
  ASSERT_NE(face, GetSysColor(COLOR_BTNFACE)) << "the skin's face must differ from the system's to tell them apart";
  EXPECT_EQ(ScreenPixel(corner.x, corner.y), face);
  RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  gui::Pump(150);
  EXPECT_EQ(ScreenPixel(corner.x, corner.y), face);
  delete skin;
  DestroyWindow(list);
}

// ---- Combo boxes ----

TEST_F(Skinned, AComboShowsItsButtonFramesAndStillChoosesByMouseAndKeyboard) {
  auto* combo = new TComboBox(form);
  combo->Style = csDropDownList;
  combo->SetParent(form);
  combo->SetBounds(20, 20, 120, 22);
  const std::string month = gbk::FromUtf8("月");
  for (int m = 1; m <= 12; ++m) combo->Items().Add(std::to_string(m).append(month));
  combo->SetItemIndex(0);
  auto* skin = new TSkinComBox(combo);
  skin->Init(nullptr, &data, nullptr, false);
  Show();
  HWND h = combo->Handle();
  COMBOBOXINFO cbi{sizeof cbi};
  ASSERT_TRUE(GetComboBoxInfo(h, &cbi));
  POINT button{(cbi.rcButton.left + cbi.rcButton.right) / 2, cbi.rcButton.bottom - 3};
  ClientToScreen(h, &button);
  const TDataSkinBorder& skinButton = *data.ComboButton;
  auto expected = [&](int frame) {
    RECT wr;
    GetWindowRect(h, &wr);
    auto map = GetHMap(Sized(wr), skinButton.Image.get(), skinButton.Margins(), false, false, skinButton.Frame, frame);
    return static_cast<COLORREF>(map->Pixel(button.x - wr.left, button.y - wr.top));
  };
  ASSERT_NE(expected(1), expected(4)) << "the skin tells normal from hot there";
  gui::MoveMouse(button.x - 60, button.y - 60);
  gui::Pump(150);
  EXPECT_EQ(skin->Frame(), 1);
  EXPECT_EQ(ScreenPixel(button.x, button.y), expected(1));
  gui::MoveMouse(button.x, button.y);
  gui::Pump(150);
  EXPECT_EQ(skin->Frame(), 4);
  EXPECT_EQ(ScreenPixel(button.x, button.y), expected(4));
  ClickAt(button);  // opens the list
  ASSERT_TRUE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(skin->Frame(), 2);
  EXPECT_EQ(ScreenPixel(button.x, button.y), expected(2));
  // The list's bar is ours: its down arrow shows frame 13.
  RECT lr;
  GetWindowRect(cbi.hwndList, &lr);
  SCROLLBARINFO info{sizeof info};
  ASSERT_TRUE(TSkinData::GetScrollBarInfo(cbi.hwndList, OBJID_VSCROLL, &info));
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  EXPECT_EQ(ScreenPixel((info.rcScrollBar.left + info.rcScrollBar.right) / 2, info.rcScrollBar.bottom - arrow / 2 - 1),
            FrameCentre(*data.Scrollbar->Image, 23, 13));
  EXPECT_TRUE(gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("skin_combo_open.png")));
  // Choosing the third item by mouse.
  const int itemHeight = static_cast<int>(SendMessageW(cbi.hwndList, LB_GETITEMHEIGHT, 0, 0));
  ClickAt(POINT{lr.left + 20, lr.top + 2 + itemHeight * 2 + itemHeight / 2});
  EXPECT_FALSE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_NE(skin->Frame(), 2) << "closing the list lets the button up";
  EXPECT_EQ(ScreenPixel(button.x, button.y), expected(skin->Frame()));
  // And the next by keyboard.
  SetFocus(h);
  gui::Key(h, VK_DOWN);
  gui::Pump(100);
  EXPECT_EQ(combo->ItemIndex(), 3);
  EXPECT_EQ(skin->Frame(), 4) << "focused";
}

// A skin whose combo button asks for the flat look: a shadow line round a field of the
// window colour, the button from its image, the hot frame under the mouse.
TEST_F(Skinned, AFlatComboIsALineRoundTheFieldAndTheButtonFromItsImage) {
  data.ComboButton->Style = 1;
  auto* combo = Add<TComboBox>(20, 20, 120, 22);
  combo->Style = csDropDownList;
  combo->Items().Add("1");
  combo->SetItemIndex(0);
  auto* skin = new TSkinComBox(combo);
  skin->Init(nullptr, &data, nullptr, false);
  gui::MoveMouse(2, 2);
  Show();
  HWND h = combo->Handle();
  COMBOBOXINFO cbi{sizeof cbi};
  ASSERT_TRUE(GetComboBoxInfo(h, &cbi));
  RECT wr;
  GetWindowRect(h, &wr);
  const int midY = (wr.top + wr.bottom) / 2;
  EXPECT_EQ(ScreenPixel(wr.left, midY), ColorToRGB(data.SchemeColors[csButtonShadow]));
  EXPECT_EQ(ScreenPixel(wr.left + 1, midY), GetSysColor(COLOR_WINDOW)) << "no sunk edge";
  RECT button = cbi.rcButton;
  MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&button), 2);
  const TDataSkinBorder& image = *data.ComboButton;
  auto expected = [&](int frame) {
    auto map = GetHMap(Sized(button), image.Image.get(), image.Margins(), false, false, image.Frame, frame);
    return static_cast<COLORREF>(map->Pixel(Width(button) / 2, Height(button) / 2));
  };
  const POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  EXPECT_EQ(ScreenPixel(centre.x, centre.y), expected(1));
  gui::MoveMouse(centre.x, centre.y);
  gui::Pump(150);
  EXPECT_EQ(skin->Frame(), 4);
  EXPECT_EQ(ScreenPixel(centre.x, centre.y), expected(4));
}

TEST_F(Skinned, DraggingTheThumbOfAnOpenListScrollsItToTheEndAndThePaintedThumbFollows) {
  auto* combo = new TComboBox(form);
  combo->Style = csDropDownList;
  combo->SetParent(form);
  combo->SetBounds(20, 20, 140, 22);
  for (int i = 1; i <= 40; ++i) combo->Items().Add(std::to_string(i));
  combo->SetItemIndex(0);
  auto* skin = new TSkinComBox(combo);
  skin->Init(nullptr, &data, nullptr, false);
  Show();
  HWND h = combo->Handle();
  COMBOBOXINFO cbi{sizeof cbi};
  ASSERT_TRUE(GetComboBoxInfo(h, &cbi));
  POINT button{(cbi.rcButton.left + cbi.rcButton.right) / 2, (cbi.rcButton.top + cbi.rcButton.bottom) / 2};
  ClientToScreen(h, &button);
  ClickAt(button);
  ASSERT_TRUE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0));
  HWND list = cbi.hwndList;
  ASSERT_NE(skin->ListSkinner(), nullptr);
  ASSERT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
  SCROLLBARINFO info{sizeof info};
  ASSERT_TRUE(TSkinData::GetScrollBarInfo(list, OBJID_VSCROLL, &info));
  const RECT bar = info.rcScrollBar;
  const int x = (bar.left + bar.right) / 2;
  const TDataSkinObject& thumb = *data.VertScrollThumb;
  // Frame 1 of the thumb at its top edge's middle, where the grip does not reach.
  const COLORREF thumbNormal = FrameCentre(*thumb.Image, thumb.Frame, 1, -thumb.Image->Height() / 2 + 1);
  EXPECT_EQ(ScreenPixel(x - 2, bar.top + info.xyThumbTop + 1), thumbNormal) << "our thumb at the top";
  const int grab = bar.top + (info.xyThumbTop + info.xyThumbBottom) / 2;
  PlayWhilePumping([&] {
    gui::MoveMouse(x, grab);
    Sleep(80);
    gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
    for (int y = grab; y <= bar.bottom + 10; y += 6) {  // past the end: the thumb stops at the arrow
      Sleep(30);
      gui::MoveMouse(x, y);
    }
    Sleep(80);
    gui::MouseButton(MOUSEEVENTF_LEFTUP);
  });
  EXPECT_TRUE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0)) << "the drag leaves the list open";
  RECT lc;
  GetClientRect(list, &lc);
  const int visible = lc.bottom / static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 40 - visible) << "the last item is in view";
  ASSERT_TRUE(TSkinData::GetScrollBarInfo(list, OBJID_VSCROLL, &info));
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  EXPECT_GE(info.xyThumbBottom, Height(bar) - arrow - 1) << "the system's thumb is at the end";
  EXPECT_EQ(ScreenPixel(x - 2, bar.top + info.xyThumbTop + 1), thumbNormal) << "our thumb is drawn there too";
  EXPECT_TRUE(gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("skin_combo_dragged.png")));
  // Choosing the last item still works after the drag.
  RECT lr;
  GetWindowRect(list, &lr);
  ClickAt(POINT{lr.left + 20, lr.bottom - 6});
  EXPECT_FALSE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(combo->ItemIndex(), 39);
}

// ---- Up-downs ----

TEST_F(Skinned, AnUpDownShowsItsFramesAndKeepsSteppingWhileHeld) {
  auto* edit = Add<TEdit>(20, 20, 60, 22);
  auto* ud = Add<TUpDown>(80, 20, 16, 22);
  ud->SetRange(0, 200);
  ud->SetPosition(100);
  ud->SetAssociate(edit);
  auto* skin = new TSkinUpDown(ud);
  skin->Init(nullptr, &data, nullptr, false);
  Show();
  HWND h = ud->Handle();
  RECT r;
  GetWindowRect(h, &r);
  const TDataSkinBorder& img = *data.UpDownVert;
  auto expected = [&](int half, int state) {
    const RECT whole = Sized(r);
    const int mid = Height(whole) / 2;
    const RECT part = half ? RECT{0, mid, Width(whole), Height(whole)} : RECT{0, 0, Width(whole), mid};
    auto map = GetHMap(Sized(part), img.Image.get(), img.Margins(), false, img.Tile == 1, img.Frame,
                       half * (img.Frame / 2) + state);
    return static_cast<COLORREF>(map->Pixel(1, 1));
  };
  const POINT upEdge{r.left + 1, r.top + 1};
  EXPECT_EQ(ScreenPixel(upEdge.x, upEdge.y), expected(0, 1));
  const POINT upMiddle{(r.left + r.right) / 2, r.top + Height(r) / 4};
  const int before = ud->Position();
  PressAt(upMiddle);
  gui::Pump(900);
  EXPECT_EQ(skin->HalfState(0), 2);
  EXPECT_EQ(ScreenPixel(upEdge.x, upEdge.y), expected(0, 2)) << "pressed while held";
  gui::MouseButton(MOUSEEVENTF_LEFTUP);
  gui::Pump(150);
  EXPECT_GT(ud->Position(), before + 2) << "the held arrow repeats";
  EXPECT_EQ(edit->Text(), std::to_string(ud->Position()));
  EXPECT_NE(skin->HalfState(0), 2);
}

TEST_F(Skinned, AnEditSkinsTheUpDownWhoseBuddyItIs) {
  auto* edit = Add<TEdit>(20, 20, 60, 22);
  auto* ud = Add<TUpDown>(80, 20, 16, 22);
  auto* other = Add<TUpDown>(200, 20, 16, 22);  // no buddy: not the edit's
  ud->SetAssociate(edit);
  auto* skin = new TSkinEdit(edit);
  skin->Init(nullptr, &data, nullptr, false);
  Show();
  ASSERT_NE(skin->Spin(), nullptr);
  EXPECT_EQ(skin->Spin()->Window(), ud->Handle());
  EXPECT_EQ(SendMessageW(other->Handle(), CN_IsSkinned, 0, 0), 0);
  // The print path frames the edit in the shadow colour.
  RECT wr;
  GetWindowRect(edit->Handle(), &wr);
  TBitmap print;
  print.SetSize(Width(wr), Height(wr));
  SendMessageW(edit->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(print.Canvas().Handle()), PRF_NONCLIENT | PRF_CLIENT);
  EXPECT_EQ(print.Pixel(0, Height(wr) / 2), ColorToRGB(data.SchemeColors[csButtonShadow]));
  const LONG_PTR skinned = GetWindowLongPtrW(ud->Handle(), GWLP_WNDPROC);
  delete skin;
  EXPECT_NE(GetWindowLongPtrW(ud->Handle(), GWLP_WNDPROC), skinned) << "the up-down is given back with its edit";
  EXPECT_EQ(SendMessageW(ud->Handle(), CN_IsSkinned, 0, 0), 0);
}

// ---- Date-time pickers ----

TEST_F(Skinned, APickersArrowShowsTheSkinsComboArrowAndOpensTheCalendar) {
  auto* picker = Add<TDateTimePicker>(20, 20, 140, 24);
  auto* skin = new TSkinDateTime(picker);
  skin->Init(nullptr, &data, nullptr, false);
  Show();
  ASSERT_NE(skin->Arrow(), nullptr);
  HWND arrow = skin->Arrow()->Handle();
  RECT ar;
  GetWindowRect(arrow, &ar);
  const TDataSkinObject& img = *data.ComboxArrow;
  auto expected = [&](int frame) {
    TBitmap b;
    b.SetSize(Width(ar), Height(ar));
    DrawRect1(b.Canvas().Handle(), Sized(ar), img.Image.get(), false, img.Frame, frame);
    return static_cast<COLORREF>(b.Pixel(Width(ar) / 2, Height(ar) / 2));
  };
  const POINT mid{(ar.left + ar.right) / 2, (ar.top + ar.bottom) / 2};
  gui::MoveMouse(mid.x - 80, mid.y + 80);
  gui::Pump(150);
  EXPECT_EQ(ScreenPixel(mid.x, mid.y), expected(1));
  gui::MoveMouse(mid.x, mid.y);
  gui::Pump(150);
  EXPECT_EQ(skin->Arrow()->Frame(), 4);
  EXPECT_EQ(ScreenPixel(mid.x, mid.y), expected(4));
  ClickAt(mid);
  gui::Pump(200);
  EXPECT_NE(SendMessageW(picker->Handle(), DTM_GETMONTHCAL, 0, 0), 0) << "the calendar is open";
  gui::Key(picker->Handle(), VK_ESCAPE);
  gui::Pump(100);
}

// ---- List views and their headers ----

TEST_F(Skinned, AListViewsHeaderIsSkinnedItsHotItemFollowsTheMouseAndColumnsStillResize) {
  auto* list = Add<TListView>(20, 20, 400, 200);
  list->AddColumn(gbk::FromUtf8("名字"), 120);
  list->AddColumn(gbk::FromUtf8("评分"), 120);
  for (int i = 0; i < 40; ++i) list->AddItem({std::to_string(i), std::to_string(i * 3)});
  auto* skin = new TSkinListView(list);
  skin->InitScrollbar(list, &data, nullptr, nullptr);
  Show();
  ASSERT_NE(skin->Header(), nullptr);
  ASSERT_TRUE(skin->VertBar()->Shown());
  HWND header = skin->Header()->Window();
  RECT item;
  SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&item), 2);
  gui::MoveMouse(item.left + 30, item.top + 5);
  gui::Pump(150);
  EXPECT_EQ(skin->Header()->HotItem(), 1);
  const TDataSkinObject& bar = *data.Headerbar;
  auto frameAt = [&](int frame) {
    auto map = GetHMap(RECT{0, 0, Width(item), Height(item)}, bar.Image.get(), bar.Margins(), false, bar.Tile == 1,
                       bar.Frame, frame);
    return static_cast<COLORREF>(map->Pixel(1, Height(item) / 2));
  };
  EXPECT_EQ(ScreenPixel(item.left + 1, (item.top + item.bottom) / 2), frameAt(2));
  gui::MoveMouse(item.left - 60, item.top + 5);
  gui::Pump(150);
  EXPECT_EQ(skin->Header()->HotItem(), 0);
  EXPECT_EQ(ScreenPixel(item.left + 1, (item.top + item.bottom) / 2), frameAt(1));
  // Dragging the divider after the first column widens it.
  PressAt(POINT{item.left, item.top + 5});
  for (int dx = 0; dx <= 40; dx += 8) {
    gui::MoveMouse(item.left + dx, item.top + 5);
    gui::Pump(30);
  }
  gui::MouseButton(MOUSEEVENTF_LEFTUP);
  gui::Pump(150);
  EXPECT_GE(SendMessageW(list->Handle(), LVM_GETCOLUMNWIDTH, 0, 0), 150);
  EXPECT_TRUE(gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("skin_listview.png")));
}

// A header that has a skinner already keeps it; the list view's skinner holds no second,
// unattached header skinner, and letting it go leaves the first in place.
TEST_F(Skinned, AListViewWhoseHeaderIsSkinnedAlreadyLeavesItToThatSkinner) {
  auto* list = Add<TListView>(20, 20, 300, 150);
  list->AddColumn("A", 80);
  for (int i = 0; i < 30; ++i) list->AddItem({std::to_string(i)});
  Show();
  HWND header = reinterpret_cast<HWND>(SendMessageW(list->Handle(), LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  auto* first = new TSkinHeader(list);
  first->Inithwnd(header, &data, nullptr, nullptr);
  ASSERT_EQ(first->Stage(), 1);
  const int owned = list->ComponentCount();
  auto* skin = new TSkinListView(list);
  skin->InitScrollbar(list, &data, nullptr, nullptr);
  ASSERT_EQ(skin->Stage(), 1) << "the list view itself is skinned";
  EXPECT_EQ(skin->Header(), nullptr);
  EXPECT_EQ(list->ComponentCount(), owned + 1) << "no stray header skinner on the list view";
  delete skin;
  gui::Pump(100);
  EXPECT_EQ(SendMessageW(header, CN_IsSkinned, 0, 0), 1) << "the first skinner still holds the header";
  EXPECT_EQ(first->Window(), header);
}

// ---- Giving every window back ----

TEST_F(Skinned, FreeingTheSkinnersGivesEveryWindowItsProcedureBack) {
  auto* memo = LongMemo(Add<TMemo>(20, 20, 200, 100), 30);
  auto* list = Add<TListView>(20, 130, 200, 100);
  list->AddColumn("A", 80);
  auto* combo = Add<TComboBox>(240, 20, 120, 22);
  combo->Items().Add("1");
  auto* ud = Add<TUpDown>(240, 60, 16, 22);
  auto* box = Add<TListBox>(240, 100, 120, 80);
  for (int i = 0; i < 30; ++i) box->Items().Add(std::to_string(i));
  Show();
  COMBOBOXINFO cbi{sizeof cbi};
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &cbi));
  HWND header = reinterpret_cast<HWND>(SendMessageW(list->Handle(), LVM_GETHEADER, 0, 0));
  const HWND windows[] = {memo->Handle(), list->Handle(), header,       combo->Handle(),
                          cbi.hwndItem,   cbi.hwndList,   ud->Handle(), box->Handle()};
  std::vector<LONG_PTR> before;
  for (HWND w : windows) before.push_back(GetWindowLongPtrW(w, GWLP_WNDPROC));
  std::vector<TSkinControl*> skinners;
  auto scroll = [&](TSkinScrollbar* s, TWinControl* c) {
    s->InitScrollbar(c, &data, nullptr, nullptr);
    skinners.push_back(s);
  };
  scroll(new TSkinScrollbar(memo), memo);
  auto* lv = new TSkinListView(list);
  scroll(lv, list);
  skinners.push_back(lv->Header());
  for (TSkinControl* s :
       {static_cast<TSkinControl*>(new TSkinComBox(combo)), static_cast<TSkinControl*>(new TSkinUpDown(ud))}) {
    s->Init(nullptr, &data, nullptr, false);
    skinners.push_back(s);
  }
  scroll(new TSkinScrollbar(box), box);
  gui::Pump(200);
  for (size_t i = 0; i < std::size(windows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NE(GetWindowLongPtrW(windows[i], GWLP_WNDPROC), before[i]) << "taken over";
  }
  for (auto it = skinners.rbegin(); it != skinners.rend(); ++it) delete *it;
  gui::Pump(100);
  for (size_t i = 0; i < std::size(windows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetWindowLongPtrW(windows[i], GWLP_WNDPROC), before[i]) << "given back";
  }
}

}  // namespace
