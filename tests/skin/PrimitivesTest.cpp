// The drawing primitives, checked by reading back the pixels they draw.
#include <gtest/gtest.h>

#include "skin/BitmapPixels.h"
#include "skin/WinSkinForm.h"

using skintest::MakeBitmap;
using skintest::Rgb;
using skintest::Solid;

namespace {

constexpr TColor kKey = 0xFF00FF;
constexpr TColor kCorner = Rgb(200, 0, 0), kEdge = Rgb(0, 200, 0), kMiddle = Rgb(0, 0, 200);

// A 12 x 12 frame with 3-pixel edges: corners red, edges green, middle blue.
TColor Zones(int x, int y) {
  const bool xe = x < 3 || x >= 9, ye = y < 3 || y >= 9;
  return xe && ye ? kCorner : xe || ye ? kEdge : kMiddle;
}

// Four 16-pixel frames side by side, each one colour.
TColor FrameColour(int frame) { return Rgb(40 * frame, 255 - 40 * frame, 10); }

TEST(Primitives, NinePartScalingKeepsCornersAndStretchesTheRest) {
  auto src = MakeBitmap(12, 12, Zones);
  struct Probe {
    int x, y;
    TColor want;
  };
  const Probe probes[] = {{0, 0, kCorner}, {2, 2, kCorner}, {29, 19, kCorner}, {27, 0, kCorner},
                          {3, 0, kEdge},   {26, 1, kEdge},  {0, 10, kEdge},    {29, 16, kEdge},
                          {15, 19, kEdge}, {3, 3, kMiddle}, {15, 10, kMiddle}, {26, 16, kMiddle}};
  for (bool tile : {false, true}) {
    SCOPED_TRACE(tile ? "tiled middle" : "stretched middle");
    auto map = GetHMap(RECT{0, 0, 30, 20}, src.get(), RECT{3, 3, 3, 3}, false, tile, 1, 1);
    ASSERT_TRUE(map);
    ASSERT_EQ(map->Width(), 30);
    ASSERT_EQ(map->Height(), 20);
    for (const Probe& p : probes) EXPECT_EQ(map->Pixel(p.x, p.y), p.want) << p.x << "," << p.y;
  }
}

TEST(Primitives, EdgesWiderThanTheTargetCollapse) {
  // Left and right edges of 8 each cannot fit 10 pixels: the frame is stretched whole.
  auto src = MakeBitmap(20, 4, [](int x, int) { return x < 10 ? Rgb(255, 0, 0) : Rgb(0, 0, 255); });
  auto map = GetHMap(RECT{0, 0, 10, 4}, src.get(), RECT{8, 0, 8, 0}, false, false, 1, 1);
  ASSERT_TRUE(map);
  EXPECT_EQ(map->Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(map->Pixel(4, 0), Rgb(255, 0, 0));
  EXPECT_EQ(map->Pixel(5, 0), Rgb(0, 0, 255));
  EXPECT_EQ(map->Pixel(9, 0), Rgb(0, 0, 255));
}

TEST(Primitives, FramesAreCutSideBySideOrStacked) {
  auto wide = MakeBitmap(64, 8, [](int x, int) { return FrameColour(x / 16 + 1); });
  auto tall = MakeBitmap(8, 64, [](int, int y) { return FrameColour(y / 16 + 1); });
  TBitmap target;
  target.SetSize(20, 20);
  HDC dc = target.Canvas().Handle();
  for (int frame = 1; frame <= 4; ++frame) {
    SCOPED_TRACE(frame);
    DrawRect1(dc, RECT{0, 0, 20, 20}, wide.get(), false, 4, frame);
    EXPECT_EQ(target.Pixel(0, 0), FrameColour(frame));
    EXPECT_EQ(target.Pixel(19, 19), FrameColour(frame));
    DrawRect2(dc, RECT{0, 0, 20, 20}, tall.get(), true, false, false, 4, frame, RECT{});
    EXPECT_EQ(target.Pixel(10, 0), FrameColour(frame));
    EXPECT_EQ(target.Pixel(10, 19), FrameColour(frame));
  }
}

TEST(Primitives, BadFrameCountsDrawTheNearestFrameInsteadOfFailing) {
  auto wide = MakeBitmap(64, 8, [](int x, int) { return FrameColour(x / 16 + 1); });
  TBitmap target;
  target.SetSize(8, 8);
  HDC dc = target.Canvas().Handle();
  DrawRect1(dc, RECT{0, 0, 8, 8}, wide.get(), false, 4, 9);
  EXPECT_EQ(target.Pixel(4, 4), FrameColour(4));
  DrawRect1(dc, RECT{0, 0, 8, 8}, wide.get(), false, 4, 0);
  EXPECT_EQ(target.Pixel(4, 4), FrameColour(1));
  DrawRect1(dc, RECT{0, 0, 8, 8}, wide.get(), false, 0, 1);  // the whole bitmap is one frame
  EXPECT_EQ(target.Pixel(0, 4), FrameColour(1));
  EXPECT_EQ(target.Pixel(7, 4), FrameColour(4));
  TBitmap empty;
  DrawRect2(dc, RECT{0, 0, 8, 8}, &empty, false, true, true, 3, 2, RECT{2, 2, 2, 2});
  DrawRect3(dc, RECT{0, 0, 8, 8}, nullptr, true, 1, 1);
  EXPECT_EQ(target.Pixel(7, 4), FrameColour(4)) << "nothing drawn from an empty bitmap";
}

TEST(Primitives, KeyColouredPixelsLeaveTheTargetAlone) {
  auto src = MakeBitmap(4, 4, [](int x, int y) { return (x + y) % 2 ? kKey : Rgb(1, 2, 3); });
  auto target = Solid(6, 6, Rgb(90, 90, 90));
  DrawTranmap(target->Canvas().Handle(), RECT{1, 1, 5, 5}, src.get(), kKey);
  EXPECT_EQ(target->Pixel(1, 1), Rgb(1, 2, 3));
  EXPECT_EQ(target->Pixel(2, 1), Rgb(90, 90, 90));
  EXPECT_EQ(target->Pixel(4, 4), Rgb(1, 2, 3));
  EXPECT_EQ(target->Pixel(0, 0), Rgb(90, 90, 90)) << "outside r";
  EXPECT_EQ(target->Pixel(5, 5), Rgb(90, 90, 90)) << "outside r";
}

TEST(Primitives, NaturalSizeFrameIsCentred) {
  auto src = MakeBitmap(8, 4, [](int x, int) { return x < 4 ? Rgb(255, 0, 0) : Rgb(0, 255, 0); });
  auto target = Solid(11, 9, 0);
  DrawRect3(target->Canvas().Handle(), RECT{0, 0, 11, 9}, src.get(), false, 2, 2);
  // (11 - 4) / 2 = 3 across, (9 - 4) / 2 = 2 down.
  EXPECT_EQ(target->Pixel(2, 2), 0);
  EXPECT_EQ(target->Pixel(3, 2), Rgb(0, 255, 0));
  EXPECT_EQ(target->Pixel(6, 5), Rgb(0, 255, 0));
  EXPECT_EQ(target->Pixel(7, 5), 0);
  EXPECT_EQ(target->Pixel(6, 6), 0);
}

TEST(Primitives, TilingRepeatsTheMiddleBetweenFixedEdges) {
  // Frame 2 of two 10-pixel frames: edges of 2, a middle of 6 pixels with a marker column.
  auto src = MakeBitmap(20, 3, [](int x, int) {
    const int fx = x % 10;
    return x < 10    ? Rgb(9, 9, 9)
           : fx < 2  ? Rgb(255, 0, 0)
           : fx >= 8 ? Rgb(0, 0, 255)
           : fx == 2 ? Rgb(0, 255, 0)
                     : Rgb(255, 255, 0);
  });
  TBitmap target;
  target.SetSize(17, 6);
  DrawRectTile(&target.Canvas(), RECT{0, 0, 17, 6}, src.get(), false, false, 2, 2, RECT{2, 0, 2, 0});
  EXPECT_EQ(target.Pixel(0, 5), Rgb(255, 0, 0));
  EXPECT_EQ(target.Pixel(1, 0), Rgb(255, 0, 0));
  EXPECT_EQ(target.Pixel(2, 3), Rgb(0, 255, 0));  // first copy of the middle
  EXPECT_EQ(target.Pixel(3, 3), Rgb(255, 255, 0));
  EXPECT_EQ(target.Pixel(8, 3), Rgb(0, 255, 0));  // second copy
  EXPECT_EQ(target.Pixel(13, 3), Rgb(255, 255, 0));
  EXPECT_EQ(target.Pixel(14, 3), Rgb(0, 255, 0));  // a third, cut to one column by the right edge
  EXPECT_EQ(target.Pixel(15, 3), Rgb(0, 0, 255));
  EXPECT_EQ(target.Pixel(16, 0), Rgb(0, 0, 255));
}

TEST(Primitives, ThreePartDrawingStretchesOnlyTheMiddleAcross) {
  auto src = MakeBitmap(6, 2, [](int x, int) {
    return x < 1 ? Rgb(255, 0, 0) : x >= 5 ? Rgb(0, 0, 255) : Rgb(0, 255, 0);
  });
  TBitmap target;
  target.SetSize(20, 8);
  DrawRectH(target.Canvas().Handle(), RECT{0, 0, 20, 8}, src.get(), false, false, 1, 1, RECT{1, 0, 1, 0});
  EXPECT_EQ(target.Pixel(0, 7), Rgb(255, 0, 0));
  EXPECT_EQ(target.Pixel(1, 7), Rgb(0, 255, 0));
  EXPECT_EQ(target.Pixel(18, 0), Rgb(0, 255, 0));
  EXPECT_EQ(target.Pixel(19, 0), Rgb(0, 0, 255));
}

TEST(Primitives, BackgroundPieceTilesRowByRow) {
  auto src = MakeBitmap(4, 4, [](int x, int y) { return x == 1 && y == 1 ? Rgb(255, 0, 0) : Rgb(0, 0, 0); });
  TBitmap target;
  target.SetSize(7, 7);
  DrawBGbmp(&target.Canvas(), RECT{1, 1, 7, 7}, src.get(), RECT{1, 1, 3, 3});  // a 2 x 2 piece
  for (int y = 1; y < 7; ++y) {
    for (int x = 1; x < 7; ++x) {
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      EXPECT_EQ(target.Pixel(x, y), (x % 2 && y % 2) ? Rgb(255, 0, 0) : Rgb(0, 0, 0));
    }
  }
}

// Whether each pixel of a w x h area lies inside the region.
std::string Covered(HRGN rgn, int w, int h) {
  std::string s;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) s += PtInRegion(rgn, x, y) ? '#' : '.';
    s += '/';
  }
  return s;
}

TEST(Primitives, RegionHoldsThePixelsOutsideTheKey) {
  struct Case {
    const char* name;
    TColor (*pixel)(int x, int y);
    int dx, dy;
    const char* want;  // 5 x 2, then '/'
  };
  const Case cases[] = {
      {"all key", [](int, int) { return kKey; }, 0, 0, "...../...../"},
      {"no key", [](int, int) { return Rgb(1, 1, 1); }, 0, 0, "#####/#####/"},
      {"runs", [](int x, int y) { return (x == 1 || x == 3) && y == 0 ? Rgb(1, 1, 1) : kKey; }, 0, 0, ".#.#./...../"},
      {"moved", [](int x, int) { return x == 0 ? Rgb(1, 1, 1) : kKey; }, 2, 1, "...../..#../"},
      {"tolerance",
       [](int x, int) {
         const TColor row[] = {Rgb(255, 1, 255), Rgb(254, 0, 254), Rgb(255, 2, 255), Rgb(255, 0, 255), 0};
         return row[x];
       },
       0, 0, ".##.#/.##.#/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto b = MakeBitmap(5, 2, c.pixel);
    HRGN rgn = BitmapToRegion(b.get(), c.dx, c.dy, kKey, 1, 1, 1);
    ASSERT_TRUE(rgn);
    EXPECT_EQ(Covered(rgn, 5, 2), c.want);
    DeleteObject(rgn);
  }
}

TEST(Primitives, RegionOfALargeBitmapJoinsItsBatches) {
  // A checkerboard of 100 x 100 has 5000 runs: more than two batches of rectangles.
  auto b = MakeBitmap(100, 100, [](int x, int y) { return (x + y) % 2 ? kKey : Rgb(0, 0, 0); });
  HRGN rgn = BitmapToRegion(b.get(), 0, 0, kKey, 0, 0, 0);
  EXPECT_TRUE(PtInRegion(rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(rgn, 1, 0));
  EXPECT_TRUE(PtInRegion(rgn, 99, 99));
  EXPECT_FALSE(PtInRegion(rgn, 98, 99));
  RECT box;
  EXPECT_EQ(GetRgnBox(rgn, &box), COMPLEXREGION);
  EXPECT_EQ(box.right, 100);
  EXPECT_EQ(box.bottom, 100);
  DeleteObject(rgn);
}

}  // namespace
