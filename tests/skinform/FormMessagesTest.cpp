// What a skinned form answers beyond painting: another copy of the engine's questions
// and repaint request, the re-making of a control's scroll-bar skinner, size grips made
// after the form was skinned, and which windows count as made by no class library.
#include <gtest/gtest.h>

#include <string>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/ListView.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSubClass.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"

namespace {

using skinform::Put;

constexpr UINT kEngineRepaint = 0xBC4B;
constexpr UINT kEngineQuery = 0xBC4D;
constexpr LPARAM kEngineMark = 0x41A2;
constexpr UINT kReCreateControl = 0x3517;

class ScrollForm : public TForm {
 public:
  explicit ScrollForm(TComponent* owner) : TForm(owner) {
    SetText(gbk::FromUtf8("消息测试"));
    SetBounds(50, 50, 420, 300);
    memo = Put<TMemo>(this, 10, 10, 180, 120);
    list = Put<TListView>(this, 200, 10, 190, 120);
    plain = Put<TButton>(this, 10, 150, 90, 26);
    plain->Tag = 99;  // the skin's "leave me plain" tag
    DoCreate();
    std::string lines;
    for (int i = 0; i < 40; ++i) lines += "line\r\n";
    memo->SetText(lines);
    list->AddColumn("a", 80);
    for (int i = 0; i < 40; ++i) list->AddItem({"row"});
  }
  std::string ClassName() const override { return "TScrollForm"; }
  TMemo* memo;
  TListView* list;
  TButton* plain;
};

COLORREF ScreenAt(int x, int y) {
  HDC dc = GetDC(nullptr);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

// How many pixels of the window's client area show this colour.
int Showing(HWND h, COLORREF colour) {
  RECT r{};
  GetClientRect(h, &r);
  int n = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) n += gui::ScreenPixel(h, x, y) == colour;
  return n;
}

class FormMessages : public skinform::SkinTest {};

TEST_F(FormMessages, AnotherEngineIsAnsweredAndItsRepaintRequestRepaintsTheFrame) {
  Activate("Mx1");
  ScrollForm form(&app);
  form.Show();
  gui::Pump(400);
  HWND h = form.Handle();
  ASSERT_NE(SkinFormOf(h), nullptr);
  EXPECT_EQ(SendMessageW(h, kEngineQuery, 0, kEngineMark), kEngineMark);
  EXPECT_EQ(SendMessageW(h, kEngineQuery, 0, 0), 1);
  EXPECT_EQ(SendMessageW(h, kEngineRepaint, 1, 5), 0) << "unmarked: the form's own answer";

  RECT wr{};
  GetWindowRect(h, &wr);
  const int x = (wr.right - wr.left) / 2, y = 2;
  const COLORREF skinned = ScreenAt(wr.left + x, wr.top + y);
  ASSERT_NE(skinned, RGB(0, 0, 0));
  auto blacken = [&] {
    HDC dc = GetWindowDC(h);
    RECT band{0, 0, wr.right - wr.left, 6};
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(h, dc);
    gui::Pump(100);  // the window's surface reaches the screen
  };
  blacken();
  ASSERT_EQ(ScreenAt(wr.left + x, wr.top + y), RGB(0, 0, 0));
  EXPECT_EQ(SendMessageW(h, kEngineRepaint, 0, kEngineMark), kEngineMark);
  gui::Pump(100);
  EXPECT_EQ(ScreenAt(wr.left + x, wr.top + y), RGB(0, 0, 0)) << "wParam 0 asks for no repaint";
  EXPECT_EQ(SendMessageW(h, kEngineRepaint, 1, kEngineMark), kEngineMark);
  gui::Pump(100);
  EXPECT_EQ(ScreenAt(wr.left + x, wr.top + y), skinned) << "the skin's caption again";
}

TEST_F(FormMessages, AControlsScrollBarSkinnerIsMadeAnewOfTheSameKind) {
  Activate("Mx1");
  ScrollForm form(&app);
  form.Show();
  gui::Pump(400);
  HWND h = form.Handle();
  TWinSkinForm* skin = SkinFormOf(h);
  ASSERT_NE(skin, nullptr);
  const int count = skin->ControlCount();
  struct Row {
    HWND window;
    const char* kind;
  };
  for (const Row& row : {Row{form.memo->Handle(), "TSkinScrollbar"}, Row{form.list->Handle(), "TSkinListView"}}) {
    SCOPED_TRACE(row.kind);
    TSkinControl* before = skin->Lookupcontrol(row.window);
    ASSERT_NE(before, nullptr);
    ASSERT_EQ(before->ClassName(), row.kind);
    RECT wr{}, cr{};
    GetWindowRect(row.window, &wr);
    GetClientRect(row.window, &cr);
    // A point on the vertical bar, right of the client area.
    const int bx = wr.left + cr.right + 3, by = wr.top + (wr.bottom - wr.top) / 2;
    const COLORREF bar = ScreenAt(bx, by);
    SendMessageW(h, kReCreateControl, reinterpret_cast<WPARAM>(row.window), 0);
    TSkinControl* after = skin->Lookupcontrol(row.window);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->ClassName(), row.kind);
    EXPECT_EQ(skin->ControlCount(), count);
    RedrawWindow(row.window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    gui::Pump(200);
    EXPECT_EQ(ScreenAt(bx, by), bar) << "the new skinner paints the bar as the old one did";
  }
  ASSERT_EQ(skin->Lookupcontrol(form.plain->Handle()), nullptr);
  SendMessageW(h, kReCreateControl, reinterpret_cast<WPARAM>(form.plain->Handle()), 0);
  EXPECT_EQ(skin->Lookupcontrol(form.plain->Handle()), nullptr) << "a window no skinner holds is left alone";
  EXPECT_EQ(skin->ControlCount(), count);
}

TEST_F(FormMessages, ASizeGripMadeInASkinnedFormShowsTheSkinsFace) {
  Activate("Ink");
  const COLORREF face = ColorToRGB(data->SchemeColors[csButtonFace]);
  ASSERT_NE(face, GetSysColor(COLOR_BTNFACE));
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned form" : "plain form");
    ScrollForm form(&app);
    if (!skinned) form.Tag = 99;
    form.Show();
    gui::Pump(400);
    TWinSkinForm* skin = SkinFormOf(form.Handle());
    ASSERT_EQ(skin != nullptr, skinned);
    const int size = GetSystemMetrics(SM_CXVSCROLL);
    HWND grip = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 300, 150, size, size,
                                form.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(grip, nullptr);
    if (skinned) {
      TSkinControl* sizer = skin->Lookupcontrol(grip);
      ASSERT_NE(sizer, nullptr) << "skinned as it was made";
      EXPECT_EQ(sizer->ClassName(), "TSkinSizer");
    }
    gui::Pump(300);
    const int onFace = Showing(grip, face);
    if (skinned) {
      EXPECT_EQ(onFace, size * size);
    } else {
      EXPECT_LT(onFace, size * size / 2);
    }
    DestroyWindow(grip);
  }
}

// A popup menu given to a form after it was skinned is owner-drawn once the form's menus
// are updated; one tagged to stay plain stays so.
TEST_F(FormMessages, UpdatingAFormsMenusSkinsItsNewPopupMenus) {
  Activate("Mx1");
  ScrollForm form(&app);
  form.Show();
  gui::Pump(400);
  ASSERT_NE(SkinFormOf(form.Handle()), nullptr);
  auto* popup = new TPopupMenu(&form);
  auto* plain = new TPopupMenu(&form);
  plain->Tag = 99;
  for (TPopupMenu* p : {popup, plain}) {
    auto* item = new TMenuItem(&form);
    item->SetCaption("x");
    p->Items()->Add(item);
  }
  EXPECT_FALSE(popup->OwnerDraw());
  data->UpdateMenu(form.Handle());
  EXPECT_TRUE(popup->OwnerDraw());
  EXPECT_FALSE(plain->OwnerDraw());
}

TEST_F(FormMessages, OnlyAWindowWithoutAnyLibrarysControlPropertyIsALibrarysForm) {
  Activate("Mx1");
  ScrollForm form(&app);
  EXPECT_FALSE(TSkinManage::IsDllForm(form.Handle()));
  EXPECT_FALSE(TSkinManage::IsDllForm(form.memo->Handle()));
  HWND bare = CreateWindowExW(0, L"STATIC", L"bare", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(bare, nullptr);
  EXPECT_TRUE(TSkinManage::IsDllForm(bare));
  // Another module's class library names its property after its own instance and thread.
  SetPropW(bare, L"ControlOfs10000000000004D2", reinterpret_cast<HANDLE>(1));
  EXPECT_FALSE(TSkinManage::IsDllForm(bare));
  RemovePropW(bare, L"ControlOfs10000000000004D2");
  DestroyWindow(bare);
}

}  // namespace
