// Bitmaps read from BMP data and drawn on through the canvas.
#include <gtest/gtest.h>

#include <cstring>

#include "classlib/Gbk.h"
#include "classlib/Graphics.h"

namespace {

// A 3x2 24-bit BMP, bottom-up as BMP files are: top row red, green, blue; bottom row white.
std::string SmallBmp() {
  const int w = 3, h = 2, stride = 12;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + stride * h;
  ih.biSize = sizeof ih;
  ih.biWidth = w;
  ih.biHeight = h;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  std::string data(fh.bfSize, '\0');
  std::memcpy(data.data(), &fh, sizeof fh);
  std::memcpy(data.data() + sizeof fh, &ih, sizeof ih);
  const unsigned char bottom[] = {255, 255, 255, 255, 255, 255, 255, 255, 255};
  const unsigned char top[] = {0, 0, 255, 0, 255, 0, 255, 0, 0};  // blue, green, red bytes
  std::memcpy(data.data() + fh.bfOffBits, bottom, sizeof bottom);
  std::memcpy(data.data() + fh.bfOffBits + stride, top, sizeof top);
  return data;
}

TEST(Graphics, BitmapReadsBmpRowsTheRightWayUp) {
  TBitmap bmp;
  ASSERT_TRUE(bmp.LoadFromStream(SmallBmp()));
  EXPECT_EQ(bmp.Width(), 3);
  EXPECT_EQ(bmp.Height(), 2);
  EXPECT_EQ(bmp.Pixel(0, 0), clRed);
  EXPECT_EQ(bmp.Pixel(1, 0), 0x00FF00);
  EXPECT_EQ(bmp.Pixel(2, 0), clBlue);
  EXPECT_EQ(bmp.Pixel(2, 1), clWhite);
  EXPECT_EQ(bmp.PixelFormat, pf24bit);
}

TEST(Graphics, DamagedBmpDataIsRefused) {
  struct Row {
    const char* name;
    size_t offset;  // byte changed, or the cut when value < 0
    int value;
  } rows[] = {
      {"cut in the pixels", 60, -1}, {"cut in the header", 20, -1},
      {"not a BMP", 0, 'X'},         {"pixels offset past the end", 10, 0xFF},
      {"unknown bit depth", 28, 7},  {"huge width", 21, 0x7F},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string data = SmallBmp();
    if (row.value < 0)
      data.resize(row.offset);
    else
      data[row.offset] = static_cast<char>(row.value);
    TBitmap bmp;
    EXPECT_FALSE(bmp.LoadFromStream(data));
    EXPECT_TRUE(bmp.Empty());
  }
}

TEST(Graphics, CanvasDrawsOnBitmapsAndMeasuresGbkText) {
  TBitmap a;
  a.SetSize(40, 30);
  TCanvas& c = a.Canvas();
  c.Brush.Color = 0xC0CCD0;
  c.FillRect(RECT{0, 0, 40, 30});
  c.Pen.Color = clRed;
  c.Brush.Clear = true;
  c.Rectangle(5, 5, 15, 15);
  EXPECT_EQ(a.Pixel(5, 10), clRed);
  EXPECT_EQ(a.Pixel(10, 10), 0xC0CCD0) << "a clear brush leaves the inside";
  c.MoveTo(0, 25);
  c.LineTo(40, 25);
  EXPECT_EQ(a.Pixel(20, 25), clRed);

  TBitmap b;
  b.SetSize(80, 60);
  b.Canvas().StretchDraw(RECT{0, 0, 80, 60}, a);
  EXPECT_EQ(b.Pixel(40, 51), clRed);
  EXPECT_EQ(b.Pixel(70, 10), 0xC0CCD0);

  int one = c.TextWidth(gbk::FromUtf8("李"));
  EXPECT_GT(one, 0);
  EXPECT_NEAR(c.TextWidth(gbk::FromUtf8("李四一")), 3 * one, 3);
  EXPECT_GT(c.TextHeight(""), 0);
}

}  // namespace
