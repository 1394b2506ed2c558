// The main window's skinned menu bar under Mx1: the hot look under the mouse, the pressed
// look of the open menu's button, and the arrow keys moving between the bar's menus while
// one is open, all by real input, read back from the screen.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/TIniFile.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSkinMenu.h"
#include "support/Gui.h"
#include "support/MenuWatch.h"
#include "support/TempFolder.h"
#include "ui/Untmain.h"

namespace {

using menuwatch::ClickAt;
using menuwatch::Press;
using menuwatch::PressAlt;
using menuwatch::ScreenPixel;
using menuwatch::WaitMenuWindow;

std::string ShippedSkin(const std::string& name) {
  return std::string(TORVIK_PROGRAM_DIR) + "\\skins\\" + name + ".skn";
}

TMenuItem* Item(const TMenuItem* menu, const std::string& caption) {
  for (int i = 0; i < menu->Count(); ++i) {
    if (menu->Items(i)->Caption() == caption) return menu->Items(i);
  }
  return nullptr;
}

class SkinnedBar : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Title = "Riveri 3.5";
    file::CreateDir(temp.Path("dat"));
    file::CreateDir(temp.Path("skins"));
    ASSERT_TRUE(file::Copy(ShippedSkin("Mx1"), temp.Path("skins\\Mx1.skn"), false));
    frm = new TFrmMain(Application);
    frm->OnShow = nullptr;
    AppDir = temp.Dir();
    IniFile = new TIniFile(temp.Path("dat\\init.ini"));
    frm->ApplySavedSkin();
    frm->FillSkinMenu(frm->Opt_Skin);
    frm->Show();
    SetForegroundWindow(frm->Handle());
    gui::Pump(300);
    frm->SkinItemClick(Item(frm->Opt_Skin, "Mx1"));
    gui::Pump(500);
    skin = SkinFormOf(frm->Handle());
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->MenuBar(), nullptr);
    ASSERT_GE(skin->MenuBar()->Count(), 3);
    GetWindowRect(frm->Handle(), &wr);
  }
  void TearDown() override {
    delete frm;
    FreeSkinManager();
  }
  TMenuBtn& Button(int i) { return *skin->MenuBar()->Buttons[static_cast<size_t>(i)]; }
  // A button's centre and top-left corner on the screen.
  POINT Centre(int i) {
    const RECT& b = Button(i).Bounds;
    return POINT{wr.left + (b.left + b.right) / 2, wr.top + (b.top + b.bottom) / 2};
  }
  POINT Corner(int i) { return POINT{wr.left + Button(i).Bounds.left, wr.top + Button(i).Bounds.top}; }
  COLORREF Hilight() const { return ColorToRGB(frm->SkinData->SchemeColors[csButtonHilight]); }
  HMENU Drop(int i) const { return GetSubMenu(frm->MainMenu1->Handle(), i); }

  TApplication app;
  TempFolder temp;
  TFrmMain* frm = nullptr;
  TWinSkinForm* skin = nullptr;
  RECT wr{};
};

TEST_F(SkinnedBar, HoverGivesTheHotLookAndLeavingTakesItAway) {
  const POINT corner = Corner(1);
  const COLORREF plain = ScreenPixel(corner.x, corner.y);
  ASSERT_NE(plain, Hilight()) << "the bar itself must not look hot";
  const POINT c = Centre(1);
  for (int i = 0; i < 3; ++i) {
    gui::MoveMouse(c.x + i, c.y);
    gui::Pump(60);
  }
  EXPECT_EQ(Button(1).State, 3);
  EXPECT_EQ(ScreenPixel(corner.x, corner.y), Hilight());
  gui::MoveMouse(wr.left + 40, wr.bottom - 40);
  gui::Pump(400);
  EXPECT_EQ(Button(1).State, 1);
  EXPECT_EQ(ScreenPixel(corner.x, corner.y), plain);
}

// 文件, then Right to 辅助工具, Left back to 文件, Left again to the last menu.
TEST_F(SkinnedBar, ArrowKeysMoveBetweenTheBarsMenusAndTheOpenButtonLooksPressed) {
  const int last = skin->MenuBar()->Count() - 1;
  struct Step {
    const char* name;
    WORD key;    // pressed before looking; 0 for the first menu
    int button;  // whose drop-down is then open
  };
  const std::vector<Step> steps = {
      {"文件 opened", 0, 0}, {"Right", VK_RIGHT, 1}, {"Left", VK_LEFT, 0}, {"Left in the first", VK_LEFT, last}};
  std::vector<HMENU> wanted;
  std::vector<POINT> corners;
  for (const Step& s : steps) {
    wanted.push_back(Drop(s.button));
    corners.push_back(Corner(s.button));
  }
  std::vector<bool> opened(steps.size()), pressed(steps.size());
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    for (size_t i = 0; i < steps.size(); ++i) {
      if (steps[i].key) Press(steps[i].key);
      opened[i] = WaitMenuWindow(2000, wanted[i]) != nullptr;
      Sleep(150);
      pressed[i] = ScreenPixel(corners[i].x, corners[i].y) == Hilight();
    }
    for (int i = 0; i < 4 && WaitMenuWindow(0); ++i) {
      Press(VK_ESCAPE);
      Sleep(150);
    }
    done = true;
  });
  const POINT c = Centre(0);
  ClickAt(c.x, c.y);
  for (int i = 0; i < 300 && !done; ++i) gui::Pump(20);
  watcher.join();
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(gbk::FromUtf8(steps[i].name));
    EXPECT_TRUE(opened[i]);
    EXPECT_TRUE(pressed[i]);
  }
  gui::Pump(200);
  EXPECT_EQ(OpenMenuButton(), -1);
  for (int i = 0; i <= last; ++i) EXPECT_NE(Button(i).State, 2) << i;
}

// Another part of the program may ask for the bar's menu under a screen point (0x3518):
// on a button its drop-down opens, elsewhere nothing does.
TEST_F(SkinnedBar, AskingForTheMenuUnderAPointOpensThatButtonsDropDown) {
  constexpr UINT kMenuSelect = 0x3518;
  const POINT away{wr.left + 40, wr.bottom - 40};
  PostMessageW(frm->Handle(), kMenuSelect, 0, MAKELPARAM(away.x, away.y));
  gui::Pump(300);
  EXPECT_EQ(WaitMenuWindow(0), nullptr) << "no button there";
  const HMENU wanted = Drop(2);
  const POINT corner = Corner(2);
  bool opened = false, pressed = false;
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    opened = WaitMenuWindow(2000, wanted) != nullptr;
    Sleep(150);
    pressed = ScreenPixel(corner.x, corner.y) == Hilight();
    for (int i = 0; i < 4 && WaitMenuWindow(0); ++i) {
      Press(VK_ESCAPE);
      Sleep(150);
    }
    done = true;
  });
  const POINT c = Centre(2);
  PostMessageW(frm->Handle(), kMenuSelect, 0, MAKELPARAM(c.x, c.y));
  for (int i = 0; i < 200 && !done; ++i) gui::Pump(20);
  watcher.join();
  EXPECT_TRUE(opened);
  EXPECT_TRUE(pressed);
  gui::Pump(200);
  EXPECT_EQ(OpenMenuButton(), -1);
}

}  // namespace

namespace {

std::wstring ItemText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

// Saving a case renames 保存新命 to 保存旧命: the menu is rebuilt under the skinned bar,
// and the window gets no menu bar of the system's back.
TEST_F(SkinnedBar, RenamingAnItemKeepsTheSkinnedBar) {
  HWND h = frm->Handle();
  EXPECT_EQ(GetMenu(h), nullptr) << "the bar took the menu off the window";
  POINT before{0, 0};
  ClientToScreen(h, &before);
  const int buttons = skin->MenuBar()->Count();
  const POINT band{wr.left + skin->FLeftWidth + 1, wr.top + skin->FCaptionHeight + 1};
  const COLORREF bandPixel = ScreenPixel(band.x, band.y);
  HMENU old = frm->MainMenu1->Handle();
  frm->mnuF_save->SetCaption(gbk::FromUtf8("保存旧命"));
  gui::Pump(300);
  ASSERT_EQ(SkinFormOf(h), skin);
  EXPECT_EQ(GetMenu(h), nullptr);
  EXPECT_NE(frm->MainMenu1->Handle(), old);
  EXPECT_EQ(skin->MenuBar()->MenuHandle, frm->MainMenu1->Handle());
  EXPECT_EQ(skin->MenuBar()->Count(), buttons);
  EXPECT_EQ(ItemText(Drop(0), 1), gbk::ToWide(gbk::FromUtf8("保存旧命")));
  POINT after{0, 0};
  ClientToScreen(h, &after);
  EXPECT_EQ(after.y, before.y) << "no bar of the system's above the client area";
  EXPECT_EQ(ScreenPixel(band.x, band.y), bandPixel);
}

// The program takes its menu away and gives it back: the band goes with it and comes
// back as the skinned bar.
TEST_F(SkinnedBar, TakingTheMenuAwayAndBackKeepsTheBandRight) {
  HWND h = frm->Handle();
  const int buttons = skin->MenuBar()->Count();
  POINT before{0, 0};
  ClientToScreen(h, &before);
  const POINT corner = Corner(0);
  const COLORREF barPixel = ScreenPixel(corner.x + 3, corner.y + 3);
  frm->SetMenu(nullptr);
  gui::Pump(300);
  POINT without{0, 0};
  ClientToScreen(h, &without);
  EXPECT_EQ(skin->FMenuHeight, 0);
  EXPECT_EQ(skin->FindButtonFromAccel(L'F'), nullptr) << "no menu to open";
  EXPECT_EQ(without.y, before.y - GetSystemMetrics(SM_CYMENU)) << "the band is gone";

  frm->SetMenu(frm->MainMenu1);
  gui::Pump(300);
  POINT back{0, 0};
  ClientToScreen(h, &back);
  EXPECT_EQ(GetMenu(h), nullptr);
  EXPECT_EQ(skin->MenuBar()->MenuHandle, frm->MainMenu1->Handle());
  EXPECT_EQ(skin->MenuBar()->Count(), buttons);
  EXPECT_EQ(back.y, before.y) << "the band and no bar of the system's";
  EXPECT_EQ(ScreenPixel(corner.x + 3, corner.y + 3), barPixel) << "the skin's bar";
}

TEST_F(SkinnedBar, ThePlainLookGivesPlainMenusBack) {
  EXPECT_TRUE(frm->PopName->OwnerDraw());
  frm->SkinItemClick(Item(frm->Opt_Skin, gbk::FromUtf8("系统默认")));
  gui::Pump(500);
  ASSERT_EQ(SkinFormOf(frm->Handle()), nullptr);
  ASSERT_EQ(GetMenu(frm->Handle()), frm->MainMenu1->Handle()) << "the menu is back on the window";
  EXPECT_FALSE(frm->PopName->OwnerDraw());
  EXPECT_FALSE(frm->PopName->Items()->Items(0)->OnAdvancedDrawItem);
  LRESULT skinned = -1;
  bool opened = false;
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    HWND menu = WaitMenuWindow(2000);
    opened = menu != nullptr;
    if (menu) skinned = SendMessageW(menu, CN_IsSkinned, 0, 0);
    // The first Escape closes the drop-down, the second leaves the system's bar.
    for (int i = 0; i < 2; ++i) {
      Press(VK_ESCAPE);
      Sleep(150);
    }
    done = true;
  });
  // Alt+F, as a user opens 文件(&F).
  PressAlt('F');
  for (int i = 0; i < 200 && !done; ++i) gui::Pump(20);
  watcher.join();
  ASSERT_TRUE(opened);
  EXPECT_EQ(skinned, 0);
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoW(GetSubMenu(GetMenu(frm->Handle()), 0), 0, TRUE, &mi));
  EXPECT_FALSE(mi.fType & MFT_OWNERDRAW);
}

}  // namespace

namespace {

// The report view's context menu, opened by a real right click, wears the skin.
TEST_F(SkinnedBar, TheReportViewsContextMenuIsSkinned) {
  RECT r{};
  GetWindowRect(frm->RedtName->Handle(), &r);
  ASSERT_GT(r.right - r.left, 20);
  LRESULT skinned = -1;
  RECT item{};
  COLORREF shown[4]{};
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    if (HWND menu = WaitMenuWindow(3000)) {
      Sleep(100);
      skinned = SendMessageW(menu, CN_IsSkinned, 0, 0);
      Press(VK_DOWN);
      Sleep(200);
      auto* hmenu = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
      if (hmenu && GetMenuItemRect(nullptr, hmenu, 0, &item)) {
        const int y = (item.top + item.bottom) / 2;
        for (int i = 0; i < 4; ++i) shown[i] = ScreenPixel(item.right - 3 - 2 * i, y);
      }
    }
    for (int i = 0; i < 3 && WaitMenuWindow(0); ++i) {
      Press(VK_ESCAPE);
      Sleep(150);
    }
    done = true;
  });
  ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, true);
  for (int i = 0; i < 250 && !done; ++i) gui::Pump(20);
  watcher.join();
  EXPECT_EQ(skinned, 1);
  // Its items are drawn by the skin: the selected first one is frame 4 of the item image.
  const TDataSkinObject& it = *frm->SkinData->MenuItem;
  ASSERT_GT(item.right - item.left, 0);
  const RECT row{0, 0, item.right - item.left, item.bottom - item.top};
  std::unique_ptr<TBitmap> frame = GetHMap(row, it.Image.get(), it.Margins(), false, false, 5, 4);
  ASSERT_NE(frame, nullptr);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const COLORREF wanted = static_cast<COLORREF>(frame->Pixel(row.right - 3 - 2 * i, row.bottom / 2)) & 0xFFFFFF;
    EXPECT_EQ(shown[i], wanted) << std::hex << shown[i] << " " << wanted;
  }
}

}  // namespace

namespace {

// Alt with the letter a caption marks (辅助工具(&T)) opens that menu of the skinned bar.
TEST_F(SkinnedBar, AltWithAMarkedLetterOpensThatMenu) {
  bool opened = false;
  LRESULT skinned = -1;
  std::atomic<bool> done{false};
  HMENU tools = Drop(1);
  std::thread watcher([&] {
    if (HWND menu = WaitMenuWindow(3000, tools)) {
      opened = true;
      skinned = SendMessageW(menu, CN_IsSkinned, 0, 0);
    }
    for (int i = 0; i < 3 && WaitMenuWindow(0); ++i) {
      Press(VK_ESCAPE);
      Sleep(150);
    }
    done = true;
  });
  PressAlt('T');
  for (int i = 0; i < 250 && !done; ++i) gui::Pump(20);
  watcher.join();
  EXPECT_TRUE(opened);
  EXPECT_EQ(skinned, 1);
}

}  // namespace

namespace {

// With the caret in the name box the same keys reach the bar through the form: the
// skinned bar's menu opens with its button pressed, not a menu of the system's.
TEST_F(SkinnedBar, AltWithAMarkedLetterInATextBoxOpensTheBarsMenu) {
  RECT r{};
  GetWindowRect(frm->LedtName->Handle(), &r);
  ClickAt(r.left + 5, (r.top + r.bottom) / 2);
  gui::Pump(200);
  ASSERT_EQ(GetFocus(), frm->LedtName->Handle());
  const POINT corner = Corner(1);
  bool opened = false, pressed = false;
  LRESULT skinned = -1;
  std::atomic<bool> done{false};
  HMENU tools = Drop(1);
  std::thread watcher([&] {
    if (HWND menu = WaitMenuWindow(3000, tools)) {
      opened = true;
      Sleep(150);
      skinned = SendMessageW(menu, CN_IsSkinned, 0, 0);
      pressed = ScreenPixel(corner.x, corner.y) == Hilight();
    }
    for (int i = 0; i < 3 && WaitMenuWindow(0); ++i) {
      Press(VK_ESCAPE);
      Sleep(150);
    }
    done = true;
  });
  PressAlt('T');
  for (int i = 0; i < 250 && !done; ++i) gui::Pump(20);
  watcher.join();
  EXPECT_TRUE(opened);
  EXPECT_EQ(skinned, 1);
  EXPECT_TRUE(pressed);
}

}  // namespace
