// Bitmap and colour utilities on small bitmaps with known pixels.
#include "skin/Imgutil.h"

#include <gtest/gtest.h>

#include "skin/BitmapPixels.h"

using skintest::MakeBitmap;
using skintest::Rgb;
using skintest::Tag;

namespace {

struct Reshape {
  const char* name;
  void (*apply)(TBitmap&);
  bool swapsSize;
  // Where the old pixel (x, y) of a w x h bitmap lands.
  POINT (*to)(int x, int y, int w, int h);
};

const Reshape kReshapes[] = {
    {"mirror left-right", SpiegelnHorizontal, false,
     [](int x, int y, int w, int) {
       return POINT{w - 1 - x, y};
     }},
    {"mirror top-bottom", SpiegelnVertikal, false,
     [](int x, int y, int, int h) {
       return POINT{x, h - 1 - y};
     }},
    {"rotate 180", Drehen180Grad, false,
     [](int x, int y, int w, int h) {
       return POINT{w - 1 - x, h - 1 - y};
     }},
    {"rotate 90 clockwise", Drehen90Grad, true,
     [](int x, int y, int, int h) {
       return POINT{h - 1 - y, x};
     }},
    {"rotate 270", Drehen270Grad, true,
     [](int x, int y, int w, int) {
       return POINT{y, w - 1 - x};
     }},
};

TEST(Imgutil, MirrorsAndRotationsMoveEveryPixel) {
  constexpr int w = 5, h = 3;
  for (const Reshape& r : kReshapes) {
    SCOPED_TRACE(r.name);
    auto b = MakeBitmap(w, h, Tag);
    r.apply(*b);
    ASSERT_EQ(b->Width(), r.swapsSize ? h : w);
    ASSERT_EQ(b->Height(), r.swapsSize ? w : h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        POINT p = r.to(x, y, w, h);
        EXPECT_EQ(b->Pixel(p.x, p.y), Tag(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(Imgutil, TenByFourTurnedClockwiseKeepsTopLeftAtTopRight) {
  auto b = MakeBitmap(10, 4, Tag);
  Drehen90Grad(*b);
  EXPECT_EQ(b->Width(), 4);
  EXPECT_EQ(b->Height(), 10);
  EXPECT_EQ(b->Pixel(3, 0), Tag(0, 0));
}

TEST(Imgutil, Rotate90CopiesOnlyTwentyFourBitBitmaps) {
  auto b = MakeBitmap(3, 2, Tag);
  auto turned = Rotate90(*b);
  ASSERT_TRUE(turned);
  EXPECT_EQ(turned->Width(), 2);
  EXPECT_EQ(turned->Pixel(0, 2), Tag(0, 0));
  EXPECT_EQ(b->Width(), 3) << "the source stays as it was";
  b->PixelFormat = pf32bit;
  EXPECT_FALSE(Rotate90(*b));
}

TEST(Imgutil, GrayscaleAveragesTheChannels) {
  auto b = MakeBitmap(
      2, 1, [](int x, int) { return x ? Rgb(10, 20, 33) : Rgb(255, 0, 0); }, pf32bit);
  ConvertBitmapToGrayscale(*b);
  EXPECT_EQ(b->PixelFormat, pf24bit);
  EXPECT_EQ(b->Pixel(0, 0), Rgb(85, 85, 85));
  EXPECT_EQ(b->Pixel(1, 0), Rgb(21, 21, 21));
}

TEST(Imgutil, ChangeTransRecoloursOnlyExactMagenta) {
  auto b = MakeBitmap(3, 1, [](int x, int) { return x == 0 ? 0xFF00FF : x == 1 ? 0xFE00FF : 0xFF01FF; });
  ChangeTrans(*b, 0x123456);
  EXPECT_EQ(b->Pixel(0, 0), 0x123456);
  EXPECT_EQ(b->Pixel(1, 0), 0xFE00FF);
  EXPECT_EQ(b->Pixel(2, 0), 0xFF01FF);
}

TEST(Imgutil, BlendWeights) {
  struct Case {
    const char* name;
    TColor a, b;
    int p;
    TColor want;
  };
  const Case cases[] = {
      {"half way", 0x000000, 0xFFFFFF, 50, 0x808080},
      {"all of the first", 0x102030, 0xFFFFFF, 0, 0xFFFFFF},
      {"100 is per mille", 0xFFFFFF, 0x000000, 100, 0x1A1A1A},
      {"150 per mille", 0x0000FF, 0xFFFFFF, 150, 0xD9D9FF},
      {"channels apart", Rgb(200, 0, 100), Rgb(0, 200, 100), 25, Rgb(50, 150, 100)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Blend(c.a, c.b, c.p), c.want);
  }
  const TColor face = static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Blend(static_cast<TColor>(0x80000000 | COLOR_BTNFACE), face, 50), face) << "system colours resolve";
}

TEST(Imgutil, SaturationOnAByteScale) {
  struct Case {
    const char* name;
    TColor c;
    int want;
  };
  const Case cases[] = {
      {"pure red", 0x0000FF, 255},
      {"grey below 160", 0x808080, 200},
      {"white", 0xFFFFFF, 0},
      {"black", 0x000000, 200},
      {"light blue", Rgb(128, 128, 255), 127},  // 127.5 to even
      {"one bright channel", Rgb(160, 0, 0), 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GetHSV(c.c), c.want);
  }
}

TEST(Imgutil, GradientBandsRunFromTheFirstColourToTheLast) {
  TBitmap b;
  b.SetSize(6, 40);
  GradFill(b.Canvas().Handle(), RECT{0, 0, 6, 40}, clWhite, clBlack, 1);
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFF);
  EXPECT_EQ(b.Pixel(5, 39), 0x000000);
  for (int y = 0; y < 40; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(b.Pixel(0, y), b.Pixel(5, y)) << "each band is one colour";
    if (y) {
      EXPECT_LT(b.Pixel(0, y) & 0xFF, b.Pixel(0, y - 1) & 0xFF);
    }
  }
  GradFill(b.Canvas().Handle(), RECT{0, 0, 6, 40}, Rgb(0, 0, 0), Rgb(250, 0, 0), 0);
  EXPECT_EQ(b.Pixel(0, 7), Rgb(0, 0, 0));
  EXPECT_EQ(b.Pixel(1, 7), Rgb(50, 0, 0));
  EXPECT_EQ(b.Pixel(5, 7), Rgb(250, 0, 0));
}

TEST(Imgutil, GradientPaintsOnlyInsideTheClipBox) {
  TBitmap b;
  b.SetSize(4, 20);
  b.Canvas().Brush.Color = 0x00FF00;
  b.Canvas().FillRect(RECT{0, 0, 4, 20});
  HDC dc = b.Canvas().Handle();
  HRGN clip = CreateRectRgn(0, 5, 4, 10);
  SelectClipRgn(dc, clip);
  GradFill(dc, RECT{0, 0, 4, 20}, clWhite, clBlack, 1);
  SelectClipRgn(dc, nullptr);
  DeleteObject(clip);
  EXPECT_EQ(b.Pixel(0, 4), 0x00FF00);
  EXPECT_NE(b.Pixel(0, 5), 0x00FF00);
  EXPECT_EQ(b.Pixel(0, 10), 0x00FF00);
}

TEST(Imgutil, GradientRampsAreKeptForSixteenGradients) {
  // Colours no other test uses: the cache lives as long as the process.
  const std::vector<COLORREF>& first = GradRamp(0x000001, 0x0000FB, 6);
  EXPECT_EQ(first, (std::vector<COLORREF>{1, 51, 101, 151, 201, 251}));
  EXPECT_EQ(&GradRamp(0x000001, 0x0000FB, 6), &first) << "the same gradient again comes from the cache";
  EXPECT_NE(&GradRamp(0x000001, 0x0000FB, 7), &first) << "another length is another ramp";
  EXPECT_EQ(GradRamp(0x000001, 0x0000FB, 1), std::vector<COLORREF>{126}) << "one band takes the middle";
  // 13 more new ramps (15 since the first) leave it in place; the 16th takes its slot.
  for (int n = 2; n < 15; ++n) GradRamp(0x102030, 0x405060, n);
  EXPECT_EQ(&GradRamp(0x000001, 0x0000FB, 6), &first);
  GradRamp(0x102030, 0x405060, 15);
  EXPECT_EQ(first.size(), 15u) << "the oldest slot was reused";
  const std::vector<COLORREF>& again = GradRamp(0x000001, 0x0000FB, 6);
  EXPECT_NE(&again, &first);
  EXPECT_EQ(again, (std::vector<COLORREF>{1, 51, 101, 151, 201, 251})) << "recomputed the same";
  // What GradFill paints is the cached ramp.
  TBitmap b;
  b.SetSize(6, 3);
  GradFill(b.Canvas().Handle(), RECT{0, 0, 6, 3}, Rgb(1, 0, 0), Rgb(251, 0, 0), 0);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(b.Pixel(x, 1), static_cast<TColor>(again[x]));
}

}  // namespace
