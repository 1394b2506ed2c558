// Menu bars and popup menus: built into real menus, chosen through the window's messages.
#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "support/Gui.h"

namespace {

using gbk::U;

std::string MenuText(HMENU m, int pos) {
  wchar_t buf[64] = {};
  GetMenuStringW(m, static_cast<UINT>(pos), buf, 64, MF_BYPOSITION);
  return gbk::FromWide(buf);
}

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    form = new TForm(&app);
  }
  TMenuItem* Item(TMenuItem* parent, const char* caption) {
    auto* m = new TMenuItem(form);
    m->SetCaption(U(caption));
    parent->Add(m);
    return m;
  }
  TApplication app;
  TForm* form;
};

TEST_F(MenusTest, MenuBarShowsItsItemsAndRoutesChoicesToThem) {
  auto* bar = new TMainMenu(form);
  TMenuItem* file = Item(bar->Items(), "文件");
  TMenuItem* open = Item(file, "打开");
  Item(file, "-");
  TMenuItem* quit = Item(file, "退出");
  TMenuItem* skins = Item(bar->Items(), "皮肤");
  TMenuItem* a = Item(skins, "经典");
  TMenuItem* b = Item(skins, "蓝色");
  for (TMenuItem* m : {a, b}) m->RadioItem = true;
  form->SetMenu(bar);
  form->SetClientSize(300, 200);
  form->Show();
  int quits = 0;
  quit->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, quit);
    ++quits;
  };

  HMENU top = GetMenu(form->Handle());
  ASSERT_EQ(GetMenuItemCount(top), 2);
  EXPECT_EQ(MenuText(top, 1), U("皮肤"));
  HMENU fileMenu = GetSubMenu(top, 0);
  ASSERT_EQ(GetMenuItemCount(fileMenu), 3);
  EXPECT_TRUE(GetMenuState(fileMenu, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(form->ClientHeight(), 200) << "the bar is outside the client area";

  PostMessageW(form->Handle(), WM_MENUCOMMAND, 2, reinterpret_cast<LPARAM>(fileMenu));
  gui::Pump(30);
  EXPECT_EQ(quits, 1);

  // State changes reach the shown menu.
  a->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  HMENU skinMenu = GetSubMenu(GetMenu(form->Handle()), 1);
  EXPECT_FALSE(GetMenuState(skinMenu, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(skinMenu, 1, MF_BYPOSITION) & MF_CHECKED);
  open->SetEnabled(false);
  fileMenu = GetSubMenu(GetMenu(form->Handle()), 0);
  EXPECT_TRUE(GetMenuState(fileMenu, 0, MF_BYPOSITION) & MF_GRAYED);
  open->SetVisible(false);
  fileMenu = GetSubMenu(GetMenu(form->Handle()), 0);
  EXPECT_EQ(GetMenuItemCount(fileMenu), 2);
  // With a hidden item before it, a position still names the right item.
  PostMessageW(form->Handle(), WM_MENUCOMMAND, 1, reinterpret_cast<LPARAM>(fileMenu));
  gui::Pump(30);
  EXPECT_EQ(quits, 2);

  delete quit;  // a freed item leaves its menu
  EXPECT_EQ(file->Count(), 2);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(form->Handle()), 0)), 1);
}

TEST_F(MenusTest, RightClickPopsTheControlsMenuAndTheKeyboardChooses) {
  form->SetClientSize(300, 200);
  auto* memo = new TMemo(form);
  memo->SetBounds(10, 10, 200, 100);
  memo->SetParent(form);
  auto* pop = new TPopupMenu(form);
  TMenuItem* undo = Item(pop->Items(), "撤销");
  TMenuItem* copy = Item(pop->Items(), "复制");
  memo->PopupMenu = pop;
  form->Show();
  int undos = 0, copies = 0, popups = 0;
  undo->OnClick = [&](TObject*) { ++undos; };
  copy->OnClick = [&](TObject*) { ++copies; };
  pop->OnPopup = [&](TObject*) { ++popups; };
  // Queued before the menu opens: its loop reads them. The timer ends a menu left open.
  SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
  for (WPARAM vk : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(memo->Handle(), WM_KEYDOWN, vk, 1);
  RECT r;
  GetWindowRect(memo->Handle(), &r);
  SendMessageW(memo->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(memo->Handle()),
               MAKELPARAM(r.left + 20, r.top + 20));
  gui::Pump(50);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(pop->PopupComponent, memo);
  EXPECT_EQ(copies, 1);
  EXPECT_EQ(undos, 0);
}

// A right-to-left form reads right to left and gives the menu it is shown with the
// same direction: its items cascade right to left and the bar lines up at the right.
TEST_F(MenusTest, ARightToLeftFormsMenuCascadesRightToLeft) {
  form->RightToLeft = true;
  auto* bar = new TMainMenu(form);
  TMenuItem* file = Item(bar->Items(), "文件");
  Item(file, "打开");
  Item(bar->Items(), "帮助");
  form->SetMenu(bar);
  form->Show();
  EXPECT_TRUE(bar->RightToLeft());
  const LONG ex = GetWindowLongW(form->Handle(), GWL_EXSTYLE);
  EXPECT_EQ(ex & (WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR),
            WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR);
  HMENU top = GetMenu(form->Handle());
  auto type = [](HMENU m, int pos) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(m, static_cast<UINT>(pos), TRUE, &mi);
    return mi.fType;
  };
  EXPECT_EQ(type(top, 0) & (MFT_RIGHTORDER | MFT_RIGHTJUSTIFY), MFT_RIGHTORDER | MFT_RIGHTJUSTIFY);
  EXPECT_EQ(type(top, 1) & (MFT_RIGHTORDER | MFT_RIGHTJUSTIFY), MFT_RIGHTORDER);
  EXPECT_TRUE(type(GetSubMenu(top, 0), 0) & MFT_RIGHTORDER);

  bar->SetRightToLeft(false);
  EXPECT_FALSE(type(GetMenu(form->Handle()), 0) & (MFT_RIGHTORDER | MFT_RIGHTJUSTIFY));
}

}  // namespace
