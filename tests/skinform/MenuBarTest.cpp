// The skinned menu bar of a form that reads right to left, read back from the screen,
// and the bar built from the form's menu items themselves, as old Windows needs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSkinMenu.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"
#include "support/MenuWatch.h"

namespace {

using gbk::U;

// Three menus, a hidden command and a plain command at the end.
class BarForm : public TForm {
 public:
  BarForm(TComponent* owner, bool rightToLeft) : TForm(owner) {
    RightToLeft = rightToLeft;
    SetText(U("菜单栏"));
    SetBounds(80, 80, 460, 260);
    bar = new TMainMenu(this);
    for (const char* caption : {"文件(&F)", "编辑(&E)", "视图(&V)"}) {
      auto* top = Add(bar->Items(), caption);
      Add(top, "第一项");
      Add(top, "第二项");
    }
    hidden = Add(bar->Items(), "隐藏");
    hidden->SetVisible(false);
    help = Add(bar->Items(), "帮助(&H)");
    SetMenu(bar);
    DoCreate();
  }
  std::string ClassName() const override { return "TBarForm"; }
  TMenuItem* Add(TMenuItem* parent, const char* caption) {
    auto* item = new TMenuItem(this);
    item->SetCaption(U(caption));
    parent->Add(item);
    return item;
  }
  TMainMenu* bar;
  TMenuItem* hidden;
  TMenuItem* help;
};

class MenuBar : public skinform::SkinTest {
 protected:
  TWinSkinForm* Show(BarForm& form) {
    form.Show();
    SetForegroundWindow(form.Handle());
    gui::Pump(400);
    return SkinFormOf(form.Handle());
  }
};

// The band's pixels that differ from the bar's background between x0 and x1 (window
// coordinates), on the band's middle row.
int Drawn(HWND h, const TWinSkinMenu& bar, int x0, int x1) {
  RECT wr{};
  GetWindowRect(h, &wr);
  const int y = (bar.Band.top + bar.Band.bottom) / 2;
  HDC screen = GetDC(nullptr);
  int differ = 0;
  for (int x = x0; x < x1; ++x) {
    const COLORREF bg = static_cast<COLORREF>(bar.Background->Pixel(x - bar.Band.left, y - bar.Band.top)) & 0xFFFFFF;
    if (GetPixel(screen, wr.left + x, wr.top + y) != bg) ++differ;
  }
  ReleaseDC(nullptr, screen);
  return differ;
}

// A real click in the middle of a bar button of the window.
void ClickButton(HWND h, const TMenuBtn& b) {
  RECT wr{};
  GetWindowRect(h, &wr);
  menuwatch::ClickAt(wr.left + (b.Bounds.left + b.Bounds.right) / 2, wr.top + (b.Bounds.top + b.Bounds.bottom) / 2);
}

TEST_F(MenuBar, ARightToLeftBarLinesUpFromTheRightAndItsMenusHangFromTheButtonsRightEnd) {
  Activate("Mx1");
  BarForm form(&app, true);
  TWinSkinForm* skin = Show(form);
  ASSERT_NE(skin, nullptr);
  TWinSkinMenu* bar = skin->MenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(bar->RightToLeft());
  ASSERT_EQ(bar->Count(), 4) << "the hidden item has no button";
  ASSERT_TRUE(bar->Background);
  const TDataSkinObject* object = data->MenuBar.get();
  const int start = object && object->Image && !object->Image->Empty() ? object->RightWidth + 8 : 6;
  int right = bar->Band.right - start;
  for (const auto& b : bar->Buttons) {
    SCOPED_TRACE(gbk::FromWide(b->Caption));
    EXPECT_EQ(b->Bounds.right, right);
    EXPECT_GT(Width(b->Bounds), 10);
    EXPECT_GT(Drawn(form.Handle(), *bar, b->Bounds.left, b->Bounds.right), 0) << "its caption shows";
    right = b->Bounds.left;
  }
  EXPECT_GT(right, bar->Band.left);
  EXPECT_EQ(Drawn(form.Handle(), *bar, bar->Band.left + 2, right - 2), 0) << "the band's left part stays bare";
  gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath("skinned-bar-rtl.png"));

  // A real click on the first button: its drop-down ends under the button's right end.
  const TMenuBtn& first = *bar->Buttons[0];
  RECT shown{};
  std::thread watcher([&shown] {
    if (HWND h = menuwatch::WaitMenuWindow(3000)) {
      Sleep(150);
      GetWindowRect(h, &shown);
    }
    menuwatch::CloseAll();
  });
  ClickButton(form.Handle(), first);
  for (int i = 0; i < 150 && (Width(shown) == 0 || menuwatch::WaitMenuWindow(0)); ++i) gui::Pump(20);
  watcher.join();
  gui::ParkMouse();
  ASSERT_GT(Width(shown), 0) << "no drop-down opened";
  RECT wr{};
  GetWindowRect(form.Handle(), &wr);
  EXPECT_EQ(shown.right, wr.left + first.Bounds.right);
  EXPECT_EQ(shown.top, wr.top + bar->Band.bottom);
}

// In a right-to-left bar the left arrow moves on to the next menu, which lies to the left
// (not round to the last one, as in a left-to-right bar).
TEST_F(MenuBar, InARightToLeftBarTheLeftArrowOpensTheNextMenu) {
  Activate("Mx1");
  BarForm form(&app, true);
  TWinSkinForm* skin = Show(form);
  ASSERT_NE(skin, nullptr);
  TWinSkinMenu* bar = skin->MenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_GE(bar->Count(), 2);
  const HMENU second = bar->Buttons[1]->SubMenu;
  ASSERT_NE(second, nullptr);
  bool moved = false;
  std::thread watcher([&] {
    if (menuwatch::WaitMenuWindow(3000, bar->Buttons[0]->SubMenu)) {
      Sleep(150);
      menuwatch::Press(VK_LEFT);
      moved = menuwatch::WaitMenuWindow(2000, second) != nullptr;
    }
    menuwatch::CloseAll();
  });
  const TMenuBtn& first = *bar->Buttons[0];
  ClickButton(form.Handle(), first);
  for (int i = 0; i < 200 && watcher.joinable() && (!moved || menuwatch::WaitMenuWindow(0)); ++i) gui::Pump(20);
  watcher.join();
  gui::ParkMouse();
  EXPECT_TRUE(moved);
}

// Built from the form's items, the bar keeps a hidden item's place without showing it,
// and a plain command still reaches its own item.
TEST_F(MenuBar, TheBarBuiltFromTheFormsItemsSkipsAHiddenOneAndCommandsReachTheirItems) {
  Activate("Mx1");
  BarForm form(&app, false);
  TWinSkinForm* skin = Show(form);
  ASSERT_NE(skin, nullptr);
  TWinSkinMenu* bar = skin->MenuBar();
  ASSERT_NE(bar, nullptr);
  bar->MenuHandle = nullptr;  // as a bar not yet built
  bar->UpdataBtn1();
  ASSERT_EQ(bar->Count(), 5);
  EXPECT_EQ(bar->MenuHandle, form.bar->Handle());
  EXPECT_EQ(GetMenu(form.Handle()), nullptr);
  HMENU menu = form.bar->Handle();
  struct Row {
    const char* caption;
    bool visible;
    HMENU submenu;
  };
  const Row rows[] = {{"文件(&F)", true, GetSubMenu(menu, 0)},
                      {"编辑(&E)", true, GetSubMenu(menu, 1)},
                      {"视图(&V)", true, GetSubMenu(menu, 2)},
                      {"隐藏", false, nullptr},
                      {"帮助(&H)", true, nullptr}};
  for (int i = 0; i < 5; ++i) {
    const TMenuBtn& b = *bar->Buttons[static_cast<size_t>(i)];
    SCOPED_TRACE(rows[i].caption);
    EXPECT_EQ(gbk::FromWide(b.Caption), U(rows[i].caption));
    EXPECT_EQ(b.Visible, rows[i].visible);
    EXPECT_EQ(b.SubMenu, rows[i].submenu);
    EXPECT_EQ(b.MenuItem, form.bar->Items()->Items(i));
  }
  ASSERT_NE(rows[0].submenu, nullptr);

  RedrawWindow(form.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  gui::Pump(200);
  EXPECT_EQ(Width(bar->Buttons[3]->Bounds), 0) << "a hidden item takes no room";
  EXPECT_EQ(bar->Buttons[4]->Bounds.left, bar->Buttons[2]->Bounds.right);

  int helped = 0, hid = 0;
  form.help->OnClick = [&](TObject*) { ++helped; };
  form.hidden->OnClick = [&](TObject*) { ++hid; };
  EXPECT_FALSE(skin->CheckMenu(bar->Buttons[4].get()));
  gui::Pump(200);
  EXPECT_EQ(helped, 1);
  EXPECT_EQ(hid, 0);
}

}  // namespace

namespace {

// In a drop-down of the skinned bar an item is chosen with the right mouse button too.
TEST_F(MenuBar, TheRightMouseButtonChoosesAnItemOfADropDown) {
  Activate("Mx1");
  BarForm form(&app, false);
  TWinSkinForm* skin = Show(form);
  ASSERT_NE(skin, nullptr);
  TWinSkinMenu* bar = skin->MenuBar();
  ASSERT_NE(bar, nullptr);
  const HMENU drop = bar->Buttons[0]->SubMenu;
  ASSERT_NE(drop, nullptr);
  int chosen = 0;
  form.bar->Items()->Items(0)->Items(0)->OnClick = [&](TObject*) { ++chosen; };
  std::thread watcher([&] {
    if (HWND h = menuwatch::WaitMenuWindow(3000, drop)) {
      Sleep(150);
      RECT item{};
      if (!GetMenuItemRect(nullptr, drop, 0, &item)) {
        GetWindowRect(h, &item);
        item.bottom = item.top + 2 * GetSystemMetrics(SM_CYMENU);
      }
      menuwatch::ClickAt((item.left + item.right) / 2, (item.top + item.bottom) / 2, true);
      Sleep(300);
    }
    menuwatch::CloseAll();
  });
  const TMenuBtn& first = *bar->Buttons[0];
  ClickButton(form.Handle(), first);
  for (int i = 0; i < 200 && (chosen == 0 || menuwatch::WaitMenuWindow(0)); ++i) gui::Pump(20);
  watcher.join();
  gui::Pump(200);
  gui::ParkMouse();
  EXPECT_EQ(chosen, 1);
}

}  // namespace

namespace {

// A plain command of the bar runs when its button is clicked, but not while disabled.
TEST_F(MenuBar, ADisabledPlainCommandOfTheBarDoesNotRun) {
  Activate("Mx1");
  BarForm form(&app, false);
  TWinSkinForm* skin = Show(form);
  ASSERT_NE(skin, nullptr);
  int helped = 0;
  form.help->OnClick = [&](TObject*) { ++helped; };
  for (bool enabled : {false, true}) {
    SCOPED_TRACE(enabled ? "enabled" : "disabled");
    form.help->SetEnabled(enabled);
    gui::Pump(200);
    TWinSkinMenu* bar = skin->MenuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->Count(), 4) << "the hidden item has no button";
    const TMenuBtn& help = *bar->Buttons.back();
    ASSERT_EQ(help.Enabled, enabled);
    ASSERT_GT(Width(help.Bounds), 0);
    ClickButton(form.Handle(), help);
    gui::Pump(300);
    gui::ParkMouse();
    EXPECT_EQ(helped, enabled ? 1 : 0);
  }
}

}  // namespace
