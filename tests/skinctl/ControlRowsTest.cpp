// The skinners' shared rules on real controls of a test form: properties read and set
// by name, the colours a skinner hands to a grid and to its bar panels, repaints asked
// for by the class library's notices, the bit button's image-list glyph and picture,
// custom drawing of track bars, and the erase of tab strips and bare up-downs; what the
// window shows is read back from the screen or from a bitmap it painted into.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/GlyphChecks.h"
#include "classlib/Grids.h"
#include "classlib/ScrollBar.h"
#include "classlib/StdCtrls.h"
#include "skin/BitmapPixels.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"
#include "skinctl/SkinCtlFixture.h"
#include "support/Gui.h"

using skinctl::Frames;
using skinctl::kButtonFrames;
using skinctl::kFace;
using skinctl::OnScreen;
using skinctl::Painted;
using skintest::Rgb;

namespace {

constexpr TColor kJunk = Rgb(255, 0, 255);

// Paints over the window on the screen, as a stale picture would stand there.
void Smear(HWND h) {
  HDC dc = GetWindowDC(h);
  RECT r;
  GetWindowRect(h, &r);
  FillColor(dc, Sized(r), kJunk);
  ReleaseDC(h, dc);
  GdiFlush();
}

// Messages pumped through the application, whose loop acts on the dialog keys.
void AppPump(TApplication& app, int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    app.ProcessMessages();
    Sleep(10);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

// A button of another library that carries only a picture beside its caption.
class TPicButton : public TButton {
 public:
  using TButton::TButton;
  std::string ClassName() const override { return "TPicButton"; }
  TBitmap Picture;

 protected:
  void PublishProperties(TPropertyTable& t) override {
    TButton::PublishProperties(t);
    t.Class<TBitmap>("Picture", [this] { return &Picture; });
  }
};

class ControlRows : public skinctl::FormFixture {
 protected:
  ControlRows() {
    skinctl::FillButtons(data);
    form = new skinctl::TestForm(&app, "控件规则", 50, 50, 440, 320);
  }
  ~ControlRows() override {
    delete form;
    gui::Pump(50);
  }
  // A skinned button of the form, shown and painted.
  TSkinButton* SkinnedButton(TButton* b) {
    auto* s = new TSkinButton(b);
    s->Init(&host, &data, nullptr, false);
    return s;
  }
};

// ---- Properties by name ----

TEST_F(ControlRows, PropertiesAreReadAndSetByNameOnTheLibrarysControls) {
  auto* bit = Add<TBitBtn>(10, 10, 90, 30, "图标");
  bit->Layout = blGlyphTop;
  bit->Margin = 6;
  int clicks = 0;
  bit->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(GetProperty(bit, "Layout"), "blGlyphTop");
  EXPECT_EQ(GetEnumProperty(bit, "layout"), "blGlyphTop");
  EXPECT_EQ(GetProperty(bit, "Margin"), "6");
  EXPECT_EQ(GetIntProperty(bit, "Margin"), 6);
  EXPECT_EQ(GetIntProperty(bit, "Layout"), -1) << "an enumeration is no integer";
  EXPECT_EQ(GetStringProp(bit, "Caption"), gbk::ToWide(gbk::FromUtf8("图标")));
  EXPECT_EQ(GetObjProp<TBitmap>(bit, "Glyph"), &bit->Glyph);
  EXPECT_EQ(GetObjProp<TBitmap>(bit, "Images"), nullptr) << "an image list is no bitmap";
  TNotifyEvent click = GetObjMethod(bit, "OnClick");
  ASSERT_TRUE(click);
  click(bit);
  EXPECT_EQ(clicks, 1);

  SetProperty(bit, "Layout", "BLGLYPHRIGHT");
  SetProperty(bit, "Margin", "12");
  SetProperty(bit, "Caption", gbk::FromUtf8("新"));
  SetProperty(bit, "Enabled", "false");
  EXPECT_EQ(bit->Layout, blGlyphRight);
  EXPECT_EQ(bit->Margin, 12);
  EXPECT_EQ(gbk::ToUtf8(bit->Caption()), "新");
  EXPECT_FALSE(IsWindowEnabled(bit->Handle()));

  auto* rz = Add<TRzCheckBox>(10, 50, 90, 20);
  SetProperty(rz, "UseCustomGlyphs", "True");
  SetProperty(rz, "TransparentColor", std::to_string(kJunk));
  EXPECT_TRUE(rz->UseCustomGlyphs);
  EXPECT_EQ(rz->TransparentColor, kJunk);
}

TEST_F(ControlRows, PropertyHelpersGiveTheirDefaultsForNoObjectAndUnknownNames) {
  auto* b = Add<TButton>(10, 10, 90, 30, "按钮");
  EXPECT_EQ(GetProperty(nullptr, "Color"), "");
  EXPECT_EQ(GetIntProperty(nullptr, "Color"), -1);
  EXPECT_EQ(GetIntProperty(b, "NoSuch"), -1);
  EXPECT_EQ(GetIntProperty(b, "Caption"), -1) << "a string is no integer";
  EXPECT_EQ(GetEnumProperty(b, "Color"), "");
  EXPECT_EQ(GetStringProp(b, "NoSuch"), L"");
  EXPECT_FALSE(GetObjMethod(b, "NoSuch"));
  EXPECT_EQ(GetObjProp<TBitmap>(b, "Glyph"), nullptr);
  SetProperty(nullptr, "Color", "0");
  SetProperty(b, "Color", "not a number");
  EXPECT_EQ(b->Color(), clBtnFace);
}

// ---- Colours a skinner hands out ----

TEST_F(ControlRows, ScrollBarPanelsStandOnTheParentsColourAndAParentlessControlKeepsTheFace) {
  auto* panel = Add<TPanel>(10, 10, 300, 200);
  panel->SetColor(Rgb(30, 60, 90));
  auto* memo = new TMemo(form);
  memo->SetParent(panel);
  memo->SetBounds(10, 10, 200, 120);
  memo->ScrollBars = ssBoth;
  auto* s = new TSkinScrollbar(memo);
  s->InitScrollbar(memo, &data, nullptr, &host);
  EXPECT_EQ(s->GetParentColor(clWhite), Rgb(30, 60, 90));
  ASSERT_NE(s->VertBar(), nullptr);
  EXPECT_EQ(s->VertBar()->Color(), Rgb(30, 60, 90));
  EXPECT_EQ(s->HorzBar()->Color(), Rgb(30, 60, 90));

  auto* lone = new TButton(form);
  auto* bs = new TSkinButton(lone);
  EXPECT_EQ(bs->GetParentColor(kFace), kFace) << "no parent";
  delete lone;
}

TEST_F(ControlRows, GridHeadingsTakeTheFaceFollowTheSkinAndGetTheirOwnColourBack) {
  auto* grid = Add<TStringGrid>(10, 10, 330, 130);
  grid->FixedRows = 1;
  grid->SetFixedColor(Rgb(250, 240, 20));
  auto* s = new TSkinScrollbar(grid);
  s->InitScrollbar(grid, &data, nullptr, &host);
  EXPECT_EQ(grid->FixedColor(), kFace);
  ShowAway();
  EXPECT_EQ(OnScreen(grid->Handle(), 20, 8), kFace) << "the heading row on the face";
  EXPECT_EQ(OnScreen(grid->Handle(), 20, grid->DefaultRowHeight + 8), ColorToRGB(clWindow)) << "a body cell";
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("grid-headings.png"));

  data.SchemeColors[csButtonFace] = Rgb(100, 110, 120);
  s->SkinChange();
  EXPECT_EQ(grid->FixedColor(), Rgb(100, 110, 120));
  // The skin changed once before: still the grid's own colour comes back, not the old face.
  s->Unsubclass();
  EXPECT_EQ(grid->FixedColor(), Rgb(250, 240, 20));
  delete s;
  EXPECT_EQ(grid->FixedColor(), Rgb(250, 240, 20));
}

TEST_F(ControlRows, AScrollBarControlsKindGivesItsPanelsAxis) {
  auto* bar = Add<TScrollBar>(350, 10, 20, 200);
  bar->Kind = sbVertical;
  auto* s = new TSkinScControl(bar);
  s->InitScrollbar(bar, &data, nullptr, &host);
  ASSERT_NE(s->Bar(), nullptr);
  // Along a vertical bar the part is told by y: near the bottom lies the second arrow.
  EXPECT_EQ(s->Bar()->GetScrollPos(POINT{5, 195}), 1);
  EXPECT_EQ(s->Bar()->GetScrollPos(POINT{5, 3}), 0);
}

// ---- The base's small rules ----

TEST_F(ControlRows, WindowLongPopupTestAndState) {
  auto* b = Add<TButton>(10, 10, 90, 30, "按钮");
  auto* combo = Add<TComboBox>(120, 10, 120, 200);
  TSkinButton* s = SkinnedButton(b);
  EXPECT_EQ(s->GetWindowLongEx(b->Handle(), GWL_STYLE), GetWindowLongW(b->Handle(), GWL_STYLE));
  EXPECT_EQ(s->GetState(), scDown);
  EXPECT_FALSE(IsTopPopup(b->Handle())) << "a child of the form";
  COMBOBOXINFO info{sizeof info};
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  EXPECT_TRUE(IsTopPopup(info.hwndList)) << "a drop-down list stands above the desktop";
  HWND pop = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, form->Handle(), nullptr, nullptr, nullptr);
  EXPECT_TRUE(IsTopPopup(pop));
  DestroyWindow(pop);
}

TEST_F(ControlRows, AControlSkinnedWithoutAFormSkinnerPaintsItselfInTheSkin) {
  auto* b = Add<TButton>(10, 10, 90, 30, "按钮");
  ShowAway();
  EXPECT_NE(OnScreen(b->Handle(), 3, 3), kButtonFrames[0]) << "the system's look first";
  (new TSkinButton(b))->Init(nullptr, &data, nullptr, false);
  gui::Pump(150);
  EXPECT_EQ(OnScreen(b->Handle(), 3, 3), kButtonFrames[0]);
}

TEST_F(ControlRows, EnabledNoticeRepaintsAndTheFormsPollEndsTheHover) {
  auto* b = Add<TButton>(10, 10, 90, 30, "按钮");
  TSkinButton* s = SkinnedButton(b);
  ShowAway();
  Smear(b->Handle());
  SendMessageW(b->Handle(), CM_ENABLEDCHANGED, 0, 0);
  EXPECT_EQ(OnScreen(b->Handle(), 3, 3), kButtonFrames[0]);

  gui::Hover(b->Handle());
  gui::Pump(100);
  ASSERT_TRUE(InSet(s->States(), scMouseIn));
  EXPECT_EQ(OnScreen(b->Handle(), 3, 3), kButtonFrames[3]);
  s->MouseLeave();  // what the form's cursor poll does for a control the pointer left
  EXPECT_FALSE(InSet(s->States(), scMouseIn));
  gui::Pump(50);
  EXPECT_EQ(OnScreen(b->Handle(), 3, 3), kButtonFrames[0]);
  gui::MoveMouse(2, 2);
}

// ---- Buttons ----

TEST_F(ControlRows, ANewCaptionNeverShowsTheSystemsFaceAndSuspendedDrawingComesBack) {
  auto* b = Add<TButton>(10, 10, 90, 30, "旧");
  TSkinButton* s = SkinnedButton(b);
  ShowAway();
  b->SetText(gbk::FromUtf8("新的标题"));
  EXPECT_TRUE(IsWindowVisible(b->Handle()));
  EXPECT_EQ(OnScreen(b->Handle(), 3, 3), kButtonFrames[0]);

  s->SuspendRedraw();
  EXPECT_FALSE(IsWindowVisible(b->Handle()));
  Smear(b->Handle());
  gui::Pump(400);  // timer 1 gives the drawing back
  EXPECT_TRUE(IsWindowVisible(b->Handle()));
  EXPECT_EQ(OnScreen(b->Handle(), 3, 3), kButtonFrames[0]);
}

TEST_F(ControlRows, FocusMovesAndDialogKeysRepaintTheButtons) {
  auto* b = Add<TButton>(10, 10, 90, 30, "按钮");
  auto* first = Add<TEdit>(10, 60, 120, 24);
  auto* second = Add<TEdit>(10, 100, 120, 24);
  SkinnedButton(b);
  ShowAway();
  gui::Focus(first->Handle());
  AppPump(app, 100);
  Smear(b->Handle());
  gui::MouseClick(second->Handle(), POINT{5, 5});
  AppPump(app, 150);
  EXPECT_EQ(GetFocus(), second->Handle());
  EXPECT_EQ(OnScreen(b->Handle(), 3, 3), kButtonFrames[0]) << "the focus moved: repainted";

  Smear(b->Handle());
  gui::PressKey(second->Handle(), VK_RETURN);
  AppPump(app, 150);
  EXPECT_EQ(GetFocus(), second->Handle());
  EXPECT_EQ(OnScreen(b->Handle(), 3, 3), kButtonFrames[0]) << "a dialog key: repainted";
}

TEST_F(ControlRows, BitButtonTakesItsImageFromTheListAndTheDisabledOneWhenDisabled) {
  HIMAGELIST list = ImageList_Create(12, 12, ILC_COLOR24, 2, 0);
  for (TColor c : {Rgb(220, 20, 20), Rgb(20, 20, 220)}) {
    auto bmp = skintest::Solid(12, 12, c);
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(bmp->Handle(), IMAGE_BITMAP, 0, 0, 0));
    ImageList_Add(list, copy, nullptr);
    DeleteObject(copy);
  }
  auto* b = Add<TBitBtn>(10, 10, 80, 40);
  b->Images = list;
  b->ImageIndex = 0;
  b->DisabledIndex = 1;
  (new TSkinBitButton(b))->Init(&host, &data, nullptr, false);
  auto shot = Painted(b->Handle());
  EXPECT_EQ(shot->Pixel(40, 20), Rgb(220, 20, 20)) << "no caption: the image centred";
  b->SetEnabled(false);
  shot = Painted(b->Handle());
  EXPECT_EQ(shot->Pixel(40, 20), Rgb(20, 20, 220));
  b->DisabledIndex = -1;
  shot = Painted(b->Handle());
  EXPECT_EQ(shot->Pixel(40, 20), Rgb(220, 20, 20)) << "no disabled image named";
  delete b;
  ImageList_Destroy(list);
}

TEST_F(ControlRows, BitButtonAlignmentCentreOverridesTheMargin) {
  auto* b = Add<TBitBtn>(10, 10, 100, 30);
  b->Glyph.SetSize(10, 10);
  FillColor(b->Glyph.Canvas().Handle(), RECT{0, 0, 10, 10}, Rgb(0, 200, 90));
  b->Glyph.Canvas().SetPixel(0, 9, kJunk);  // the lower-left pixel names the transparent colour
  b->Margin = 4;
  (new TSkinBitButton(b))->Init(&host, &data, nullptr, false);
  // The client area starts 2 pixels in: a margin of 4 puts the glyph at x 6.
  auto shot = Painted(b->Handle());
  EXPECT_EQ(shot->Pixel(8, 15), Rgb(0, 200, 90));
  EXPECT_EQ(shot->Pixel(50, 15), kButtonFrames[0]);
  b->Alignment = taCenter;
  shot = Painted(b->Handle());
  EXPECT_EQ(shot->Pixel(8, 15), kButtonFrames[0]);
  EXPECT_EQ(shot->Pixel(50, 15), Rgb(0, 200, 90));
}

TEST_F(ControlRows, AButtonWithOnlyAPictureShowsItBesideTheCaption) {
  auto* b = Add<TPicButton>(10, 10, 120, 30, "图");
  b->Picture.SetSize(12, 12);
  FillColor(b->Picture.Canvas().Handle(), RECT{0, 0, 12, 12}, Rgb(200, 100, 0));
  b->Picture.Canvas().SetPixel(0, 11, kJunk);
  (new TSkinBitButton(b))->Init(&host, &data, nullptr, false);
  auto shot = Painted(b->Handle());
  bool found = false;
  for (int x = 0; x < 60 && !found; ++x) found = shot->Pixel(x, 15) == Rgb(200, 100, 0);
  EXPECT_TRUE(found) << "the picture stands left of the caption";
  EXPECT_NE(shot->Pixel(60, 15), Rgb(200, 100, 0));
}

// ---- Track bars, tab strips and up-downs ----

TEST_F(ControlRows, TrackBarAnswersCustomDrawingForThePartsItsSkinHas) {
  constexpr TColor kThumb = Rgb(250, 150, 0);
  data.TrackbarThumbHorz = std::make_unique<TDataSkinObject>("Trackbar.ThumbHorz");
  data.TrackbarThumbHorz->Image = Frames(11, 20, {Rgb(1, 1, 1), kThumb, Rgb(2, 2, 2), Rgb(3, 3, 3), Rgb(4, 4, 4)});
  auto* track = Add<TTrackBar>(20, 150, 240, 34);
  track->SetRange(0, 10);
  (new TSkinTrackBar(track))->Init(&host, &data, nullptr, false);
  HWND h = track->Handle();
  TBitmap canvas;
  canvas.SetSize(240, 34);
  NMCUSTOMDRAW cd{};
  cd.hdr = NMHDR{h, static_cast<UINT_PTR>(GetDlgCtrlID(h)), static_cast<UINT>(NM_CUSTOMDRAW)};
  cd.hdc = canvas.Canvas().Handle();
  auto ask = [&](DWORD stage, DWORD_PTR item) {
    cd.dwDrawStage = stage;
    cd.dwItemSpec = item;
    return SendMessageW(form->Handle(), WM_NOTIFY, cd.hdr.idFrom, reinterpret_cast<LPARAM>(&cd));
  };
  EXPECT_EQ(ask(CDDS_PREPAINT, 0), CDRF_NOTIFYITEMDRAW);
  EXPECT_EQ(ask(CDDS_ITEMPREPAINT, TBCD_THUMB), CDRF_SKIPDEFAULT);
  RECT thumb{};
  SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  EXPECT_EQ(canvas.Pixel((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), kThumb);
  EXPECT_EQ(ask(CDDS_ITEMPREPAINT, TBCD_CHANNEL), CDRF_DODEFAULT) << "no track image: the control's channel";
  EXPECT_EQ(ask(CDDS_ITEMPREPAINT, TBCD_TICS), CDRF_DODEFAULT);

  // On the screen the thumb is the skin's, the channel the control's own.
  ShowAway();
  SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  EXPECT_EQ(OnScreen(h, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), kThumb);
  RECT channel{};
  SendMessageW(h, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  EXPECT_NE(OnScreen(h, channel.right - 10, (channel.top + channel.bottom) / 2), kThumb);
}

TEST_F(ControlRows, ATabStripsPageAreaIsErasedToTheFace) {
  data.Tabs = std::make_unique<TDataSkinBorder>("Tabs");
  data.Tabs->Image = Frames(20, 20, {Rgb(250, 0, 0), Rgb(0, 250, 0)});
  data.Tabs->Frame = 2;
  ShowAway();
  HWND h = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 260, 160, form->Handle(), nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  TCITEMW item{TCIF_TEXT};
  item.pszText = const_cast<wchar_t*>(L"one");
  SendMessageW(h, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  auto* s = new TSkinTab(form);
  s->Inithwnd(h, &data, nullptr, nullptr);
  Smear(h);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  gui::Pump(50);
  RECT page;
  GetClientRect(h, &page);
  SendMessageW(h, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  EXPECT_EQ(OnScreen(h, (page.left + page.right) / 2, (page.top + page.bottom) / 2), kFace);
  delete s;
  DestroyWindow(h);
}

TEST_F(ControlRows, ABareUpDownsEraseIsWhiteAndAControlsIsLeftAlone) {
  HWND bare = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 20, 40, form->Handle(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  auto* s = new TSkinUpDown(form);
  s->Inithwnd(bare, &data, nullptr, nullptr);
  TBitmap under;
  under.SetSize(20, 40);
  FillColor(under.Canvas().Handle(), RECT{0, 0, 20, 40}, kJunk);
  EXPECT_EQ(SendMessageW(bare, WM_ERASEBKGND, reinterpret_cast<WPARAM>(under.Canvas().Handle()), 0), 1);
  EXPECT_EQ(under.Pixel(10, 20), clWhite);

  auto* ud = Add<TUpDown>(40, 10, 20, 40);
  (new TSkinUpDown(ud))->Init(&host, &data, nullptr, false);
  FillColor(under.Canvas().Handle(), RECT{0, 0, 20, 40}, kJunk);
  EXPECT_EQ(SendMessageW(ud->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(under.Canvas().Handle()), 0), 1);
  EXPECT_EQ(under.Pixel(10, 20), kJunk);
  delete s;
  DestroyWindow(bare);
}

// ---- Painted scroll bars ----

TEST(ScrollbarLook, GripsFarFromTheSystemsThicknessTakeItAndArrowsLeaveOutTheKeyColour) {
  TSkinData d(nullptr);
  d.SchemeColors[csButtonFace] = kFace;
  constexpr TColor kGrip = Rgb(0, 255, 0), kPlain = Rgb(40, 40, 40), kThumb = Rgb(200, 0, 200);
  std::vector<TColor> frames(23, kPlain);
  frames[19] = kGrip;      // frame 20: the vertical grip
  frames[8] = kKeyColour;  // frame 9: the up arrow, all of it transparent
  const int arrow = GetSystemMetrics(SM_CXVSCROLL);
  d.Scrollbar = std::make_unique<TDataSkinObject>("Scrollbar");
  d.Scrollbar->Image = Frames(8, 8, frames);
  d.VertScrollThumb = std::make_unique<TDataSkinObject>("VertScrollThumb");
  d.VertScrollThumb->Image = Frames(8, 8, {kThumb, kThumb, kThumb});
  d.VertScrollThumb->Frame = 3;
  TBitmap bar;
  bar.SetSize(arrow, 300);
  const int mid = 150;
  DrawSkinScrollbar(bar.Canvas().Handle(), RECT{0, 0, arrow, 300}, d, true, true, mid - 40, mid + 40, -1, false, arrow);
  // An 8-pixel grip would end 4 pixels from the middle; the system's reaches further.
  EXPECT_EQ(bar.Pixel(arrow / 2, mid + arrow / 2 - 2), kGrip);
  EXPECT_EQ(bar.Pixel(arrow / 2, mid + arrow / 2 + 4), kThumb);
  EXPECT_EQ(bar.Pixel(arrow / 2, arrow / 2), kFace) << "the key colour shows the face";
  EXPECT_EQ(bar.Pixel(arrow / 2, 300 - arrow / 2), kPlain);
}

}  // namespace
