// The skinned frame under the real mouse and the questions Windows asks it: caption
// buttons whose image has three frames, the line between caption and menu band, the
// menu bar's buttons found like caption buttons, a window skinned a second time, and
// bare combo boxes of the class library's window class.
#include <gtest/gtest.h>

#include <cstdlib>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSkinMenu.h"
#include "skin/WinSubClass.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"

namespace {

class RowsForm : public skinform::ButtonForm {
 public:
  explicit RowsForm(TComponent* owner) : ButtonForm(owner, "框架测试", 60, 60, 360, 240, "TRowsForm") {}
  void AddMenu() {
    auto* menu = new TMainMenu(this);
    auto* item = new TMenuItem(this);
    item->SetCaption(gbk::FromUtf8("文件(&F)"));
    auto* sub = new TMenuItem(this);
    sub->SetCaption("x");
    item->Add(sub);
    menu->Items()->Add(item);
    SetMenu(menu);
  }
};

class FrameRows : public skinform::SkinTest {
 protected:
  TWinSkinForm* ShowSkinned(RowsForm& form) {
    form.Show();
    SetForegroundWindow(form.Handle());
    gui::Pump(400);
    return SkinFormOf(form.Handle());
  }
  static TWinSysButton* ButtonOf(TWinSkinForm* skin, int action) {
    for (const auto& b : skin->FButtons) {
      if (b->Skin->Action == action && b->Visible) return b.get();
    }
    return nullptr;
  }
  static POINT ScreenCentre(TWinSkinForm* skin, const RECT& r) {
    RECT wr{};
    GetWindowRect(skin->FHandle, &wr);
    return POINT{wr.left + (r.left + r.right) / 2, wr.top + (r.top + r.bottom) / 2};
  }
};

// A caption button drawn from three frames side by side (normal, pressed, hover) shows
// each of them, and its normal frame where the disabled one would be.
TEST_F(FrameRows, AThreeFrameCaptionButtonShowsPressAndHoverUnderTheRealMouse) {
  Activate("Mx1");
  RowsForm form(&app);
  bool closed = false;
  form.OnClose = [&](TObject*, TCloseAction& a) {
    closed = true;
    a = caNone;
  };
  TWinSkinForm* skin = ShowSkinned(form);
  ASSERT_NE(skin, nullptr);
  TWinSysButton* close = ButtonOf(skin, 0);  // close: shown on every skinned form
  ASSERT_NE(close, nullptr);
  const int w = close->Bounds.right - close->Bounds.left, h = close->Bounds.bottom - close->Bounds.top;
  const COLORREF frames[] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 220)};
  TBitmap& image = *close->Skin->Image;
  image.SetSize(3 * w, h);
  for (int f = 0; f < 3; ++f) {
    image.Canvas().Brush.Color = static_cast<TColor>(frames[f]);
    image.Canvas().FillRect(RECT{f * w, 0, (f + 1) * w, h});
  }
  close->Skin->Frame = 3;
  const POINT centre = ScreenCentre(skin, close->Bounds);
  for (int i = 0; i < 50 && gui::ScreenPixel(centre) != frames[0]; ++i) {
    skin->UpdateNc(nullptr);
    gui::Pump(20);
  }
  EXPECT_EQ(gui::ScreenPixel(centre), frames[0]) << "normal";

  gui::MoveMouse(centre.x, centre.y);
  gui::Pump(150);
  EXPECT_EQ(close->State, 3);
  EXPECT_EQ(gui::ScreenPixel(centre), frames[2]) << "hover";
  gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
  gui::Pump(150);
  EXPECT_EQ(close->State, 2);
  EXPECT_EQ(gui::ScreenPixel(centre), frames[1]) << "pressed";
  // Released off the button: the window stays.
  RECT wr{};
  GetWindowRect(form.Handle(), &wr);
  gui::MoveMouse((wr.left + wr.right) / 2, (wr.top + wr.bottom) / 2);
  gui::Pump(60);
  gui::MouseButton(MOUSEEVENTF_LEFTUP);
  gui::Pump(400);

  close->Enabled = false;
  skin->DrawSysbtn(*close, 3);
  EXPECT_EQ(gui::ScreenPixel(centre), frames[0]) << "no disabled frame: the normal one";
  gui::ParkMouse();
  EXPECT_FALSE(closed);
}

// Windows' answers for the caption are moved to the skinned caption and menu band; the
// band starts below the caption's last row.
TEST_F(FrameRows, TheMenuBandAnswersTheMouseLikeTheCaptionButtons) {
  Activate("Mx1");
  RowsForm form(&app);
  form.AddMenu();
  TWinSkinForm* skin = ShowSkinned(form);
  ASSERT_NE(skin, nullptr);
  ASSERT_GT(skin->FMenuHeight, 0);
  HWND h = form.Handle();
  RECT wr{};
  GetWindowRect(h, &wr);
  const int middle = (wr.right - wr.left) / 2;
  auto hit = [&](int y) { return SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + middle, wr.top + y)); };
  EXPECT_EQ(hit(skin->FCaptionHeight - 1), HTCAPTION);
  EXPECT_EQ(hit(skin->FCaptionHeight), HTCAPTION);
  EXPECT_EQ(hit(skin->FCaptionHeight + 1), HTMENU);
  EXPECT_EQ(hit(skin->FCaptionHeight + skin->FMenuHeight - 1), HTMENU);
  EXPECT_EQ(hit(skin->FCaptionHeight + skin->FMenuHeight + 2), HTCLIENT);

  // Asked without a window position, the system's client rectangle stands.
  RECT asked = wr;
  SendMessageW(h, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&asked));
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)));
  EXPECT_EQ(asked.top, wr.top - frame.top);
  EXPECT_EQ(asked.left, wr.left - frame.left);

  // The bar's buttons are found where the caption's are not.
  TWinSkinMenu* bar = skin->MenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_GT(bar->Count(), 0);
  TMenuBtn* file = bar->Buttons[0].get();
  const POINT onFile{(file->Bounds.left + file->Bounds.right) / 2, (file->Bounds.top + file->Bounds.bottom) / 2};
  EXPECT_EQ(skin->FindBtn(onFile), file);

  // A double click on a bar button neither maximizes nor closes the window.
  const POINT screen = ScreenCentre(skin, file->Bounds);
  SendMessageW(h, WM_NCLBUTTONDBLCLK, HTMENU, MAKELPARAM(screen.x, screen.y));
  gui::Pump(200);
  EXPECT_FALSE(IsZoomed(h));
  EXPECT_TRUE(IsWindowVisible(h));
  // Off the buttons, on the caption, it maximizes, and again restores.
  const POINT caption{wr.left + middle, wr.top + skin->FCaptionHeight / 2};
  SendMessageW(h, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
  gui::Pump(300);
  EXPECT_TRUE(IsZoomed(h));
  GetWindowRect(h, &wr);
  SendMessageW(h, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(wr.left + middle, wr.top + skin->FCaptionHeight / 2));
  gui::Pump(300);
  EXPECT_FALSE(IsZoomed(h));
}

// While a drop-down of the bar is open the timer leaves the hot button alone.
TEST_F(FrameRows, TheTimerLeavesTheHotButtonWhileABarMenuIsOpen) {
  Activate("Mx1");
  RowsForm form(&app);
  form.AddMenu();
  TWinSkinForm* skin = ShowSkinned(form);
  ASSERT_NE(skin, nullptr);
  TWinSysButton* close = ButtonOf(skin, 0);
  ASSERT_NE(close, nullptr);
  close->MouseEnter();
  gui::ParkMouse();
  skin->FMenuTracking = true;
  skin->OnTimer();
  EXPECT_EQ(skin->FHotObject, close);
  skin->FMenuTracking = false;
  skin->OnTimer();
  EXPECT_EQ(skin->FHotObject, nullptr);
  EXPECT_EQ(close->State, 1);
}

// A window skinned again after its first skin took the system style away still has
// its system menu's buttons.
TEST_F(FrameRows, AWindowSkinnedAgainKeepsItsCloseButton) {
  Activate("Plain");
  RowsForm form(&app);
  TWinSkinForm* skin = ShowSkinned(form);
  ASSERT_NE(skin, nullptr);
  ASSERT_EQ(skin->FState, 1) << "activated: the system menu is known";
  HWND h = form.Handle();
  skin->UnSubclass3();
  SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) & ~WS_SYSMENU);
  skin->InitSkin(data);
  EXPECT_TRUE((skin->FIcons >> sbisystem) & 1);
  SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) | WS_SYSMENU);
}

// A combo box of the class library's window class, met without its object, is skinned
// as a combo box.
TEST_F(FrameRows, ABareComboBoxOfTheLibrarysClassIsSkinned) {
  Activate("Mx1");
  RowsForm form(&app);
  // The class library's combo box registers its window class.
  skinform::Put<TComboBox>(&form, 20, 100, 120, 24);
  TWinSkinForm* skin = ShowSkinned(form);
  ASSERT_NE(skin, nullptr);
  HWND box = CreateWindowExW(0, L"TComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 140, 20, 120, 200,
                             form.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(box, nullptr);
  skin->AddControlh(box);
  TSkinControl* skinner = skin->Lookupcontrol(box);
  ASSERT_NE(skinner, nullptr);
  EXPECT_EQ(skinner->ClassName(), "TSkinComBox");
  DestroyWindow(box);
  gui::Pump(100);
}

// The items of a skinned form's popup menu keep the class library's height and are
// wider by the skin's item edge and the glyph room: 35 without an image list, 12 with;
// a separator is the skin's 8-pixel row.
TEST_F(FrameRows, SkinnedPopupItemsAreMeasuredWiderOnly) {
  Activate("Mx1");
  RowsForm form(&app);
  auto* popup = new TPopupMenu(&form);
  auto* copy = new TMenuItem(&form);
  copy->SetCaption(gbk::FromUtf8("复制(&C)"));
  auto* line = new TMenuItem(&form);
  line->SetCaption("-");
  popup->Items()->Add(copy);
  popup->Items()->Add(line);
  TWinSkinForm* skin = ShowSkinned(form);
  ASSERT_NE(skin, nullptr);
  ASSERT_TRUE(copy->OnMeasureItem) << "the skin measures the popup's items";
  const int edge = data->MenuItem ? data->MenuItem->LeftWidth : 0;
  TImageList glyphs;
  for (TImageList* images : {static_cast<TImageList*>(nullptr), &glyphs}) {
    popup->Images = images;
    for (TMenuItem* item : {copy, line}) {
      SCOPED_TRACE(item->Caption());
      // The class library's own size, in the menu font it measures with.
      NONCLIENTMETRICSW nc{};
      nc.cbSize = sizeof nc;
      SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof nc, &nc, 0);
      HDC dc = GetDC(nullptr);
      HFONT font = CreateFontIndirectW(&nc.lfMenuFont);
      HGDIOBJ old = SelectObject(dc, font);
      int plainWidth = 0, plainHeight = 0;
      {
        TCanvas canvas(dc);
        item->MeasureItem(canvas, plainWidth, plainHeight);
      }
      SelectObject(dc, old);
      DeleteObject(font);
      ReleaseDC(nullptr, dc);
      MEASUREITEMSTRUCT mis{};
      mis.CtlType = ODT_MENU;
      mis.itemData = reinterpret_cast<ULONG_PTR>(item);
      ASSERT_TRUE(TMenuItem::OwnerDrawMessage(WM_MEASUREITEM, reinterpret_cast<LPARAM>(&mis)));
      if (item == line) {
        EXPECT_EQ(mis.itemHeight, 8u) << "the skin's separator row";
        continue;
      }
      EXPECT_EQ(static_cast<int>(mis.itemHeight), plainHeight);
      EXPECT_EQ(static_cast<int>(mis.itemWidth), plainWidth + edge + (images ? 12 : 35));
    }
  }
  popup->Images = nullptr;
}

// Within a few steps on every channel: smoothed glyphs have few exact pixels.
bool Near(COLORREF a, COLORREF b) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 12) return false;
  }
  return true;
}

// The bar's captions: an enabled item in the skin's bar text colour, a disabled one in
// the system's shadow colour.
TEST_F(FrameRows, TheBarWritesDisabledItemsInTheShadowColour) {
  Activate("Ink");
  RowsForm form(&app);
  form.AddMenu();
  auto* off = new TMenuItem(&form);
  off->SetCaption(gbk::FromUtf8("帮助"));
  form.Menu()->Items()->Add(off);
  off->SetEnabled(false);
  TWinSkinForm* skin = ShowSkinned(form);
  ASSERT_NE(skin, nullptr);
  gui::ParkMouse();
  skin->UpdateNc(nullptr);
  TWinSkinMenu* bar = skin->MenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->Count(), 2);
  RECT wr{};
  GetWindowRect(form.Handle(), &wr);
  auto count = [&](const TMenuBtn& b, COLORREF colour) {
    int n = 0;
    for (int y = b.Bounds.top; y < b.Bounds.bottom; ++y)
      for (int x = b.Bounds.left; x < b.Bounds.right; ++x)
        if (Near(gui::ScreenPixel(wr.left + x, wr.top + y), colour)) ++n;
    return n;
  };
  const COLORREF text = ColorToRGB(data->SchemeColors[csMenuBarText]);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  EXPECT_GT(count(*bar->Buttons[0], text), 5);
  EXPECT_GT(count(*bar->Buttons[1], shadow), 5);
  EXPECT_EQ(count(*bar->Buttons[1], text), 0);
  gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath("frame-rows-ink-bar.png"));
}

}  // namespace
