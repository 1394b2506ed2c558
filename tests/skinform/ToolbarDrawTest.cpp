// A tool bar on a skinned form: the button under the mouse wears the hot frame of the
// skin's tool-bar button image, read back from the screen, and the skin going gives the
// tool bar its own drawing back.
#include <gtest/gtest.h>

#include <thread>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"
#include "support/MenuWatch.h"

namespace {

using skinform::Put;

class ToolbarForm : public TForm {
 public:
  explicit ToolbarForm(TComponent* owner) : TForm(owner) {
    SetText(gbk::FromUtf8("工具栏"));
    SetBounds(80, 80, 360, 200);
    bar = Put<TToolBar>(this, 10, 10, 300, 30);
    for (const char* caption : {"打开", "保存"}) bar->AddButton(gbk::FromUtf8(caption));
    DoCreate();
  }
  std::string ClassName() const override { return "TToolbarForm"; }
  TToolBar* bar;
};

class ToolbarDraw : public skinform::SkinTest {};

TEST_F(ToolbarDraw, TheButtonUnderTheMouseWearsTheSkinsHotFrame) {
  Activate("Mx1");
  const TDataSkinObject* skin = data->ToolBars.get();
  ASSERT_TRUE(skin && skin->Image && !skin->Image->Empty());
  ToolbarForm form(&app);
  form.Show();
  SetForegroundWindow(form.Handle());
  gui::Pump(400);
  ASSERT_NE(SkinFormOf(form.Handle()), nullptr);
  ASSERT_TRUE(form.bar->OnCustomDrawButton);

  HWND h = form.bar->Handle();
  RECT item{};
  ASSERT_TRUE(SendMessageW(h, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
  RECT inner = item;
  InflateRect(&inner, -1, -1);
  TBitmap want;
  want.SetSize(Width(inner), Height(inner));
  DrawRect2(want.Canvas().Handle(), RECT{0, 0, Width(inner), Height(inner)}, skin->Image.get(), false, false, false, 5,
            4, skin->Margins());
  POINT at{inner.left + 1, inner.top + Height(inner) / 2};
  const COLORREF hot = static_cast<COLORREF>(want.Pixel(1, Height(inner) / 2)) & 0xFFFFFF;
  ClientToScreen(h, &at);
  const COLORREF before = menuwatch::ScreenPixel(at.x, at.y);
  POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ClientToScreen(h, &centre);
  for (int i = 0; i < 3; ++i) {
    gui::MoveMouse(centre.x + i, centre.y);
    gui::Pump(80);
  }
  EXPECT_EQ(menuwatch::ScreenPixel(at.x, at.y), hot) << std::hex << hot;
  EXPECT_NE(before, hot) << "not hot before the mouse came";

  data->SetActive(false);
  gui::Pump(400);
  EXPECT_FALSE(form.bar->OnCustomDraw);
  EXPECT_FALSE(form.bar->OnCustomDrawButton);
}

}  // namespace

namespace {

// A tool bar showing a menu: a button for each of its items.
class MenuToolbarForm : public TForm {
 public:
  explicit MenuToolbarForm(TComponent* owner) : TForm(owner) {
    SetText(gbk::FromUtf8("菜单工具栏"));
    SetBounds(80, 80, 360, 220);
    menu = new TMainMenu(this);
    file = Add(menu->Items(), "文件");
    for (const char* caption : {"打开", "-", "保存"}) Add(file, caption);
    help = Add(menu->Items(), "帮助");
    bar = Put<TToolBar>(this, 10, 10, 300, 30);
    bar->SetMenu(menu);
    DoCreate();
  }
  std::string ClassName() const override { return "TMenuToolbarForm"; }
  TMenuItem* Add(TMenuItem* parent, const char* caption) {
    auto* item = new TMenuItem(this);
    item->SetCaption(gbk::FromUtf8(caption));
    parent->Add(item);
    return item;
  }
  TMainMenu* menu;
  TMenuItem* file;
  TMenuItem* help;
  TToolBar* bar;
};

// The screen centre of the tool bar's button.
POINT ButtonCentre(TToolBar* bar, int i) {
  RECT r{};
  SendMessageW(bar->Handle(), TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(bar->Handle(), &p);
  return p;
}

// The items of a tool bar's menu are drawn by the skin: a click on the button drops its
// items down, and the selected row shows frame 4 of the skin's item image; a separator
// is the skin's thin row. The skin going gives the items back to the menu's own drawing.
TEST_F(ToolbarDraw, TheItemsOfAToolbarsMenuAreDrawnByTheSkin) {
  Activate("Mx1");
  MenuToolbarForm form(&app);
  ASSERT_EQ(form.bar->ButtonCount(), 2);
  EXPECT_EQ(form.bar->Buttons(0)->MenuItem, form.file);
  form.Show();
  SetForegroundWindow(form.Handle());
  gui::Pump(400);
  ASSERT_NE(SkinFormOf(form.Handle()), nullptr);
  EXPECT_TRUE(form.menu->OwnerDraw());
  for (int i = 0; i < form.file->Count(); ++i) {
    EXPECT_TRUE(form.file->Items(i)->OnAdvancedDrawItem) << i;
    EXPECT_TRUE(form.file->Items(i)->OnMeasureItem) << i;
  }

  RECT row{}, separator{};
  COLORREF shown[4]{};
  std::thread watcher([&] {
    if (HWND h = menuwatch::WaitMenuWindow(3000)) {
      Sleep(150);
      menuwatch::Press(VK_DOWN);
      Sleep(200);
      auto* menu = reinterpret_cast<HMENU>(SendMessageW(h, MN_GETHMENU, 0, 0));
      if (menu && GetMenuItemRect(nullptr, menu, 0, &row)) {
        for (int i = 0; i < 4; ++i)
          shown[i] = menuwatch::ScreenPixel(row.right - 3 - 2 * i, (row.top + row.bottom) / 2);
        GetMenuItemRect(nullptr, menu, 1, &separator);
      }
    }
    menuwatch::CloseAll();
  });
  const POINT at = ButtonCentre(form.bar, 0);
  menuwatch::ClickAt(at.x, at.y);
  for (int i = 0; i < 150 && (Width(row) == 0 || menuwatch::WaitMenuWindow(0)); ++i) gui::Pump(20);
  watcher.join();
  gui::ParkMouse();
  ASSERT_GT(Width(row), 0) << "no drop-down opened";
  const TDataSkinObject& it = *data->MenuItem;
  const RECT local{0, 0, Width(row), Height(row)};
  std::unique_ptr<TBitmap> frame = GetHMap(local, it.Image.get(), it.Margins(), false, false, 5, 4);
  ASSERT_NE(frame, nullptr);
  for (int i = 0; i < 4; ++i) {
    const COLORREF want = static_cast<COLORREF>(frame->Pixel(local.right - 3 - 2 * i, local.bottom / 2)) & 0xFFFFFF;
    EXPECT_EQ(shown[i], want) << i << " " << std::hex << shown[i] << " " << want;
  }
  EXPECT_EQ(Height(separator), 8) << "the skin's separator row";

  // A button whose item has no items clicks it.
  int helped = 0;
  form.help->OnClick = [&](TObject*) { ++helped; };
  const POINT helpAt = ButtonCentre(form.bar, 1);
  menuwatch::ClickAt(helpAt.x, helpAt.y);
  gui::Pump(300);
  gui::ParkMouse();
  EXPECT_EQ(helped, 1);

  data->SetActive(false);
  gui::Pump(400);
  EXPECT_FALSE(form.menu->OwnerDraw());
  EXPECT_FALSE(form.file->Items(0)->OnAdvancedDrawItem);
  EXPECT_FALSE(form.file->Items(0)->OnMeasureItem);
}

// Without tool bars among the skinned kinds, the items the buttons stand for are still
// drawn by the skin, while the tool bar keeps its own drawing.
TEST_F(ToolbarDraw, TheButtonsItemsAreSkinnedWithTheFrameAlone) {
  Activate("Mx1");
  data->SkinControls = WithElement(data->SkinControls, xcToolbar, false);
  MenuToolbarForm form(&app);
  form.Show();
  SetForegroundWindow(form.Handle());
  gui::Pump(400);
  ASSERT_NE(SkinFormOf(form.Handle()), nullptr);
  EXPECT_FALSE(form.bar->OnCustomDrawButton);
  EXPECT_TRUE(form.menu->OwnerDraw());
  EXPECT_TRUE(form.file->Items(2)->OnAdvancedDrawItem);
}

}  // namespace
