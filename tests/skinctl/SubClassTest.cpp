// The control skinners on real controls of a test form: taking over and giving back the
// window procedure (also with another subclass above ours, and with the control
// destroyed while skinned), and the painting of buttons, check boxes, radio buttons,
// tabs and edits read back from a memory bitmap where the skin's bitmap is known.
#include "skin/WinSubClass.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/StdCtrls.h"
#include "skin/BitmapPixels.h"
#include "skin/WinSkinForm.h"
#include "skinctl/SkinCtlFixture.h"
#include "support/Gui.h"

using skinctl::Frames;
using skinctl::Host;
using skinctl::kButtonFrames;
using skinctl::kFace;
using skinctl::Painted;
using skintest::Rgb;

namespace {

constexpr TColor kShadow = Rgb(90, 90, 90);

std::vector<TColor> Glyphs(int n) {
  std::vector<TColor> c;
  for (int i = 0; i < n; ++i) c.push_back(Rgb(20 + 19 * i, 240 - 19 * i, 60));
  return c;
}

// Skin data with surfaces whose every pixel tells which frame it came from.
void FillData(TSkinData& d, int checkGlyphs, int radioGlyphs) {
  skinctl::FillButtons(d);
  d.SchemeColors[csButtonShadow] = kShadow;
  d.Buttons->CheckButton = Frames(13, 13, Glyphs(checkGlyphs));
  d.Buttons->CheckButtonFrame = checkGlyphs;
  d.Buttons->RadioButton = Frames(13, 13, Glyphs(radioGlyphs));
  d.Buttons->RadioButtonFrame = radioGlyphs;
  d.Tabs = std::make_unique<TDataSkinBorder>("Tabs");
  // Each tab frame is light above and dark below, so a flip shows.
  d.Tabs->Image = skintest::MakeBitmap(40, 20, [](int x, int y) {
    const bool current = x >= 20;
    return y < 10 ? (current ? Rgb(0, 250, 0) : Rgb(250, 0, 0)) : (current ? Rgb(0, 100, 0) : Rgb(100, 0, 0));
  });
  d.Tabs->Frame = 2;
  d.Tabs->Image2 = skintest::Solid(20, 20, Rgb(0, 0, 250));
  d.Tabs->LeftWidth = d.Tabs->RightWidth = d.Tabs->TopHeight = d.Tabs->BottomHeight = 4;
}

// Counts what reaches the procedure below the skinner: the control's own.
struct Probe {
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    Probe* p = Of(h);
    p->seen[m]++;
    return CallWindowProcW(p->old, h, m, w, l);
  }
  static Probe* Of(HWND h) { return static_cast<Probe*>(GetPropW(h, L"TestProbe")); }
  void Install(HWND h, WNDPROC proc = &Proc) {
    SetPropW(h, L"TestProbe", this);
    old = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
  }
  WNDPROC old = nullptr;
  std::map<UINT, int> seen;
};

// A second subclass put above the skinner after it attached.
struct Upper {
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* u = static_cast<Upper*>(GetPropW(h, L"TestUpper"));
    u->count++;
    return CallWindowProcW(u->old, h, m, w, l);
  }
  void Install(HWND h) {
    SetPropW(h, L"TestUpper", this);
    old = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  void Remove(HWND h) {
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropW(h, L"TestUpper");
  }
  WNDPROC old = nullptr;
  int count = 0;
};

// Records when the window procedure's last message came, seen from Unsubclass.
class RecordingSkinner : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  void Unsubclass() override {
    ncDestroyBefore = probe ? probe->seen[WM_NCDESTROY] : -1;
    ++unsubclassed;
    TSkinControl::Unsubclass();
  }
  Probe* probe = nullptr;
  int ncDestroyBefore = -1;
  int unsubclassed = 0;
};

class Skinners : public skinctl::FormFixture {
 protected:
  Skinners() {
    FillData(data, 4, 4);
    form = new skinctl::TestForm(&app, "控件", 40, 40, 420, 300);
  }
  ~Skinners() override { delete form; }
};

// ---- Taking over and giving back the procedure ----

TEST_F(Skinners, PrivateMessagesAndDetachRestoreTheProcedureTakenOver) {
  auto* b = Add<TButton>(10, 10, 80, 26, "确定");
  HWND h = b->Handle();
  Probe probe;
  probe.Install(h);
  auto* s = new TSkinControl(b);
  s->Init(&host, &data, nullptr, true);
  EXPECT_EQ(s->Stage(), 1);
  EXPECT_EQ(host.controls, std::vector<TSkinControl*>{s});
  EXPECT_EQ(b->Color(), kFace) << "recoloured to the skin's face";

  EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 1);
  EXPECT_EQ(probe.seen[CN_IsSkinned], 0) << "the query never reaches the control";
  SendMessageW(h, CN_SkinEnable, 0, 0);
  EXPECT_FALSE(s->SkinningOn());
  EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 0) << "switched off, every message goes to the control";
  EXPECT_EQ(probe.seen[CN_IsSkinned], 1);
  SendMessageW(h, CN_SkinEnable, 1, 0);
  EXPECT_TRUE(s->SkinningOn());
  EXPECT_EQ(probe.seen[CN_SkinEnable], 0);

  s->Unsubclass();
  EXPECT_EQ(b->Color(), clBtnFace) << "colour given back";
  delete s;
  EXPECT_TRUE(host.controls.empty());
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC)), &Probe::Proc);
  EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 0);
}

TEST_F(Skinners, ASubclassAboveOursKeepsWorkingAfterDetachAndTheWindowCanBeSkinnedAgain) {
  auto* e = Add<TEdit>(10, 10, 120, 22);
  HWND h = e->Handle();
  Probe probe;
  probe.Install(h);
  auto* first = new TSkinControl(e);
  first->Init(nullptr, &data, nullptr, false);
  Upper upper;
  upper.Install(h);
  delete first;
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC)), &Upper::Proc) << "theirs stays on top";
  SendMessageW(h, WM_USER + 7, 0, 0);
  EXPECT_EQ(upper.count, 1);
  EXPECT_EQ(probe.seen[WM_USER + 7], 1) << "messages still pass down to the control";
  EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 0);

  auto* second = new TSkinControl(e);
  second->Init(nullptr, &data, nullptr, false);
  EXPECT_EQ(second->Stage(), 1);
  EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 1) << "the link in place is taken up again";
  auto* third = new TSkinControl(e);
  third->Init(nullptr, &data, nullptr, false);
  EXPECT_EQ(third->Stage(), 0) << "one skinner a window";
  delete third;
  EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 1);

  upper.Remove(h);
  delete second;
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC)), &Probe::Proc);
  EXPECT_EQ(GetPropW(h, L"TorvikSkinLink"), nullptr);
}

TEST_F(Skinners, AWindowDestroyedWhileSkinnedSeesNcDestroyOnceAndLeavesTheSkinnerHarmless) {
  // A bare window: the skinner outlives it and is freed by its host afterwards.
  HWND bare = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, form->Handle(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  Probe probe;
  probe.Install(bare);
  auto* s = new RecordingSkinner(nullptr);
  s->probe = &probe;
  s->Inithwnd(bare, &data, nullptr, &host);
  DestroyWindow(bare);
  EXPECT_EQ(s->Stage(), 6);
  EXPECT_EQ(s->unsubclassed, 1);
  EXPECT_EQ(s->ncDestroyBefore, 1) << "the control saw WM_NCDESTROY once, before Unsubclass";
  EXPECT_FALSE(s->SkinningOn());
  delete s;
  EXPECT_TRUE(host.controls.empty());

  // A class-library control freed while skinned frees its skinner with it.
  auto* b = Add<TButton>(10, 40, 80, 26, "b");
  auto* owned = new TSkinButton(b);
  owned->Init(&host, &data, nullptr, true);
  ASSERT_EQ(host.controls.size(), 1u);
  delete b;
  EXPECT_TRUE(host.controls.empty());
}

// ---- Buttons ----

TEST_F(Skinners, ButtonFramesFollowFocusMouseAndDisabling) {
  auto* b = Add<TButton>(10, 10, 80, 26, "确定");
  auto* other = Add<TButton>(100, 10, 80, 26, "取消");
  form->Show();
  HWND h = b->Handle();
  auto* s = new TSkinButton(b);
  s->Init(&host, &data, nullptr, false);
  SetFocus(other->Handle());
  auto frameAt = [&] { return Painted(h)->Pixel(4, 4); };
  struct Row {
    const char* what;
    std::function<void()> act;
    int frame;
  };
  const Row rows[] = {
      {"normal", [] {}, 1},
      {"focused", [&] { SetFocus(h); }, 5},
      {"mouse over", [&] { SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }, 4},
      {"pressed", [&] { SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }, 2},
      {"released outside", [&] { SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(200, 5)); }, 4},
      {"left", [&] { SendMessageW(h, WM_MOUSELEAVE, 0, 0); }, 5},
      {"disabled, mouse over",
       [&] {
         b->SetEnabled(false);
         SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
       },
       3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.act();
    EXPECT_EQ(s->Frame(), row.frame);
    EXPECT_EQ(frameAt(), kButtonFrames[static_cast<size_t>(row.frame - 1)]);
  }
}

TEST_F(Skinners, AButtonClicksOnlyWhenReleasedOverIt) {
  auto* b = Add<TButton>(10, 10, 80, 26, "确定");
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  HWND h = b->Handle();
  (new TSkinButton(b))->Init(nullptr, &data, nullptr, false);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(300, 5));
  gui::Pump(50);
  EXPECT_EQ(clicks, 0);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
  gui::Pump(50);
  EXPECT_EQ(clicks, 1);
  SendMessageW(h, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(Painted(h)->Pixel(4, 4), kButtonFrames[1]) << "space shows the button pressed";
  SendMessageW(h, WM_KEYUP, VK_SPACE, 0);
  EXPECT_NE(Painted(h)->Pixel(4, 4), kButtonFrames[1]);
}

TEST_F(Skinners, AButtonWithoutASkinImagePaintsItself) {
  data.Buttons->Image = std::make_unique<TBitmap>();
  auto* b = Add<TButton>(10, 10, 80, 26, "确定");
  HWND h = b->Handle();
  const TColor plain = Painted(h)->Pixel(40, 3);
  (new TSkinButton(b))->Init(nullptr, &data, nullptr, false);
  EXPECT_EQ(Painted(h)->Pixel(40, 3), plain);
}

// ---- Check boxes and radio buttons ----

TEST_F(Skinners, CheckAndRadioGlyphsByStateAndGlyphCount) {
  struct Row {
    const char* what;
    bool radio;
    int glyphs;
    UINT check;
    bool enabled;
    int glyph;
  };
  const Row rows[] = {
      {"box unchecked", false, 4, BST_UNCHECKED, true, 1},
      {"box checked", false, 4, BST_CHECKED, true, 2},
      {"box disabled", false, 4, BST_UNCHECKED, false, 3},
      {"box checked disabled", false, 4, BST_CHECKED, false, 4},
      {"box grey", false, 4, BST_INDETERMINATE, true, 4},
      {"8 checked", false, 8, BST_CHECKED, true, 5},
      {"8 checked disabled", false, 8, BST_CHECKED, false, 8},
      {"8 grey", false, 8, BST_INDETERMINATE, true, 8},
      {"12 checked", false, 12, BST_CHECKED, true, 5},
      {"12 disabled", false, 12, BST_UNCHECKED, false, 4},
      {"12 checked disabled", false, 12, BST_CHECKED, false, 8},
      {"12 grey", false, 12, BST_INDETERMINATE, true, 9},
      {"12 grey disabled", false, 12, BST_INDETERMINATE, false, 12},
      {"radio checked", true, 4, BST_CHECKED, true, 2},
      {"radio checked disabled", true, 4, BST_CHECKED, false, 4},
      {"8 radio checked", true, 8, BST_CHECKED, true, 5},
      {"8 radio disabled", true, 8, BST_UNCHECKED, false, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FillData(data, row.radio ? 4 : row.glyphs, row.radio ? row.glyphs : 4);
    TButtonControl* c = row.radio ? static_cast<TButtonControl*>(Add<TRadioButton>(10, 10, 120, 20, "男"))
                                  : Add<TCheckBox>(10, 10, 120, 20, "公历");
    HWND h = c->Handle();
    if (!row.radio) SetWindowLongW(h, GWL_STYLE, (GetWindowLongW(h, GWL_STYLE) & ~0xF) | BS_AUTO3STATE);
    TSkinCheckBox* s = row.radio ? new TSkinRadioButton(c) : new TSkinCheckBox(c);
    s->Init(nullptr, &data, nullptr, false);
    EXPECT_EQ(s->Variant(), 1);
    SendMessageW(h, BM_SETCHECK, row.check, 0);
    c->SetEnabled(row.enabled);
    EXPECT_EQ(s->Glyph(), row.glyph);
    auto shot = Painted(h);
    EXPECT_EQ(shot->Pixel(6, 10), Glyphs(row.glyphs)[static_cast<size_t>(row.glyph - 1)]) << "glyph at the left";
    EXPECT_EQ(shot->Pixel(115, 2), kFace) << "the rest on the skin's face";
    delete c;
  }
}

TEST_F(Skinners, LeftTextPutsTheGlyphAtTheRightAndNoImageLeavesTheBoxAlone) {
  auto* c = Add<TCheckBox>(10, 10, 120, 20, "公历");
  HWND h = c->Handle();
  SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) | BS_LEFTTEXT);
  (new TSkinCheckBox(c))->Init(nullptr, &data, nullptr, false);
  auto shot = Painted(h);
  EXPECT_EQ(shot->Pixel(114, 10), Glyphs(4)[0]);
  EXPECT_EQ(shot->Pixel(3, 10), kFace);

  data.Buttons->RadioButton = std::make_unique<TBitmap>();
  auto* r = Add<TRadioButton>(10, 40, 120, 20, "女");
  auto* s = new TSkinRadioButton(r);
  s->Init(nullptr, &data, nullptr, false);
  EXPECT_EQ(s->Variant(), 0) << "the control paints itself";
}

TEST_F(Skinners, AGroupBoxIsAnEtchedFrameOnTheSkinFace) {
  auto* g = Add<TGroupBox>(10, 10, 160, 80, "出生");
  auto* s = new TSkinGroupBox(g);
  s->Init(nullptr, &data, nullptr, false);
  EXPECT_EQ(s->Variant(), 1);
  auto shot = Painted(g->Handle());
  EXPECT_EQ(shot->Pixel(80, 50), kFace) << "inside";
  EXPECT_NE(shot->Pixel(0, 50), kFace) << "the etched edge";
  EXPECT_NE(shot->Pixel(150, 79), kFace);
  EXPECT_EQ(shot->Pixel(150, 2), kFace) << "above the frame";
}

TEST_F(Skinners, ABoxOnlyLendsItsColourAndGivesItBack) {
  auto* p = Add<TPanel>(10, 10, 100, 60);
  HWND h = p->Handle();
  const LONG_PTR proc = GetWindowLongPtrW(h, GWLP_WNDPROC);
  auto* s = new TSkinBox(p);
  s->Init(&host, &data, nullptr, true);
  EXPECT_EQ(p->Color(), kFace);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), proc);
  s->Unsubclass();
  EXPECT_EQ(s->Stage(), 2);
  EXPECT_EQ(p->Color(), clBtnFace);
  delete s;
}

// ---- Tabs ----

class Tabs : public Skinners {
 protected:
  TPageControl* Pages(int tag, bool bottom = false) {
    auto* pc = Add<TPageControl>(10, 10, 300, 160);
    pc->Tag = tag;
    for (const char* t : {"一页", "二页", "三页"}) {
      auto* sheet = new TTabSheet(form);
      sheet->SetPageControl(pc);
      sheet->SetText(gbk::FromUtf8(t));
    }
    if (bottom) SetWindowLongW(pc->Handle(), GWL_STYLE, GetWindowLongW(pc->Handle(), GWL_STYLE) | TCS_BOTTOM);
    pc->SetActivePageIndex(0);
    return pc;
  }
  static RECT ItemRect(HWND h, int i) {
    RECT r{};
    SendMessageW(h, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return r;
  }
};

TEST_F(Tabs, OnlyTheCurrentTabUsesTheSecondFrameAndBottomTabsAreFlipped) {
  for (bool bottom : {false, true}) {
    SCOPED_TRACE(bottom ? "bottom" : "top");
    TPageControl* pc = Pages(0, bottom);
    HWND h = pc->Handle();
    auto* s = new TSkinTab(pc);
    s->Init(nullptr, &data, nullptr, false);
    EXPECT_EQ(s->Position(), bottom ? 1 : 0);
    auto shot = Painted(h);
    const RECT first = ItemRect(h, 0), second = ItemRect(h, 1);
    const int dy = bottom ? -1 : 1;
    // The image's top half is a tab's outer edge: flipped, it stays outside at the bottom.
    const int outerY = bottom ? first.bottom + dy - 2 : first.top + dy + 1;
    const int innerY = bottom ? first.top + dy + 1 : first.bottom + dy - 2;
    EXPECT_EQ(shot->Pixel(first.left + 2, outerY), Rgb(0, 250, 0)) << "current";
    EXPECT_EQ(shot->Pixel(first.left + 2, innerY), Rgb(0, 100, 0)) << "current";
    EXPECT_EQ(shot->Pixel(second.left + 2, outerY), Rgb(250, 0, 0)) << "other";
    delete pc;
  }
}

TEST_F(Tabs, CloseBoxesOnTag7777AskTheFormBeforeFreeingThePage) {
  TPageControl* pc = Pages(kTabCloseTag);
  form->Show();
  HWND h = pc->Handle();
  auto* s = new TSkinTab(pc);
  s->Init(nullptr, &data, nullptr, false);
  Painted(h);
  ASSERT_EQ(s->CloseRects().size(), 3u);
  const RECT close = s->CloseRects()[1];
  EXPECT_EQ(close.right, ItemRect(h, 1).right - 2);
  // A click on the tab away from its box turns the page as before.
  const RECT tab = ItemRect(h, 2);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tab.left + 4, tab.top + 8));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(tab.left + 4, tab.top + 8));
  gui::Pump(50);
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  // The form answers 0 (nothing of ours handles the message there): the page goes.
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(close.left + 2, close.top + 2));
  EXPECT_EQ(pc->PageCount(), 2);
}

TEST_F(Tabs, SheetsAndPlainControlsStandOnTheSkinFace) {
  TPageControl* pc = Pages(0);
  TTabSheet* sheet = pc->Pages(0);
  (new TSkinTabSheet(sheet))->Init(nullptr, &data, nullptr, false);
  auto shot = Painted(sheet->Handle());
  EXPECT_EQ(shot->Pixel(5, 5), kFace);
  TBitmap erased;
  erased.SetSize(shot->Width(), shot->Height());
  EXPECT_EQ(SendMessageW(sheet->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.Canvas().Handle()), 0), 1);
  EXPECT_EQ(erased.Pixel(5, 5), kFace);

  auto* label = Add<TLabel>(10, 200, 80, 20, "姓名");
  (new TSkinTransObj(label))->Init(nullptr, &data, nullptr, false);
  TBitmap under;
  under.SetSize(80, 20);
  SendMessageW(label->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(under.Canvas().Handle()), 0);
  EXPECT_EQ(under.Pixel(70, 10), kFace);
}

// ---- Edits ----

TEST_F(Skinners, AnEditWithABorderGetsTheFlatFrameAndOneWithoutNone) {
  auto* e = Add<TEdit>(10, 10, 120, 24, "abc");
  HWND h = e->Handle();
  (new TSkinEdit(e))->Init(nullptr, &data, nullptr, false);
  TBitmap b;
  b.SetSize(120, 24);
  b.Canvas().Brush.Color = Rgb(1, 2, 3);
  b.Canvas().FillRect(RECT{0, 0, 120, 24});
  EXPECT_EQ(SendMessageW(h, CN_PaintInto, reinterpret_cast<WPARAM>(b.Canvas().Handle()), kPaintIntoTag), kPaintIntoTag);
  EXPECT_EQ(b.Pixel(0, 12), kShadow);
  EXPECT_EQ(b.Pixel(1, 12), clWhite);
  EXPECT_EQ(b.Pixel(2, 12), clWhite);
  // The edit's own text is painted inside the frame: dark pixels where "abc" stands.
  auto textShown = [&b] {
    for (int y = 3; y < 21; ++y)
      for (int x = 3; x < 60; ++x) {
        const auto c = static_cast<COLORREF>(b.Pixel(x, y));
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200 && c != static_cast<COLORREF>(Rgb(1, 2, 3))) return true;
      }
    return false;
  };
  EXPECT_TRUE(textShown());

  SetWindowLongW(h, GWL_EXSTYLE, 0);
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  b.Canvas().FillRect(RECT{0, 0, 120, 24});
  SendMessageW(h, CN_PaintInto, reinterpret_cast<WPARAM>(b.Canvas().Handle()), kPaintIntoTag);
  EXPECT_NE(b.Pixel(0, 12), kShadow);
  EXPECT_EQ(b.Pixel(0, 2), clWhite) << "no frame: the field reaches the edge";
  EXPECT_TRUE(textShown());
}

// ---- Headers ----

TEST_F(Skinners, AHeadersHotItemFollowsTheMouseAndClearsWhenItLeaves) {
  data.Headerbar = std::make_unique<TDataSkinObject>("Headerbar");
  data.Headerbar->Image = Frames(10, 20, {Rgb(30, 30, 160), Rgb(160, 30, 30)});
  data.Headerbar->Frame = 2;
  HWND h = CreateWindowExW(0, WC_HEADERW, L"", WS_CHILD | WS_VISIBLE | HDS_BUTTONS, 10, 10, 300, 20, form->Handle(),
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = 0; i < 2; ++i) {
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.cxy = 100;
    item.fmt = HDF_LEFT | HDF_STRING;
    item.pszText = const_cast<wchar_t*>(i ? L"\x59D3" : L"\x540D");
    SendMessageW(h, HDM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  auto* s = new TSkinHeader(nullptr);
  s->Inithwnd(h, &data, nullptr, &host);
  auto frameAt = [&](int x) { return Painted(h)->Pixel(x, 2); };
  EXPECT_EQ(frameAt(50), Rgb(30, 30, 160));
  EXPECT_EQ(frameAt(250), Rgb(30, 30, 160)) << "the space after the last item";
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(150, 5));
  EXPECT_EQ(s->HotItem(), 1);
  EXPECT_EQ(frameAt(150), Rgb(160, 30, 30));
  EXPECT_EQ(frameAt(50), Rgb(30, 30, 160));
  SendMessageW(h, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(s->HotItem(), -1);
  EXPECT_EQ(frameAt(150), Rgb(30, 30, 160));
  DestroyWindow(h);
  EXPECT_EQ(s->Stage(), 6);
  delete s;
}

// ---- Our skins on a real form ----

TEST(SkinnedForm, OurSkinsOnButtonsChecksTabsAndEdits) {
  TApplication app;
  for (const char* skin : {"Mx1", "Ink", "Plain"}) {
    SCOPED_TRACE(skin);
    TSkinData data(nullptr);
    ASSERT_TRUE(data.LoadFromFile(std::string(TORVIK_PROGRAM_DIR) + "\\skins\\" + skin + ".skn"));
    skinctl::TestForm form(&app, "控件皮肤", 40, 40, 420, 300);
    auto add = [&](TWinControl* c, int x, int y, int w, int h, const char* t) {
      c->SetParent(&form);
      c->SetBounds(x, y, w, h);
      c->SetText(gbk::FromUtf8(t));
      return c;
    };
    auto* ok = add(new TButton(&form), 20, 20, 90, 28, "确定");
    auto* cancel = add(new TButton(&form), 120, 20, 90, 28, "取消");
    auto* check = static_cast<TCheckBox*>(add(new TCheckBox(&form), 20, 60, 120, 20, "公历生日"));
    auto* radio = add(new TRadioButton(&form), 150, 60, 80, 20, "男");
    auto* edit = add(new TEdit(&form), 20, 90, 190, 24, "张三");
    auto* group = add(new TGroupBox(&form), 20, 130, 190, 80, "出生时间");
    auto* pc = static_cast<TPageControl*>(add(new TPageControl(&form), 230, 20, 170, 120, ""));
    for (const char* t : {"分析", "起名"}) {
      auto* sheet = new TTabSheet(&form);
      sheet->SetPageControl(pc);
      sheet->SetText(gbk::FromUtf8(t));
    }
    pc->SetActivePageIndex(0);
    check->SetChecked(true);
    form.SetColor(data.SchemeColors[csButtonFace]);
    auto* okSkin = new TSkinButton(ok);
    okSkin->Init(nullptr, &data, nullptr, false);
    (new TSkinButton(cancel))->Init(nullptr, &data, nullptr, false);
    auto* checkSkin = new TSkinCheckBox(check);
    checkSkin->Init(nullptr, &data, nullptr, false);
    (new TSkinRadioButton(radio))->Init(nullptr, &data, nullptr, false);
    (new TSkinEdit(edit))->Init(nullptr, &data, nullptr, false);
    (new TSkinGroupBox(group))->Init(nullptr, &data, nullptr, false);
    (new TSkinTab(pc))->Init(nullptr, &data, nullptr, false);
    form.Show();
    gui::Pump(300);
    // The button's middle left edge is the skin's frame there (a skin without a button
    // image leaves the button to itself).
    auto shot = Painted(ok->Handle());
    const TDataSkinButton& b = *data.Buttons;
    auto expect = GetHMap(RECT{0, 0, 90, 28}, b.Image.get(), b.Margins(), false, b.Tile == 1, b.Frame, okSkin->Frame());
    if (expect && expect->Pixel(1, 14) != kKeyColour) {
      EXPECT_EQ(shot->Pixel(1, 14), expect->Pixel(1, 14));
    }
    // The ticked box shows the skin's checked glyph, centred down its left edge.
    const TBitmap& glyphs = *b.CheckButton;
    if (!glyphs.Empty() && b.CheckButtonFrame > 0) {
      const int n = b.CheckButtonFrame, gw = glyphs.Width() / n, gh = glyphs.Height();
      ASSERT_EQ(checkSkin->Glyph(), n == 4 ? 2 : 5);
      auto box = Painted(check->Handle());
      const int gx = (checkSkin->Glyph() - 1) * gw + gw / 2, gy = gh / 2;
      EXPECT_EQ(box->Pixel(gw / 2, (20 - gh) / 2 + gy), glyphs.Pixel(gx, gy));
    }
    EXPECT_TRUE(gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath(std::string("skin_controls_") + skin + ".png")));
  }
}

}  // namespace
