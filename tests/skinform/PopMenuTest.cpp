// Skinned menus on the screen: a menu opened from a skinned form's menu band, a program
// popup menu, and one that asks to stay plain. The menus are opened by real mouse and
// key input; a watcher thread reads what the menu window shows back from the screen
// while the menu's own loop runs on the test's thread.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/TStringList.h"
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
using skinform::SkinPath;

using menuwatch::ClickAt;
using menuwatch::Press;
using menuwatch::ScreenPixel;
using menuwatch::WaitMenuWindow;

// What the watcher saw of one open menu.
struct Seen {
  HWND window = nullptr;
  LRESULT skinned = -1;
  RECT rect{};
  COLORREF left = 0, top = 0, right = 0, bottom = 0;  // border pixels, half-way along each side
  RECT item{};                                        // the first item, selected
  COLORREF itemPixels[4]{};                           // along the selected row's right part
  RECT separator{};                                   // the third item
};

// Runs `open` on this thread (it returns when the menu closes) while a thread waits for
// the menu, looks at it, selects its first item with the Down key unless the menu did
// (a drop-down of the skinned bar selects its first item itself) and closes it.
Seen WatchMenu(const std::function<void()>& open, bool selectsItself = false) {
  Seen seen;
  std::thread watcher([&seen, selectsItself] {
    HWND h = WaitMenuWindow(3000);
    if (!h) return;
    Sleep(150);
    seen.window = h;
    seen.skinned = SendMessageW(h, CN_IsSkinned, 0, 0);
    GetWindowRect(h, &seen.rect);
    const RECT& r = seen.rect;
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    seen.left = ScreenPixel(r.left + 1, cy);
    seen.top = ScreenPixel(cx, r.top + 1);
    seen.right = ScreenPixel(r.right - 2, cy);
    seen.bottom = ScreenPixel(cx, r.bottom - 2);
    if (!selectsItself) Press(VK_DOWN);
    Sleep(200);
    auto* menu = reinterpret_cast<HMENU>(SendMessageW(h, MN_GETHMENU, 0, 0));
    gui::SaveScreenshot(h, gui::ScreenshotPath("skinned-menu.png"));
    if (menu) GetMenuItemRect(nullptr, menu, 2, &seen.separator);
    if (menu && GetMenuItemRect(nullptr, menu, 0, &seen.item)) {
      const int y = (seen.item.top + seen.item.bottom) / 2;
      for (int i = 0; i < 4; ++i) seen.itemPixels[i] = ScreenPixel(seen.item.right - 3 - 2 * i, y);
    }
    for (int i = 0; i < 3 && IsWindowVisible(h); ++i) {
      Press(VK_ESCAPE);
      Sleep(150);
    }
  });
  open();
  for (int i = 0; i < 30 && watcher.joinable(); ++i) gui::Pump(20);
  watcher.join();
  return seen;
}

COLORREF ColourOf(TBitmap& bmp, int x, int y) { return static_cast<COLORREF>(bmp.Pixel(x, y)) & 0xFFFFFF; }

class MenuForm : public TForm {
 public:
  explicit MenuForm(TComponent* owner) : TForm(owner) {
    SetText(U("菜单测试"));
    SetBounds(60, 60, 360, 240);
    bar = new TMainMenu(this);
    for (const char* caption : {"文件", "选项"}) {
      auto* top = new TMenuItem(this);
      top->SetCaption(U(caption));
      for (const char* sub : {"第一项", "第二项", "-", "第三项"}) {
        auto* item = new TMenuItem(this);
        item->SetCaption(U(sub));
        top->Add(item);
      }
      bar->Items()->Add(top);
    }
    SetMenu(bar);
    DoCreate();
  }
  std::string ClassName() const override { return "TMenuForm"; }
  TMainMenu* bar;
};

class SkinnedMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSkinManager();
    data = new TSkinData(&app);
    data->Loaded();
    ASSERT_TRUE(data->LoadFromFile(SkinPath("Mx1"))) << data->LastError();
    data->SetActive(true);
    form = new MenuForm(&app);
    form->Show();
    SetForegroundWindow(form->Handle());
    gui::Pump(300);
  }
  void TearDown() override {
    delete form;
    delete data;
    FreeSkinManager();
  }
  // A real click on the menu band, on the item with this position.
  void OpenFromBand(int index) {
    TWinSkinForm* skin = SkinFormOf(form->Handle());
    ASSERT_NE(skin, nullptr);
    RECT wr{};
    GetWindowRect(form->Handle(), &wr);
    const int y = wr.top + skin->FCaptionHeight + skin->FMenuHeight / 2;
    // Each caption of this form's bar is two characters wide plus padding.
    ClickAt(wr.left + skin->FLeftWidth + 14 + index * 44, y);
    gui::Pump(100);
  }
  TApplication app;
  TSkinData* data = nullptr;
  MenuForm* form = nullptr;
};

TEST_F(SkinnedMenus, TheBandsMenuWearsTheMenuBackgroundAndItsSelectedRowTheItemFrame) {
  const Seen seen = WatchMenu([this] { OpenFromBand(1); }, true);
  ASSERT_NE(seen.window, nullptr) << "no menu window opened";
  EXPECT_EQ(seen.skinned, 1);

  const TDataSkinObject& bg = *data->MenuBackground;
  const RECT size{0, 0, Width(seen.rect), Height(seen.rect)};
  std::unique_ptr<TBitmap> expected = GetHMap(size, bg.Image.get(), bg.Margins(), false, bg.Tile == 1, 1, 1);
  ASSERT_NE(expected, nullptr);
  const int cx = Width(seen.rect) / 2, cy = Height(seen.rect) / 2;
  struct Edge {
    const char* name;
    COLORREF shown, wanted;
  };
  for (const Edge& e :
       {Edge{"left", seen.left, ColourOf(*expected, 1, cy)}, Edge{"top", seen.top, ColourOf(*expected, cx, 1)},
        Edge{"right", seen.right, ColourOf(*expected, size.right - 2, cy)},
        Edge{"bottom", seen.bottom, ColourOf(*expected, cx, size.bottom - 2)}}) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.shown, e.wanted) << std::hex << e.shown << " " << e.wanted;
  }

  // The selected row is frame 4 of the item image, stretched over the row; its right
  // part holds no text.
  const TDataSkinObject& it = *data->MenuItem;
  ASSERT_GT(Width(seen.item), 0);
  const RECT row{0, 0, Width(seen.item), Height(seen.item)};
  std::unique_ptr<TBitmap> frame = GetHMap(row, it.Image.get(), it.Margins(), false, false, 5, 4);
  ASSERT_NE(frame, nullptr);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const COLORREF wanted = ColourOf(*frame, row.right - 3 - 2 * i, row.bottom / 2);
    EXPECT_EQ(seen.itemPixels[i], wanted) << std::hex << seen.itemPixels[i] << " " << wanted;
  }
  EXPECT_EQ(Height(seen.separator), 8) << "a skinned separator row";
  EXPECT_EQ(SkinManager->MenuCount(), 0);
  EXPECT_EQ(SkinManager->MenuKind, 0);

  // Once the menu is closed the items are plain again: a window without the skin could
  // show them.
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoW(GetSubMenu(form->bar->Handle(), 1), 0, TRUE, &mi));
  EXPECT_FALSE(mi.fType & MFT_OWNERDRAW);
}

TEST_F(SkinnedMenus, ProgramPopupMenusAreSkinnedUnlessTaggedToStayPlain) {
  struct Row {
    const char* name;
    int tag;
    LRESULT skinned;
  };
  for (const Row& row : {Row{"untagged", 0, 1}, Row{"tag 99", 99, 0}}) {
    SCOPED_TRACE(row.name);
    TPopupMenu popup(form);
    popup.Tag = row.tag;
    auto* item = new TMenuItem(form);
    item->SetCaption(U("复制"));
    popup.Items()->Add(item);
    RECT wr{};
    GetWindowRect(form->Handle(), &wr);
    const Seen seen = WatchMenu([&] { popup.Popup(wr.left + 80, wr.top + 120, form->Handle()); });
    ASSERT_NE(seen.window, nullptr);
    EXPECT_EQ(seen.skinned, row.skinned);
  }
}

TEST_F(SkinnedMenus, WithoutTheSkinMenusArePlainAgain) {
  data->SetActive(false);
  gui::Pump(400);
  ASSERT_EQ(SkinFormOf(form->Handle()), nullptr);
  TPopupMenu popup(form);
  auto* item = new TMenuItem(form);
  item->SetCaption(U("复制"));
  popup.Items()->Add(item);
  RECT wr{};
  GetWindowRect(form->Handle(), &wr);
  const Seen seen = WatchMenu([&] { popup.Popup(wr.left + 80, wr.top + 120, form->Handle()); });
  ASSERT_NE(seen.window, nullptr);
  EXPECT_EQ(seen.skinned, 0);
}

}  // namespace

namespace {

// The position of the skinned system menu's item standing for a command.
int PositionOf(HMENU menu, UINT id) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    const TMenuItem* item = TMenu::ItemAt(menu, i);
    if (item && item->Tag == static_cast<int>(id)) return i;
  }
  return -1;
}

// A right click on the caption opens the system menu, skinned, its commands with the
// skin's glyphs; choosing Minimize minimizes the window.
TEST_F(SkinnedMenus, TheCaptionsSystemMenuIsSkinnedWithGlyphsAndItsCommandsAct) {
  TWinSkinForm* skin = SkinFormOf(form->Handle());
  ASSERT_NE(skin, nullptr);
  RECT wr{};
  GetWindowRect(form->Handle(), &wr);
  const int edge = data->MenuItem->LeftWidth;
  LRESULT skinned = -1;
  bool found = false;
  int blackOnCross = 0;
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    HWND h = WaitMenuWindow(3000);
    if (h) {
      Sleep(150);
      skinned = SendMessageW(h, CN_IsSkinned, 0, 0);
      auto* menu = reinterpret_cast<HMENU>(SendMessageW(h, MN_GETHMENU, 0, 0));
      const int close = PositionOf(menu, SC_CLOSE), minimize = PositionOf(menu, SC_MINIMIZE);
      RECT closeRect{}, minRect{};
      found = close >= 0 && minimize >= 0 && GetMenuItemRect(nullptr, menu, close, &closeRect) &&
              GetMenuItemRect(nullptr, menu, minimize, &minRect);
      if (found) {
        // The close glyph is a cross two pixels wide from (4, 4) to (11, 11).
        const int gx = closeRect.left + 1 + edge, gy = closeRect.top + (Height(closeRect) - 16) / 2;
        for (int i = 0; i < 8; ++i) blackOnCross += ScreenPixel(gx + 5 + i, gy + 4 + i) == 0;
        ClickAt((minRect.left + minRect.right) / 2, (minRect.top + minRect.bottom) / 2);
        Sleep(300);
      }
    }
    for (int i = 0; i < 3 && WaitMenuWindow(0); ++i) {
      Press(VK_ESCAPE);
      Sleep(150);
    }
    done = true;
  });
  ClickAt((wr.left + wr.right) / 2, wr.top + skin->FCaptionHeight / 2, true);
  for (int i = 0; i < 250 && !done; ++i) gui::Pump(20);
  watcher.join();
  gui::Pump(400);
  EXPECT_EQ(skinned, 1);
  ASSERT_TRUE(found);
  EXPECT_EQ(blackOnCross, 8);
  EXPECT_TRUE(IsIconic(form->Handle()));
}

}  // namespace

namespace {

// A popup menu with a glyph strip: an item shows its glyph in the skin's glyph place, a
// disabled item the glyph's shape in the disabled text colour, an item without one none.
TEST_F(SkinnedMenus, PopupItemsShowTheirGlyphsFromTheMenusStrip) {
  TBitmap strip;
  strip.SetSize(32, 16);
  strip.Canvas().Brush.Color = clWhite;
  strip.Canvas().FillRect(RECT{0, 0, 32, 16});
  const TColor red = static_cast<TColor>(RGB(220, 0, 0));
  strip.Canvas().Brush.Color = red;
  strip.Canvas().FillRect(RECT{16 + 4, 4, 16 + 12, 12});
  TImageList images;
  ASSERT_TRUE(images.AddStrip(strip, RGB(255, 255, 255)));
  TPopupMenu popup(form);
  popup.Images = &images;
  struct Row {
    const char* caption;
    int image;
    bool enabled;
  };
  const Row rows[] = {{"有图", 1, true}, {"灰图", 1, false}, {"无图", -1, true}};
  for (const Row& row : rows) {
    auto* item = new TMenuItem(form);
    item->SetCaption(U(row.caption));
    item->ImageIndex = row.image;
    item->SetEnabled(row.enabled);
    popup.Items()->Add(item);
  }
  TWinSkinForm* skin = SkinFormOf(form->Handle());
  ASSERT_NE(skin, nullptr);
  skin->InitPopMenu(form, true);
  ASSERT_TRUE(popup.OwnerDraw());
  const int edge = data->MenuItem->LeftWidth;
  COLORREF centre[3]{};
  bool found = false;
  std::thread watcher([&] {
    HWND h = WaitMenuWindow(3000);
    if (h) {
      Sleep(200);
      auto* menu = reinterpret_cast<HMENU>(SendMessageW(h, MN_GETHMENU, 0, 0));
      found = menu != nullptr;
      for (int i = 0; found && i < 3; ++i) {
        RECT r{};
        found = GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r);
        centre[i] = ScreenPixel(r.left + 1 + edge + 8, r.top + (Height(r) - 16) / 2 + 8);
      }
    }
    for (int i = 0; i < 3 && WaitMenuWindow(0); ++i) {
      Press(VK_ESCAPE);
      Sleep(150);
    }
  });
  RECT wr{};
  GetWindowRect(form->Handle(), &wr);
  popup.Popup(wr.left + 60, wr.top + 90, form->Handle());
  watcher.join();
  ASSERT_TRUE(found);
  const TColor text = data->SchemeColors[csMenuText], shadow = data->SchemeColors[csButtonShadow];
  const COLORREF grey = shadow == text ? GetSysColor(COLOR_BTNSHADOW) : ColorToRGB(shadow);
  EXPECT_EQ(centre[0], ColorToRGB(red));
  EXPECT_EQ(centre[1], grey);
  EXPECT_NE(centre[2], ColorToRGB(red));
  EXPECT_NE(centre[2], grey);
}

}  // namespace

namespace {

// A skin that asks for skinned menu items has the class library draw the bar's
// drop-downs through the skinner: the selected row is still the item frame, and the
// items are given back to the system's drawing when the skin lets them go.
TEST_F(SkinnedMenus, MenuItemsTheSkinAsksForAreDrawnThroughTheClassLibrary) {
  TWinSkinForm* skin = SkinFormOf(form->Handle());
  ASSERT_NE(skin, nullptr);
  data->SkinControls = WithElement(data->SkinControls, xcMenuItem, true);
  skin->InitMainMenu(form, true);
  ASSERT_TRUE(form->bar->OwnerDraw());
  TMenuItem* first = form->bar->Items()->Items(1)->Items(0);
  EXPECT_TRUE(first->OnAdvancedDrawItem);
  EXPECT_FALSE(form->bar->Items()->Items(1)->OnAdvancedDrawItem) << "the bar's own items are left alone";
  gui::Pump(200);
  ASSERT_EQ(skin->MenuBar()->MenuHandle, form->bar->Handle()) << "the rebuilt menu is the bar's";

  const Seen seen = WatchMenu([this] { OpenFromBand(1); }, true);
  ASSERT_NE(seen.window, nullptr);
  EXPECT_EQ(seen.skinned, 1);
  const TDataSkinObject& it = *data->MenuItem;
  ASSERT_GT(Width(seen.item), 0);
  const RECT row{0, 0, Width(seen.item), Height(seen.item)};
  std::unique_ptr<TBitmap> frame = GetHMap(row, it.Image.get(), it.Margins(), false, false, 5, 4);
  ASSERT_NE(frame, nullptr);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const COLORREF wanted = ColourOf(*frame, row.right - 3 - 2 * i, row.bottom / 2);
    EXPECT_EQ(seen.itemPixels[i], wanted) << std::hex << seen.itemPixels[i] << " " << wanted;
  }
  EXPECT_EQ(Height(seen.separator), 8);

  skin->InitMainMenu(form, false);
  EXPECT_FALSE(form->bar->OwnerDraw());
  EXPECT_FALSE(first->OnAdvancedDrawItem);
}

}  // namespace

namespace {

const TMenuItem* ItemOfCommand(const TPopupMenu& popup, UINT id) {
  for (int i = 0; i < popup.Items()->Count(); ++i) {
    if (popup.Items()->Items(i)->Tag == static_cast<int>(id)) return popup.Items()->Items(i);
  }
  return nullptr;
}

// The skinned system menu is a popup menu of ours holding the window's items: their
// texts and commands, the skin's glyphs, and enabling by the window's state and by the
// states the window's own menu gives them.
TEST_F(SkinnedMenus, TheSystemMenuHoldsTheWindowsItemsEnabledByItsState) {
  TWinSkinForm* skin = SkinFormOf(form->Handle());
  ASSERT_NE(skin, nullptr);
  HMENU system = GetSystemMenu(form->Handle(), FALSE);
  ASSERT_NE(system, nullptr);
  CheckMenuItem(system, SC_MOVE, MF_BYCOMMAND | MF_CHECKED);
  EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  skin->CreateSysmenu2();
  const TPopupMenu* popup = skin->SysPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->Tag, 33333);
  EXPECT_TRUE(popup->OwnerDraw());
  EXPECT_EQ(popup->Images, data->MenuImages.get());
  ASSERT_EQ(popup->Items()->Count(), GetMenuItemCount(system));
  for (int i = 0; i < popup->Items()->Count(); ++i) {
    const TMenuItem& item = *popup->Items()->Items(i);
    SCOPED_TRACE(item.Caption());
    EXPECT_EQ(static_cast<UINT>(item.Tag), GetMenuItemID(system, i));
    wchar_t text[80] = {};
    GetMenuStringW(system, static_cast<UINT>(i), text, 80, MF_BYPOSITION);
    EXPECT_EQ(item.Caption(), text[0] ? gbk::FromWide(text) : "-");
    EXPECT_TRUE(item.OnAdvancedDrawItem && item.OnMeasureItem && item.OnClick);
  }
  struct Row {
    UINT id;
    int image;
    bool enabled, checked;
  };
  const Row normal[] = {{SC_RESTORE, 0, false, false}, {SC_MAXIMIZE, 1, true, false}, {SC_MINIMIZE, 2, true, false},
                        {SC_CLOSE, 3, false, false},   {SC_MOVE, -1, true, true},     {SC_SIZE, -1, true, false}};
  for (const Row& row : normal) {
    SCOPED_TRACE(row.id);
    const TMenuItem* item = ItemOfCommand(*popup, row.id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->ImageIndex, row.image);
    EXPECT_EQ(item->Enabled(), row.enabled);
    EXPECT_EQ(item->Checked(), row.checked);
  }

  // Maximized: restore is offered, maximizing, moving and sizing are not.
  CheckMenuItem(system, SC_MOVE, MF_BYCOMMAND | MF_UNCHECKED);
  EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
  ShowWindow(form->Handle(), SW_MAXIMIZE);
  gui::Pump(300);
  skin->CreateSysmenu2();
  popup = skin->SysPopup();
  for (const Row& row :
       {Row{SC_RESTORE, 0, true, false}, Row{SC_MAXIMIZE, 1, false, false}, Row{SC_CLOSE, 3, true, false},
        Row{SC_MOVE, -1, false, false}, Row{SC_SIZE, -1, false, false}}) {
    SCOPED_TRACE(row.id);
    const TMenuItem* item = ItemOfCommand(*popup, row.id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Enabled(), row.enabled);
    EXPECT_EQ(item->Checked(), row.checked);
  }

  // Choosing an item sends its command to the window.
  const_cast<TMenuItem*>(ItemOfCommand(*popup, SC_RESTORE))->Click();
  gui::Pump(300);
  EXPECT_FALSE(IsZoomed(form->Handle()));
}

// The fixed menu of old Windows: restore, the boxes the window has, a separator and
// close, each acting on the window.
TEST_F(SkinnedMenus, TheFixedSystemMenuOffersTheWindowsBoxesAndActs) {
  TWinSkinForm* skin = SkinFormOf(form->Handle());
  ASSERT_NE(skin, nullptr);
  skin->CreateSysmenu();
  TPopupMenu* popup = skin->SysPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->Tag, 33333);
  EXPECT_TRUE(popup->OwnerDraw());
  EXPECT_EQ(popup->Images, data->MenuImages.get());
  std::string shown;
  for (int i = 0; i < popup->Items()->Count(); ++i) {
    const TMenuItem& item = *popup->Items()->Items(i);
    shown += item.Caption() + "/" + std::to_string(item.Tag) + "/" + std::to_string(item.ImageIndex) + ";";
  }
  EXPECT_EQ(shown, " Restore /0/0; Maximize /1/1; Minimize /2/2;-/100/-1; Close /3/3;");
  EXPECT_EQ(popup->Items()->Items(4)->ShortCut, scAlt | VK_F4);

  popup->Items()->Items(1)->Click();
  gui::Pump(300);
  EXPECT_TRUE(IsZoomed(form->Handle()));
  popup->Items()->Items(0)->Click();
  gui::Pump(300);
  EXPECT_FALSE(IsZoomed(form->Handle()));
  popup->Items()->Items(2)->Click();
  gui::Pump(300);
  EXPECT_TRUE(IsIconic(form->Handle()));
  ShowWindow(form->Handle(), SW_RESTORE);
  gui::Pump(200);
  bool closing = false;
  form->OnClose = [&](TObject*, TCloseAction& a) {
    closing = true;
    a = caNone;
  };
  popup->Items()->Items(4)->Click();
  gui::Pump(200);
  EXPECT_TRUE(closing);

  // A window without boxes is offered neither.
  skin->FIcons &= static_cast<TSkinFormIcons>(~((1 << sbiMax) | (1 << sbiMin)));
  skin->CreateSysmenu();
  ASSERT_EQ(skin->SysPopup()->Items()->Count(), 3);
  EXPECT_EQ(skin->SysPopup()->Items()->Items(1)->Caption(), "-");
}

// The menu window's trace line names the window and the message.
TEST(SkinnedMenuTrace, AddLogWritesTheWindowAndTheMessageToTheDebugList) {
  TApplication app;
  TSkinData data(&app);
  TStringList list;
  data.DebugList = &list;
  TWinSkinPopMenu menu;
  menu.Data = &data;
  menu.Wnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x5a));
  menu.AddLog(TMessage{WM_NCPAINT, 0, 0, 0});
  menu.AddLog(TMessage{0x1e5, 0, 0, 0});
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0], "Menu hook:  5a WM_NCPAINT");
  EXPECT_EQ(list[1], "Menu hook:  5a 0x01e5");
}

}  // namespace
