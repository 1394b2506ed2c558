// Small bitmaps with known pixels for the window-side skin tests, and reading them back.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "classlib/Graphics.h"

namespace skintest {

constexpr TColor Rgb(int r, int g, int b) { return r | g << 8 | b << 16; }

// A w x h bitmap whose pixel (x, y) is colour(x, y) (a TColor: red in the low byte).
inline std::unique_ptr<TBitmap> MakeBitmap(int w, int h, const std::function<TColor(int, int)>& colour,
                                           TPixelFormat format = pf24bit) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) SetPixelV(b->Canvas().Handle(), x, y, static_cast<COLORREF>(colour(x, y)));
  }
  b->PixelFormat = format;
  return b;
}

inline std::unique_ptr<TBitmap> Solid(int w, int h, TColor c) {
  return MakeBitmap(w, h, [c](int, int) { return c; });
}

// A colour that tells each pixel of a small bitmap apart.
inline TColor Tag(int x, int y) { return Rgb(10 + 20 * x, 10 + 20 * y, 77); }

// Saves the bitmap as PNG for people to look at.
bool SavePng(const TBitmap& bitmap, const std::string& path);

}  // namespace skintest
