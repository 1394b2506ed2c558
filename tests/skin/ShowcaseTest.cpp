// Our three skins drawn as a window of 300 x 200 with a few controls, saved as one PNG
// for people to look at.
#include <gtest/gtest.h>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "skin/BitmapPixels.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"

namespace {

constexpr int kW = 300, kH = 200;

void Draw(HDC dc, const RECT& r, const TDataSkinObject* o, int frame, bool trans = false) {
  if (o) DrawRect2(dc, r, o->Image.get(), false, o->Tile == 1, trans || o->Trans == 1, o->Frame, frame, o->Margins());
}

// A skinned window's frame, caption buttons and a few control surfaces at x0.
void DrawWindow(const TSkinData& d, HDC dc, int x0) {
  const TDataSkinBorder &left = *d.Border[1], &right = *d.Border[2], &top = *d.Border[3], &bottom = *d.Border[4];
  const int caption = top.Image->Height() / top.Frame, edge = bottom.Image->Height() / bottom.Frame;
  HBRUSH face = CreateSolidBrush(ColorToRGB(d.SchemeColors[csButtonFace]));
  RECT all{x0, 0, x0 + kW, kH};
  FillRect(dc, &all, face);
  DeleteObject(face);
  // The borders keep their "Stretch" value in Tile: 1 stretches the middle.
  auto border = [&](const TDataSkinBorder& b, RECT r, bool stacked) {
    DrawRect2(dc, r, b.Image.get(), stacked, b.Tile == 0, b.Trans == 1, b.Frame, 1, b.Margins());
  };
  border(left, {x0, 0, x0 + left.Image->Width() / left.Frame, kH}, false);
  border(right, {x0 + kW - right.Image->Width() / right.Frame, 0, x0 + kW, kH}, false);
  border(top, {x0, 0, x0 + kW, caption}, true);
  border(bottom, {x0, kH - edge, x0 + kW, kH}, true);
  for (const auto& b : d.SysButtons) {
    if (b->Image->Empty() || b->Visibility == 100 || b->Visibility == 1) continue;  // as on a normal window
    const int w = b->Image->Width() / b->Frame, x = b->Align == 1 ? x0 + kW - b->Xcoord : x0 + b->Xcoord;
    DrawRect1(dc, {x, b->Ycoord, x + w, b->Ycoord + b->Image->Height()}, b->Image.get(), true, b->Frame, 1);
  }
  const int y = caption + 12;
  Draw(dc, {x0 + 20, y, x0 + 100, y + 24}, d.Buttons.get(), 1);
  Draw(dc, {x0 + 110, y, x0 + 190, y + 24}, d.Buttons.get(), 4);
  Draw(dc, {x0 + 200, y, x0 + 270, y + 22}, d.Tabs.get(), 1);
  Draw(dc, {x0 + 20, y + 36, x0 + 170, y + 57}, d.ComboButton.get(), 1, true);  // its text area is see-through
  Draw(dc, {x0 + 20, y + 70, x0 + 200, y + 86}, d.HorzScroll.get(), 1);
  Draw(dc, {x0 + 60, y + 70, x0 + 100, y + 86}, d.HorzScrollThumb.get(), 1);
  Draw(dc, {x0 + 20, y + 100, x0 + 200, y + 116}, d.Progress.get(), 1);
  Draw(dc, {x0 + 23, y + 103, x0 + 120, y + 113}, d.ProgressChunk.get(), 1);
  Draw(dc, {x0 + 210, y + 36, x0 + 280, y + 116}, d.Toolbar.get(), 1);
}

TEST(Showcase, OurSkinsDrawnAsWindows) {
  const char* skins[] = {"Mx1", "Ink", "Plain"};
  TBitmap sheet;
  sheet.SetSize(3 * kW + 20, kH);
  sheet.Canvas().Brush.Color = clWhite;
  sheet.Canvas().FillRect(RECT{0, 0, sheet.Width(), kH});
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(skins[i]);
    TSkinData d(nullptr);
    ASSERT_TRUE(d.LoadFromFile(std::string(TORVIK_PROGRAM_DIR) + "\\skins\\" + skins[i] + ".skn"));
    const int x0 = i * (kW + 10);
    DrawWindow(d, sheet.Canvas().Handle(), x0);
    // The caption's middle is the top border's first frame, stretched across.
    const TBitmap& top = *d.Border[3]->Image;
    EXPECT_EQ(sheet.Pixel(x0 + kW / 2, 10), top.Pixel(top.Width() / 2, 10));
    EXPECT_NE(sheet.Pixel(x0 + kW / 2, kH - 1), clWhite) << "the bottom border is drawn";
  }
  std::string dir = file::ProgramFolder() + "..\\" TORVIK_SCREENSHOT_DIR;  // beside the program folder
  CreateDirectoryW(gbk::ToWide(dir).c_str(), nullptr);
  EXPECT_TRUE(skintest::SavePng(sheet, dir + "\\skin_showcase.png"));
}

}  // namespace
