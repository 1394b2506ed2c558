// A tool bar on a skinned form: the button under the mouse wears the hot frame of the
// skin's tool-bar button image, read back from the screen, and the skin going gives the
// tool bar its own drawing back.
#include <gtest/gtest.h>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
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
